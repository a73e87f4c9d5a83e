#pragma once

// The extractor's main window: the file explorer on the left, the entry list of the loaded
// archive with its six movable tool bars on the right, menus and a status bar. The work (reading
// archives, extraction, the lists and the log) is done by the core; the window shows it.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "command_line.h"
#include "dialog_services.h"
#include "dock_layout.h"
#include "explorer_listing.h"
#include "extraction.h"
#include "hqr_archive.h"
#include "kestrix_log.h"
#include "key_sequence.h"
#include "own_files_folder.h"
#include "recent_paths.h"
#include "sound.h"

class QFileSystemWatcher;
class QLabel;
class QMenu;
class QToolBar;
class QAction;

namespace Ui {
class Tfrm_Main;
}

namespace kestrix {

class BeepService;
class Tfrm_Favos;
class Tfrm_RipDlg;
class Tfrm_Setup;
class Clock;
class Dialogs;
class EntryListModel;
class LibraryWindows;
class ProgramRunner;

// What the window uses of the world; a test replaces any of them. Null or empty members take the
// program's own: Qt's boxes, the library's windows, the desktop's program runner, the free space of
// the output folder's file system, the sound unit, the running program's folder and command line.
struct MainWindowServices {
    Dialogs* dialogs = nullptr;
    LibraryWindows* library = nullptr;
    ProgramRunner* runner = nullptr;
    FreeSpaceReader freeSpace;
    std::function<void(Sound)> playSound;
    std::function<bool()> loadSfx;
    std::function<void()> freeSfx;
    std::function<void(bool)> setBusyPriority;
    const Clock* clock = nullptr;  // the hidden key sequence's time limit
    BeepService* beep = nullptr;   // a beep per matched character of the sequence
    // The help facility: a keyword search in a help file, a context pop-up at a point.
    std::function<bool(const QString& helpFile, const QString& keyword)> showHelpKeyword;
    std::function<bool(const QString& helpFile, qint64 number, const QPoint& globalPos)> showHelpPopup;
    QString programFolder;                // with a trailing "/"
    WritableCheck programFolderWritable;  // where the log may go
    QStringList parameters;               // the command line without the program's name
};

class Tfrm_Main : public QMainWindow {
    Q_OBJECT
public:
    // What is running; while anything runs, commands that would start another operation or change
    // the list are disabled or ignored, and closing waits for the end.
    enum class Operation { None, Loading, Extracting };

