#pragma once

// The twelve file types that the settings window offers to associate, and applying the user's
// choice to the classes store (FileExtFuncs.h).

#include <QString>

#include <array>

namespace kestrix {

// Which program opens a type: the extractor itself, a companion program from the extractor's
// folder, or none (the type is only named and given an icon).
enum class FileTypeProgram { Extractor, Pictor, Tessel, None };

struct FileTypeRow {
    const char* caption;    // the settings window's text for the row
    const char* extension;  // without the dot
    FileTypeProgram program;
    const char* className;
    const char* description;
    int iconIndex;  // icon of the extractor's executable
};

inline constexpr int kFileTypeRowCount = 12;
using FileTypeStates = std::array<bool, kFileTypeRowCount>;

// The rows in the window's order.
const std::array<FileTypeRow, kFileTypeRowCount>& FileTypeRows();

// The full path of the row's program ("" for rows without one): `extractorPath` itself, or
// "Pictor"/"Tessel" (with ".exe" on Windows) from the extractor's folder.
QString FileTypeProgramPath(const FileTypeRow& row, const QString& extractorPath);

// The row's command line: program + ' "%1"'; "" for rows without a program.
QString FileTypeCommand(const FileTypeRow& row, const QString& extractorPath);

// Whether the row counts as associated: its command contains its program ("open" verb); for a
// row without a program, its extension names the row's class.
bool IsFileTypeAssociated(const FileTypeRow& row, const QString& extractorPath);

// The check state of each row as the store has it now.
FileTypeStates LoadAssociationStates(const QString& extractorPath);

// Applies the rows in order: a checked row that is not associated is associated (command and
// "open", description, icon "EXTRACTOR,INDEX", default verb "open"; rows without a program get
// the link, description and icon only); a checked row already associated is left as it is. An
// unchecked row loses its link when the extension is linked to us (our class, or a command of
// our program); a link to another program's class stays.
void ApplyAssociations(const FileTypeStates& checked, const QString& extractorPath);

}  // namespace kestrix
