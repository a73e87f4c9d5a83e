#pragma once

// The suite's companion programs and the document types they open when no association of ours
// names a program: pictures, palettes, sprites and picture batch files go to Pictor, text banks
// to Tessel. The companions sit in the program folder beside the program that asks.

#include <QString>

namespace kestrix {

// The companion that opens `document` by its extension (compared without case): "Pictor",
// "Tessel", or "" when neither does (no extension, another type). The name is the file name
// without folder and, on Windows, without ".exe".
QString CompanionProgramName(const QString& document);

// The full path of companion `name` in `programFolder` (with or without a trailing separator;
// the running program's folder when empty), ".exe" added on Windows. Whether the file exists is
// not examined. "" when `name` is empty.
QString CompanionProgramPath(const QString& name, const QString& programFolder = {});

}  // namespace kestrix
