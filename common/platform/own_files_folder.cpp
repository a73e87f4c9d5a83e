#include "own_files_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kestrix {

namespace {

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

bool CanCreateFilesIn(const QString& folder)
{
    // The permission bits alone do not tell (read-only mounts, access lists), so try it.
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(withSeparator(folder) + QStringLiteral(".kestrix-probe-XXXXXX"));
    return probe.open();
}

QString UserDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return withSeparator(folder);
}

OwnFilesFolder FolderForOwnFiles(const QString& programFolder, const WritableCheck& isWritable)
{
    const QString program =
        withSeparator(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder);
    const bool writable = isWritable ? isWritable(program) : CanCreateFilesIn(program);
    if (writable) return {program, false};
    return {UserDataFolder(), true};
}

bool FallbackNotice::shouldTell(const OwnFilesFolder& place)
{
    if (!place.isFallback || m_told) return false;
    m_told = true;
    return true;
}

FallbackNotice& FallbackNoticeOfThisRun()
{
    static FallbackNotice notice;
    return notice;
}

}  // namespace kestrix
