#pragma once

#include <QString>

namespace kestrix {

// The program of a file type's open command: the quoted first word ("\"/opt/k/Kestrix\" \"%1\""), or
// for an unquoted command everything up to the quoted "%1" (paths may hold blanks), else up to the
// first blank. "" for a command that starts with an unclosed quote.
QString ProgramOfCommand(const QString& command);

}  // namespace kestrix
