#pragma once

// Version information of our binaries. Each program and library of the suite carries the text
// "KESTRIX-FILEVERSION=" followed by the suite's version (set once in the build); any reader finds
// it with `strings FILE | grep KESTRIX-FILEVERSION`.

#include <QString>

namespace kestrix {

// The suite's version, for example "1.3.0".
QString SuiteVersion();

// The version a file carries, or "unknown" for a file without one or one that cannot be read.
QString FileVersion(const QString& path);

}  // namespace kestrix
