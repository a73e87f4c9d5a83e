#include "shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include "companion_programs.h"
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

void startDetached(const QString& program, const QStringList& arguments, const QString& directory)
{
    QProcess::startDetached(program, arguments, directory);
}

// "https://...", "mailto:..." and the like; a path with a drive letter or none is not one.
bool isAddress(const QString& text)
{
    static const QStringList kSchemes{"http", "https", "ftp", "mailto", "file"};
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon > 1 && kSchemes.contains(text.left(colon).toLower());
}

bool isProgramFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

}  // namespace

ShellSteps DesktopShellSteps()
{
    return ShellSteps{startDetached, openWithDesktop, {}};
}

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
    RunProgram(file, parameters, directory, showMode, DesktopShellSteps());
}

void RunProgram(const QString& file, const QString& parameters, const QString& directory, int showMode,
                const ShellSteps& steps)
{
    Q_UNUSED(showMode);
    if (file.isEmpty()) return;
    const auto start = [&](const QString& program, const QStringList& arguments) {
        if (steps.startDetached) steps.startDetached(program, arguments, directory);
    };
    const auto open = [&](const QUrl& target) {
        if (steps.openWithDesktop) steps.openWithDesktop(target, directory);
    };
    if (isAddress(file)) {
        open(QUrl(file));
        return;
    }
    const QStringList arguments = parameters.isEmpty() ? QStringList() : QStringList{parameters};
    const QFileInfo info(file);
    if (info.isDir()) {
        open(QUrl::fromLocalFile(info.absoluteFilePath()));
        return;
    }
    if (info.isFile() && info.isExecutable()) {
        start(info.absoluteFilePath(), arguments);
        return;
    }
    if (!info.exists()) {
        // A program named without its folder, looked up like a shell would.
        const QString found = QStandardPaths::findExecutable(file);
        if (!found.isEmpty()) start(found, arguments);
        return;
    }
    const QString program = AssociatedProgram(file);
    if (!program.isEmpty() && isProgramFile(program)) {
        start(program, {info.absoluteFilePath()});
        return;
    }
    // Our own types open in our own viewers even before the user has associated them.
    const QString companion = CompanionProgramPath(CompanionProgramName(file), steps.programFolder);
    if (!companion.isEmpty() && isProgramFile(companion)) {
        start(companion, {info.absoluteFilePath()});
        return;
    }
    open(QUrl::fromLocalFile(info.absoluteFilePath()));
}

}  // namespace kestrix
