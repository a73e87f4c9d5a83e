#include "file_types.h"

#include <QFileInfo>

#include "FileExtFuncs.h"
#include "desktop_integration.h"

namespace kestrix {

namespace {

const QString kOpen = QStringLiteral("open");

const std::array<FileTypeRow, kFileTypeRowCount> kRows = {{
    {"(.hqr) Quarn resource files", "hqr", FileTypeProgram::Extractor, "Quarn_hqr_file", "Quarn resource file", 1},
    {"(.vox) Quarn voice files", "vox", FileTypeProgram::Extractor, "Quarn_vox_file", "Quarn voice file", 2},
    {"(.ile) Quarn island files", "ile", FileTypeProgram::Extractor, "Quarn_ile_file", "Quarn island file", 14},
    {"(.obl) Quarn island object files", "obl", FileTypeProgram::Extractor, "Quarn_obl_file",
     "Quarn island object file", 15},
    {"(.qim) Quarn image files", "qim", FileTypeProgram::Pictor, "Quarn_qim_file", "Quarn image", 13},
    {"(.pal) Palette files", "pal", FileTypeProgram::Pictor, "Palette_3x256_file", "3x256 Palette file", 5},
    {"(.qsr) Quarn Raw sprites", "qsr", FileTypeProgram::Pictor, "Quarn_raw_sprite", "Quarn RAW sprite", 3},
    {"(.qsp) Quarn sprites", "qsp", FileTypeProgram::Pictor, "Quarn_sprite", "Quarn sprite file", 4},
    {"(.qbt) Quarn text files", "qbt", FileTypeProgram::Tessel, "Quarn_text_file", "Quarn text file", 11},
    {"(.qbc) Image\\Palette batch file", "qbc", FileTypeProgram::Pictor, "Quarn_batch",
     "Quarn Image\\Palette batch file", 20},
    {"(.q3d) Quarn 3D object", "q3d", FileTypeProgram::None, "Quarn_3D_object", "Quarn 3D object", 6},
    // "Unkown" is the caption the settings window shows, kept on purpose.
    {"(.qdc) Unkown DeCompiled file", "qdc", FileTypeProgram::None, "Quarn_decomp_file", "Quarn decompiled file", 12},
}};

QString companion(const QString& extractorPath, const char* name)
{
    QString file = QString::fromLatin1(name);
#ifdef Q_OS_WIN
    file += QStringLiteral(".exe");
#endif
    return QFileInfo(extractorPath).absolutePath() + QLatin1Char('/') + file;
}

QString ext(const FileTypeRow& row)
{
    return QString::fromLatin1(row.extension);
}

bool namesRowClass(const FileTypeRow& row)
{
    return AssociatedClass(ext(row)).compare(QString::fromLatin1(row.className), Qt::CaseInsensitive) == 0;
}

// Linked to us: the extension names our class, or its command runs our program (an earlier
// choice that kept another class's name). Only such links are ours to remove.
bool isLinkedToUs(const FileTypeRow& row, const QString& extractorPath)
{
    return namesRowClass(row) || IsFileTypeAssociated(row, extractorPath);
}

}  // namespace

const std::array<FileTypeRow, kFileTypeRowCount>& FileTypeRows()
{
    return kRows;
}

QString FileTypeProgramPath(const FileTypeRow& row, const QString& extractorPath)
{
    switch (row.program) {
    case FileTypeProgram::Extractor:
        return extractorPath;
    case FileTypeProgram::Pictor:
        return companion(extractorPath, "Pictor");
    case FileTypeProgram::Tessel:
        return companion(extractorPath, "Tessel");
    case FileTypeProgram::None:
        break;
    }
    return {};
}

QString FileTypeCommand(const FileTypeRow& row, const QString& extractorPath)
{
    const QString program = FileTypeProgramPath(row, extractorPath);
    return program.isEmpty() ? QString() : program + QStringLiteral(" \"%1\"");
}

bool IsFileTypeAssociated(const FileTypeRow& row, const QString& extractorPath)
{
    // A row without a program has no command to look at; linking the extension to the row's
    // class is all that associating it does, so that is what it reads back as.
    if (row.program == FileTypeProgram::None) return namesRowClass(row);
    return IsAssociated(ext(row), FileTypeProgramPath(row, extractorPath), kOpen);
}

FileTypeStates LoadAssociationStates(const QString& extractorPath)
{
    FileTypeStates states{};
    for (int i = 0; i < kFileTypeRowCount; ++i) states[i] = IsFileTypeAssociated(kRows[i], extractorPath);
    return states;
}

void ApplyAssociations(const FileTypeStates& checked, const QString& extractorPath)
{
    // One rebuild of the desktop's MIME database for all twelve rows.
    const desktop::MimeUpdateBatch batch;
    for (int i = 0; i < kFileTypeRowCount; ++i) {
        const FileTypeRow& row = kRows[i];
        if (!checked[i]) {
            if (isLinkedToUs(row, extractorPath)) RemoveAssociation(ext(row));
            continue;
        }
        if (IsFileTypeAssociated(row, extractorPath)) {
            // The store stays as it is; the desktop's files are only rewritten when they are
            // missing or stale (a new desktop profile, files deleted by hand).
            desktop::syncExtension(ext(row));
            continue;
        }
        const bool hasProgram = row.program != FileTypeProgram::None;
        Associate(ext(row), FileTypeCommand(row, extractorPath), hasProgram ? kOpen : QString(),
                  QString::fromLatin1(row.className));
        SetTypeDescription(ext(row), QString::fromLatin1(row.description));
        SetTypeIcon(ext(row), extractorPath + QLatin1Char(',') + QString::number(row.iconIndex));
        if (hasProgram) SetDefaultVerb(ext(row), kOpen);
    }
}

}  // namespace kestrix
