#pragma once

// The values of the suite's settings key, their types and their defaults, in one place. Every
// program reads and writes them through RegistryKey::settings(); this names them and applies the
// defaults a program uses when a value is absent.

#include <QString>

#include <optional>

namespace kestrix::settings {

// Texts.
inline constexpr char kDefaultOutput[] = "Default Output";     // a folder ending in a separator
inline constexpr char kDefaultStartUp[] = "Default Start-up";  // a folder ending in a separator
inline constexpr char kDefaultPalette[] = "Default Palette";   // "#resource{quarn1}", "#resource{quarn2}" or a file
inline constexpr char kVersion[] = "version";                  // shown by the about box when present
// Yes/no values.
inline constexpr char kHideFileExplorer[] = "Hide File Explorer";
inline constexpr char kTraceFileExplorer[] = "Trace File Explorer";
inline constexpr char kPromptForFile[] = "Prompt For File";
inline constexpr char kShowInfo[] = "Show Info";
inline constexpr char kDeleteFileAfterRun[] = "Delete file after run";
inline constexpr char kSfx[] = "SFX";
inline constexpr char kFileSorting[] = "File sorting";  // yes: by name, no: by type
// Integers.
inline constexpr char kFileExplorerView[] = "File Explorer View";  // 1 small icons, 2 list

inline constexpr char kQuarn1Palette[] = "#resource{quarn1}";
inline constexpr char kQuarn2Palette[] = "#resource{quarn2}";

// The values as a program starts with them: stored ones where present, else the defaults.
struct SuiteSettings {
    // Whether the settings key was there; when it was not, every field holds its default.
    bool keyExisted = false;
    QString defaultOutput;   // default: the program folder, with its separator
    QString defaultStartUp;  // default: the program folder, with its separator
    QString defaultPalette = QString::fromLatin1(kQuarn1Palette);
    bool hideFileExplorer = false;
    bool traceFileExplorer = false;
    bool promptForFile = false;
    bool showInfo = true;
    bool deleteFileAfterRun = false;
    bool sfx = false;
    // The window's own choices when absent.
    std::optional<qint32> fileExplorerView;
    std::optional<bool> fileSorting;
    std::optional<QString> version;
};

// The program folder with a trailing separator.
QString ProgramFolder();

// Reads the settings key without creating it; `keyExisted` says whether it was there.
SuiteSettings ReadSuiteSettings();

}  // namespace kestrix::settings
