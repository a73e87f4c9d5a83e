#include "suite_settings.h"

#include <QCoreApplication>

#include "settings_store.h"

namespace kestrix::settings {

QString ProgramFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

SuiteSettings ReadSuiteSettings()
{
    SuiteSettings s;
    s.defaultOutput = ProgramFolder();
    s.defaultStartUp = s.defaultOutput;
    const RegistryKey key = RegistryKey::settings();
    s.keyExisted = key.exists();
    if (!s.keyExisted) return s;

    const auto text = [&](const char* name, QString& into) {
        if (const std::optional<QString> v = key.readText(QString::fromLatin1(name))) into = *v;
    };
    const auto yesNo = [&](const char* name, bool& into) {
        if (const std::optional<bool> v = key.readYesNo(QString::fromLatin1(name))) into = *v;
    };
    text(kDefaultOutput, s.defaultOutput);
    text(kDefaultStartUp, s.defaultStartUp);
    text(kDefaultPalette, s.defaultPalette);
    yesNo(kHideFileExplorer, s.hideFileExplorer);
    yesNo(kTraceFileExplorer, s.traceFileExplorer);
    yesNo(kPromptForFile, s.promptForFile);
    yesNo(kShowInfo, s.showInfo);
    yesNo(kDeleteFileAfterRun, s.deleteFileAfterRun);
    yesNo(kSfx, s.sfx);
    s.fileExplorerView = key.readInteger(QString::fromLatin1(kFileExplorerView));
    s.fileSorting = key.readYesNo(QString::fromLatin1(kFileSorting));
    s.version = key.readText(QString::fromLatin1(kVersion));
    return s;
}

}  // namespace kestrix::settings
