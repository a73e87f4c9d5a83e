#include "shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "settings_store.h"
#include "shell_command.h"

namespace kestrix {

namespace {

// The desktop's default opener: Qt's when a GUI runs, else xdg-open (command-line use, tests).
void openWithDesktop(const QUrl& url, const QString& directory)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QDesktopServices::openUrl(url)) return;
    QProcess::startDetached(QStringLiteral("xdg-open"), {url.isLocalFile() ? url.toLocalFile() : url.toString()},
                            directory);
}

void openWithDesktop(const QString& path, const QString& directory)
{
    openWithDesktop(QUrl::fromLocalFile(path), directory);
}

// "https://...", "mailto:..." and the like; a path with a drive letter or none is not one.
bool isAddress(const QString& text)
{
    static const QStringList kSchemes{"http", "https", "ftp", "mailto", "file"};
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon > 1 && kSchemes.contains(text.left(colon).toLower());
}

}  // namespace

QString AssociatedProgram(const QString& document)
{
    const QString suffix = QFileInfo(document).suffix();
    if (suffix.isEmpty()) return {};
    const RegistryKey root = RegistryKey::classesRoot();
    const std::optional<QString> className = root.subkey(QLatin1Char('.') + suffix).readText(kDefaultValue);
    if (!className || className->isEmpty()) return {};
    const std::optional<QString> command =
        root.subkey(*className + QStringLiteral("\\shell\\open\\command")).readText(kDefaultValue);
    if (!command) return {};
    return ProgramOfCommand(*command);
}

void RunProgram(const QString& file, const QString& parameters, const QString& directory, int showMode)
{
    Q_UNUSED(showMode);
    if (file.isEmpty()) return;
    if (isAddress(file)) {
        openWithDesktop(QUrl(file), directory);
        return;
    }
    const QStringList arguments = parameters.isEmpty() ? QStringList() : QStringList{parameters};
    const QFileInfo info(file);
    if (info.isDir()) {
        openWithDesktop(info.absoluteFilePath(), directory);
        return;
    }
    if (info.isFile() && info.isExecutable()) {
        QProcess::startDetached(info.absoluteFilePath(), arguments, directory);
        return;
    }
    if (!info.exists()) {
        // A program named without its folder, looked up like a shell would.
        const QString found = QStandardPaths::findExecutable(file);
        if (!found.isEmpty()) QProcess::startDetached(found, arguments, directory);
        return;
    }
    const QString program = AssociatedProgram(file);
    if (!program.isEmpty() && QFileInfo(program).isExecutable()) {
        QProcess::startDetached(program, {info.absoluteFilePath()}, directory);
        return;
    }
    openWithDesktop(info.absoluteFilePath(), directory);
}

}  // namespace kestrix
