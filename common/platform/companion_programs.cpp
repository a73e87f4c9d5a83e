#include "companion_programs.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>

namespace kestrix {

namespace {

struct CompanionType {
    const char* extension;
    const char* program;
};

// The types that the extractor's settings window associates with a companion.
constexpr std::array<CompanionType, 6> kCompanionTypes = {{
    {"qim", "Pictor"},
    {"pal", "Pictor"},
    {"qsr", "Pictor"},
    {"qsp", "Pictor"},
    {"qbc", "Pictor"},
    {"qbt", "Tessel"},
}};

}  // namespace

QString CompanionProgramName(const QString& document)
{
    const QString suffix = QFileInfo(document).suffix();
    if (suffix.isEmpty()) return {};
    for (const CompanionType& type : kCompanionTypes)
        if (suffix.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(type.program);
    return {};
}

QString CompanionProgramPath(const QString& name, const QString& programFolder)
{
    if (name.isEmpty()) return {};
    QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    QString file = folder + name;
#ifdef Q_OS_WIN
    file += QStringLiteral(".exe");
#endif
    return file;
}

}  // namespace kestrix
