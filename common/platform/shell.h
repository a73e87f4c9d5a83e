#pragma once

// Opening programs, documents and folders the way a desktop shell does.

#include <QString>

namespace kestrix {

// Opens `file` with `parameters` (one argument, passed whole; none when empty) in the working
// folder `directory` (the current one when empty):
// - an executable file, or a program name found on the search path, is started detached;
// - a folder is opened with the desktop's default handler (its file manager), and so is an
//   address ("https://...", "mailto:...");
// - a document is opened with the program that our file-type associations name for its
//   extension ("open" command of its class), else with the desktop's default opener.
// `showMode` is the window show mode of the caller (5 show, 10 show default); programs here choose
// their own window state, so it is accepted and not used. Nothing is reported: whether the program
// started is not examined, as with a shell.
void RunProgram(const QString& file, const QString& parameters, const QString& directory, int showMode);

// The program our associations name for a document's extension (the first word of the class's
// "shell\open\command", quoted or not), or "" when the extension is not ours to open.
QString AssociatedProgram(const QString& document);

}  // namespace kestrix
