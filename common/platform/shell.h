#pragma once

// Opening programs, documents and folders the way a desktop shell does.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace kestrix {

// The two things RunProgram finally does, and where it looks for companion programs. The real
// steps start a process detached and hand a target to the desktop's default opener; tests put
// recorders in their place so that nothing is started.
struct ShellSteps {
    // Starts `program` with `arguments` in `directory` (the current folder when empty) and
    // returns at once.
    std::function<void(const QString& program, const QStringList& arguments, const QString& directory)> startDetached;
    // Opens a folder, document or address with the desktop's default handler.
    std::function<void(const QUrl& target, const QString& directory)> openWithDesktop;
    // The folder of the companion programs; "" for the running program's folder.
    QString programFolder;
};

// The steps that really start processes and open targets, companions beside the running program.
ShellSteps DesktopShellSteps();

// Opens `file` with `parameters` (one argument, passed whole; none when empty) in the working
// folder `directory` (the current one when empty):
// - an executable file, or a program name found on the search path, is started detached;
// - a folder is opened with the desktop's default handler (its file manager), and so is an
//   address ("https://...", "mailto:...");
// - a document is opened with the program that our file-type associations name for its
//   extension ("open" command of its class); else, for the types that Pictor or Tessel open, with
//   that companion from the program folder when it is there; else with the desktop's default opener.
// `showMode` is the window show mode of the caller (5 show, 10 show default); programs here choose
// their own window state, so it is accepted and not used. Nothing is reported: whether the program
// started is not examined, as with a shell. An empty `file` does nothing.
void RunProgram(const QString& file, const QString& parameters, const QString& directory, int showMode);

// The same with the final steps given by the caller; empty steps in `steps` do nothing.
void RunProgram(const QString& file, const QString& parameters, const QString& directory, int showMode,
                const ShellSteps& steps);

// The program our associations name for a document's extension (the first word of the class's
// "shell\open\command", quoted or not), or "" when the extension is not ours to open.
QString AssociatedProgram(const QString& document);

}  // namespace kestrix
