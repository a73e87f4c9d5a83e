#pragma once

// File-type associations in the per-user classes store (RegistryKey::classesRoot()), in the
// registry's shape:
//
//   ".hqr"                               default value: the class name, e.g. "Quarn_hqr_file"
//   "Quarn_hqr_file"                     default value: the description
//   "Quarn_hqr_file\DefaultIcon"         default value: "PROGRAM,ICON-INDEX"
//   "Quarn_hqr_file\shell"               default value: the default verb ("open")
//   "Quarn_hqr_file\shell\open\command"  default value: the command, PROGRAM "%1"
//
// Extensions are given without their dot (a leading dot is tolerated and dropped). The routines
// report nothing: a step whose key is missing is left undone. On the XDG desktops (Linux) every
// change also brings the desktop's own files for the extension in step (desktop_integration.h),
// so that file managers open the type with the same program.

#include <QString>

namespace kestrix {

// True when ".ext" names a class, the class has "shell\VERB\command", and that command contains
// `program` (both compared in lower case). An empty verb names no command: false.
bool IsAssociated(const QString& extension, const QString& program, const QString& verb);

// Links ".ext" to `className` unless it already names a class (that class is then kept and
// used), and writes `command` as the class's "shell\VERB\command". With an empty command or verb
// only the link is made (types that no program of ours opens).
void Associate(const QString& extension, const QString& command, const QString& verb, const QString& className);

// Writes `description` as the default value of the class that ".ext" names; nothing when it
// names none.
void SetTypeDescription(const QString& extension, const QString& description);

// Writes `iconText` ("PROGRAM,INDEX") as the class's "DefaultIcon" when ".ext" names a class.
void SetTypeIcon(const QString& extension, const QString& iconText);

// Makes `verb` the class's default verb when ".ext" names a class that has "shell\VERB".
void SetDefaultVerb(const QString& extension, const QString& verb);

// Deletes the link of ".ext" to its class (the default value of ".ext"); the class stays.
void RemoveAssociation(const QString& extension);

// The class that ".ext" names, or "" when it names none.
QString AssociatedClass(const QString& extension);

}  // namespace kestrix