    explicit Tfrm_Main(MainWindowServices services = {}, QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The routines of the window that other parts call.
    void LoadArchive(const QString& path);
    void RefreshExplorer(const QString& dir);
    void SaveDockLayout();
    void RestoreDockLayout();
    void WriteLog(const QString& line);

    // Extraction commands as their buttons run them (without the buttons' sound).
    void ExtractSelection();
    void ExtractAll();
    // Run: the first selected entry written to the output folder and opened.
    void RunSelectedEntry();
    // Archives dropped on the window: the first file is loaded when it is an archive.
    void dropFiles(const QStringList& paths);

    const QString& explorerDir() const { return m_explorerDir; }
    const QString& archivePath() const { return m_archivePath; }
    const QString& lastOutputFile() const { return m_lastOutputFile; }
    const LoadedArchive& loadedArchive() const { return m_archive; }
    const RecentPaths& history() const { return m_history; }
    const RecentPaths& favourites() const { return m_favourites; }
    Operation operation() const { return m_operation; }
    bool isLogOn() const;
    QString logPath() const { return m_log.path(); }
    // List positions (0-based) of the selected rows, in list order.
    std::vector<std::size_t> selectedRows() const;
    // Selects exactly the rows whose flag is set (one per row of the list).
    void setSelectedRows(const std::vector<char>& flags);
    // The six tool bars in their stored order.
    QList<QToolBar*> toolBars() const;
    // Whether FormShow and the first FormActivate have run.
    bool isStarted() const { return m_started; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Observer;
    friend class Observer;

    // Start-up and shutdown.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void ReadSettings();
    void openLog();
    void saveOnClose();
    void afterOwnWindow();
    DialogServices dialogServices() const;
    void mi_SettingsClick();
    void mi_OrganizeFavoClick();
    void mi_RipFromFileClick();

    // Explorer.
    void setupExplorer();
    void showCurrentDir();
    void fillDrives();
    void lv_ExplorerOpen();
    void sortExplorer();
    void setExplorerView(bool listView);
    void mi_NewDirClick();
    void addHistory(const QString& path);
    void rebuildHistoryMenu();
    void rebuildFavouritesMenu();
    void openArchiveFromUser(const QString& path);

    // Tool bars.
    void setupToolBars();
    void updateControlPanel();
    void toggleToolBar(int index, bool shown);
    std::vector<BarPlacement> currentPlacements() const;
    void applyPlacements(const std::vector<BarPlacement>& bars, const QByteArray& floatingState);

    // Loading and extraction.
    void setupEntryList();
    void runExtraction(bool all, bool range);
    ExtractionContext extractionContext(OperationObserver* observer);
    NamingConfig namingFromControls() const;
    void applyNamingToControls(const NamingConfig& naming);
    void showExtractionResult(const ExtractionStats& stats, const QStringList& problems);
    void mi_DecompressSavegameClick();
    void fe_QuarnFileButtonClick();
    void ce_OutputDirButtonClick();
    void selectByParity(bool even);
    void invertSelection();
    void updateSelectedCount();

    // Companions, help and the hidden key sequence.
    void runCompanion(const QString& name);
    void mi_FileInformationClick();
    void contextHelp();
    void FormKeyPress(QChar key);
    bool isOwnWindow(QWidget* widget) const;

    // The busy rule.
    void beginOperation(Operation operation);
    void endOperation();
    void updateCommandStates();

    void setStatus(int panel, const QString& text);
    void setCaption(const QString& caption);
    void setToolBarWidgetVisible(QToolBar* bar, QWidget* widget, bool visible);
    void play(Sound sound);
    void errorBox(const QString& text);
    QString helpFilePath() const;

    std::unique_ptr<Ui::Tfrm_Main> ui;
    MainWindowServices m_services;
    std::unique_ptr<Dialogs> m_ownDialogs;
    std::unique_ptr<LibraryWindows> m_ownLibrary;
    std::unique_ptr<BeepService> m_ownBeep;
    std::unique_ptr<KeySequenceMatcher> m_easterEgg;
    // The program's own dialogs, made once with the window.
    Tfrm_Setup* m_setup = nullptr;
    Tfrm_Favos* m_favos = nullptr;
    Tfrm_RipDlg* m_ripDlg = nullptr;
    const QEvent* m_lastKeyPress = nullptr;
    Dialogs* m_dialogs = nullptr;
    LibraryWindows* m_library = nullptr;

    QLabel* m_panels[3] = {};
    QMenu* pm_Explorer = nullptr;
    QMenu* pm_OffsetList = nullptr;
    QMenu* pm_FileExt = nullptr;
    QMenu* pm_ToolBars = nullptr;
    QMenu* mi_FavoDirs = nullptr;
    QList<QAction*> m_toolBarItems;
    EntryListModel* m_model = nullptr;
    QFileSystemWatcher* fm_Explorer = nullptr;
    QTimer m_explorerDelay;

    KestrixCommandLine m_commandLine;
    QString m_programFolder;
    QString m_explorerDir;
    QString m_archivePath;
    QString m_lastOutputFile;
    QString m_openDialogFolder;
    bool m_cancelRequested = false;
    bool m_traceExplorer = false;
    bool m_promptForFile = false;
    bool m_logEnabled = false;
    bool m_showInfo = true;
    bool m_deleteAfterRun = false;
    bool m_soundsOn = false;
    bool m_explorerListView = true;  // "Horizontal": list view; "Vertical": small icons
    KestrixLog m_log;
    bool m_logFailureTold = false;

    LoadedArchive m_archive;
    RecentPaths m_history;
    RecentPaths m_favourites;
    bool m_historyRestored = false;
    bool m_favouritesRestored = false;
    std::vector<int> m_lastRows;  // the dock line of each bar when last known

    Operation m_operation = Operation::None;
    bool m_closePending = false;
    bool m_shown = false;
    bool m_started = false;
    bool m_closed = false;
};

}  // namespace kestrix
