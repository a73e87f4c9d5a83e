#include "unit_main.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QWidgetAction>

#include "dialogs.h"
#include "entry_list_model.h"
#include "help_viewer.h"
#include "kestrix_icons.h"
#include "library_windows.h"
#include "process_priority.h"
#include "program_registry.h"
#include "program_runner.h"
#include "settings_store.h"
#include "suite_settings.h"
#include "system_beep.h"
#include "system_clock.h"
#include "ui_unit_main.h"
#include "unit_favos.h"
#include "unit_ripper.h"
#include "unit_settings.h"
#include "unit_sfx.h"

namespace kestrix {

namespace {

constexpr char kHelpFileName[] = "Kestrix.hlp";

}  // namespace

Tfrm_Main::Tfrm_Main(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tfrm_Main>()), m_services(std::move(services))
{
    if (!m_services.dialogs) m_ownDialogs = std::make_unique<QtDialogs>();
    m_dialogs = m_services.dialogs ? m_services.dialogs : m_ownDialogs.get();
    if (!m_services.library) m_ownLibrary = std::make_unique<VarnelWindows>();
    m_library = m_services.library ? m_services.library : m_ownLibrary.get();
    if (!m_services.runner) m_services.runner = &DefaultProgramRunner();
    if (!m_services.playSound) m_services.playSound = [](Sound sound) { PlaySfx(sound); };
    if (!m_services.loadSfx) m_services.loadSfx = [] { return LoadSfx(); };
    if (!m_services.freeSfx) m_services.freeSfx = [] { FreeSfx(); };
    if (!m_services.setBusyPriority) m_services.setBusyPriority = [](bool on) { SetBusyPriority(on); };
    if (!m_services.clock) m_services.clock = &SystemClock();
    if (!m_services.beep) {
        m_ownBeep = std::make_unique<SystemBeep>();
        m_services.beep = m_ownBeep.get();
    }
    if (!m_services.showHelpKeyword)
        m_services.showHelpKeyword = [this](const QString& file, const QString& keyword) {
            return ShowHelpKeyword(file, keyword, this);
        };
    if (!m_services.showHelpPopup) m_services.showHelpPopup = ShowHelpPopup;
    m_programFolder = WithTrailingSeparator(m_services.programFolder.isEmpty() ? settings::ProgramFolder()
                                                                               : m_services.programFolder);
    m_commandLine = ParseKestrixCommandLine(m_services.parameters);

    ui->setupUi(this);
    // A main window is made a window of its own; the right pane's one is a plain child.
    ui->pnl_Docks->setWindowFlags(Qt::Widget);
    FormCreate();
    // The program's dialogs, created after the main window and kept for the whole run.
    m_setup = new Tfrm_Setup(dialogServices(), this);
    m_favos = new Tfrm_Favos(dialogServices(), this);
    m_ripDlg = new Tfrm_RipDlg(dialogServices(), this);
}

Tfrm_Main::~Tfrm_Main() = default;

// Window creation: the parts of the window that do not depend on the settings.
void Tfrm_Main::FormCreate()
{
    setWindowIcon(QApplication::windowIcon().isNull() ? KestrixIcon() : QApplication::windowIcon());
    // The hidden key sequence starts at its first character.
    m_easterEgg = std::make_unique<KeySequenceMatcher>(QStringLiteral("Grey owls fly over Mira"), 7500,
                                                       AfterCompletion::StayDone, *m_services.clock, *m_services.beep);
    // Archives dropped anywhere on the window are loaded; the text fields leave drops to it.
    setAcceptDrops(true);
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setAcceptDrops(false);

    // Status bar: activity, counter, hints and load results.
    const int widths[3] = {70, 50, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(ui->sb_Main);
        m_panels[i]->setObjectName(QStringLiteral("sb_Main_Panel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setMinimumWidth(widths[i]);
        if (i < 2) {
            m_panels[i]->setFixedWidth(widths[i]);
            m_panels[i]->setAlignment(Qt::AlignCenter);
        }
        m_panels[i]->setAccessibleName(QStringLiteral("Status panel %1").arg(i));
        ui->sb_Main->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }

    // Menus: images, sounds when they open, the help numbers of the sub-menus.
    ui->mi_Open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->mi_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    ui->mi_FileExplorer->setIcon(ExplorerIcon(ExplorerImage::Folder));
    ui->mi_Settings->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->mi_DecompressSavegame->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    ui->mi_RipFromFile->setIcon(style()->standardIcon(QStyle::SP_FileLinkIcon));
    ui->mi_Help2->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    ui->mi_FileInformation->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    ui->mi_About->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->mi_History->menuAction()->setIcon(style()->standardIcon(QStyle::SP_FileDialogBack));
    ui->mi_History->menuAction()->setStatusTip(QStringLiteral("Reopen a previous opened file"));
    ui->mi_History->menuAction()->setToolTip(QStringLiteral("Reopen a previous opened file"));
    ui->mi_History->menuAction()->setProperty("helpContext", 5502);
    ui->mi_ExplorerView->menuAction()->setProperty("helpContext", 5506);
    ui->tbb_ExtSelect->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->tbb_ExtAll->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
    ui->tb_Run->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    ui->tbb_Reload->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->mi_ReloadFile->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->mi_RefreshDir->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->mi_NewDir->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->mi_OpenFile->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->mi_OpenInExplorer->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->mi_SetOutputDir->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    ui->spb_Minimize->setIcon(style()->standardIcon(QStyle::SP_TitleBarMinButton));
    ui->fe_QuarnFileButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->ce_OutputDirButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->mi_Extra->menuAction()->setVisible(false);
    // Actions act for the whole window, also while a floating tool bar or the list has the focus.
    for (QAction* action : findChildren<QAction*>()) addAction(action);

    // The long hint of whatever the pointer is over goes to status panel 2 (see event()).
    ui->sb_Main->installEventFilter(this);

    auto* exclusiveView = new QActionGroup(this);
    exclusiveView->addAction(ui->mi_Horizontal);
    exclusiveView->addAction(ui->mi_Vertikal);
    auto* exclusiveSort = new QActionGroup(this);
    exclusiveSort->addAction(ui->mi_SName);
    exclusiveSort->addAction(ui->mi_SType);

    // Pop-up menus, in their order.
    pm_Explorer = new QMenu(this);
    pm_Explorer->setObjectName(QStringLiteral("pm_Explorer"));
    pm_Explorer->addAction(ui->mi_OpenFile);
    pm_Explorer->setDefaultAction(ui->mi_OpenFile);
    pm_Explorer->addAction(ui->mi_OpenInExplorer);
    pm_Explorer->addAction(ui->mi_RefreshDir);
    pm_Explorer->addAction(ui->mi_SetOutputDir);
    pm_Explorer->addAction(ui->mi_NewDir);
    mi_FavoDirs = pm_Explorer->addMenu(ExplorerIcon(ExplorerImage::Favourite), QStringLiteral("Favorites"));
    mi_FavoDirs->setObjectName(QStringLiteral("mi_FavoDirs"));
    mi_FavoDirs->addAction(ui->mi_AddFavo);
    mi_FavoDirs->addAction(ui->mi_OrganizeFavo);
    mi_FavoDirs->addSeparator();

    pm_OffsetList = new QMenu(this);
    pm_OffsetList->setObjectName(QStringLiteral("pm_OffsetList"));
    pm_OffsetList->addActions({ui->mi_ReloadFile, ui->mi_SelectEven, ui->mi_SelectOdd, ui->mi_InvertSelection});

    pm_FileExt = new QMenu(this);
    pm_FileExt->setObjectName(QStringLiteral("pm_FileExt"));
    pm_FileExt->addActions({ui->mi_fe_Image, ui->mi_fe_Pallet, ui->mi_fe_Text, ui->mi_fe_Sprite, ui->mi_fe_RawSprite,
                            ui->mi_fe_3Dfile, ui->mi_fe_Wav, ui->mi_fe_Voc, ui->mi_fe_Smack, ui->mi_fe_Xmidi,
                            ui->mi_fe_Unknown});
    const char* const extensions[] = {"qim", "pal", "qbt", "qsp", "qsr", "q3d", "wav", "voc", "smk", "xmi", "qdc"};
    for (int i = 0; i < pm_FileExt->actions().size(); ++i) {
        const QString ext = QString::fromLatin1(extensions[i]);
        connect(pm_FileExt->actions().at(i), &QAction::triggered, this,
                [this, ext] { ui->ed_Extention->setText(ext); });
    }

    pm_ToolBars = new QMenu(this);
    pm_ToolBars->setObjectName(QStringLiteral("pm_ToolBars"));
    m_toolBarItems = {ui->mi_tb_Command,        ui->mi_tb_FileDir, ui->mi_tb_Options,
                      ui->mi_tb_OutputFilename, ui->mi_tb_FromTo,  ui->mi_tb_Info};
    pm_ToolBars->addActions(m_toolBarItems);

    for (QMenu* menu : {ui->mi_File, ui->mi_View, ui->mi_Advanced, ui->mi_Help, ui->mi_Extra, ui->mi_History,
                        ui->mi_ExplorerView, mi_FavoDirs, pm_Explorer, pm_OffsetList, pm_FileExt, pm_ToolBars})
        connect(menu, &QMenu::aboutToShow, this, [this] { play(Sound::PopupMenu); });

    // File menu.
    connect(ui->mi_Open, &QAction::triggered, this, &Tfrm_Main::fe_QuarnFileButtonClick);
    connect(ui->mi_Exit, &QAction::triggered, this, &QWidget::close);
    // View menu.
    connect(ui->mi_FileExplorer, &QAction::triggered, this, [this] { ui->pnl_Explorer->show(); });
    connect(ui->mi_Horizontal, &QAction::triggered, this, [this] { setExplorerView(true); });
    connect(ui->mi_Vertikal, &QAction::triggered, this, [this] { setExplorerView(false); });
    connect(ui->mi_SName, &QAction::triggered, this, &Tfrm_Main::sortExplorer);
    connect(ui->mi_SType, &QAction::triggered, this, &Tfrm_Main::sortExplorer);
    // Advanced and Help menus.
    connect(ui->mi_DecompressSavegame, &QAction::triggered, this, &Tfrm_Main::mi_DecompressSavegameClick);
    connect(ui->mi_Help2, &QAction::triggered, this, [this] {
        play(Sound::Help);
        ShowHelpContents(helpFilePath(), this);
    });
    connect(ui->mi_Settings, &QAction::triggered, this, &Tfrm_Main::mi_SettingsClick);
    connect(ui->mi_OrganizeFavo, &QAction::triggered, this, &Tfrm_Main::mi_OrganizeFavoClick);
    connect(ui->mi_RipFromFile, &QAction::triggered, this, &Tfrm_Main::mi_RipFromFileClick);
    connect(ui->mi_FileInformation, &QAction::triggered, this, &Tfrm_Main::mi_FileInformationClick);
    connect(ui->mi_QuarnViewer, &QAction::triggered, this, [this] { runCompanion(QStringLiteral("Pictor")); });
    connect(ui->mi_QuarnReader, &QAction::triggered, this, [this] { runCompanion(QStringLiteral("Tessel")); });
    connect(ui->mi_QuarnPacker, &QAction::triggered, this, [this] { runCompanion(QStringLiteral("Bundra")); });
    connect(ui->mi_OpenInExplorer, &QAction::triggered, this,
            [this] { m_services.runner->run(m_explorerDir, QString(), m_explorerDir, 5); });
    connect(ui->tb_Run, &QAction::triggered, this, [this] {
        play(Sound::ButtonClick);
        RunSelectedEntry();
    });
    // F1 and the typed keys reach the window before its controls, also from its floating tool bars.
    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("act_ContextHelp"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, &Tfrm_Main::contextHelp);
    addAction(help);
    qApp->installEventFilter(this);
    connect(ui->mi_About, &QAction::triggered, this, [this] {
        play(Sound::About);
        m_library->about(this);
        afterOwnWindow();
    });

    // The explorer starts 177 pixels wide; the right side takes what the window gains.
    ui->spl_Main->setStretchFactor(0, 0);
    ui->spl_Main->setStretchFactor(1, 1);
    ui->spl_Main->setSizes({177, width() - 177});

    connect(ui->spl_Main, &QSplitter::splitterMoved, this, [this] { showCurrentDir(); });
    setupExplorer();
    setupEntryList();
    setupToolBars();

    m_explorerDir = m_programFolder;

    // The Help command needs the help file beside the program.
    if (!QFileInfo(helpFilePath()).isFile()) ui->mi_Help2->setEnabled(false);
    updateCommandStates();
}

QString Tfrm_Main::helpFilePath() const
{
    const QString found = FindHelpFile(QString::fromLatin1(kHelpFileName), m_programFolder);
    return found.isEmpty() ? m_programFolder + QString::fromLatin1(kHelpFileName) : found;
}

void Tfrm_Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // Start-up runs once the window stands on the screen, so that its boxes stand over it.
    QTimer::singleShot(0, this, [this] {
        FormShow();
        m_started = true;
        FormActivate();
    });
}

// Start-up, in order: settings, command line, log, history menus, explorer, tool bar panel.
void Tfrm_Main::FormShow()
{
    m_traceExplorer = false;
    m_promptForFile = false;
    m_explorerDir = m_programFolder;
    ui->ce_OutputDir->setText(m_programFolder);
    m_openDialogFolder = m_programFolder;

    ReadSettings();
    m_openDialogFolder = m_explorerDir;

    const QString archive = m_commandLine.archivePath();
    if (!archive.isEmpty()) m_explorerDir = WithTrailingSeparator(QFileInfo(archive).absolutePath());

    if (m_commandLine.debug) m_logEnabled = true;
    if (m_commandLine.developer) ui->mi_Extra->menuAction()->setVisible(true);
    if (m_commandLine.showHelp)
        m_dialogs->message(this, MessageIcon::Information, QString::fromLatin1(kCommandLineHelpCaption),
                           CommandLineHelpText());

    if (m_logEnabled) openLog();

    RegistryKey key = RegistryKey::settings();
    m_history.restore(key, QStringLiteral("History"));
    m_historyRestored = true;
    m_favourites.restore(key, QStringLiteral("Favorites"));
    m_favouritesRestored = true;
    rebuildHistoryMenu();
    rebuildFavouritesMenu();

    RefreshExplorer(m_explorerDir);
    updateControlPanel();
    play(Sound::WindowShown);
}

void Tfrm_Main::openLog()
{
    const OwnFilesFolder place = FolderForOwnFiles(m_programFolder, m_services.programFolderWritable);
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(now.time(), QLocale::ShortFormat);
    QString error;
    if (!m_log.open(place.folder, stamp, &error)) {
        m_logEnabled = false;
        m_logFailureTold = true;
        errorBox(QStringLiteral("%1\r\nLogging is turned off for this run.").arg(error));
        return;
    }
    if (FallbackNoticeOfThisRun().shouldTell(place))
        m_dialogs->message(this, MessageIcon::Information, QStringLiteral("Kestrix"),
                           QStringLiteral("The program folder cannot be written, so the log is kept in %1")
                               .arg(QDir::toNativeSeparators(m_log.path())));
}

void Tfrm_Main::WriteLog(const QString& line)
{
    if (!m_logEnabled) return;
    QString error;
    if (m_log.writeLine(line, &error)) return;
    // The log turned itself off: say so once and let the operation go on.
    m_logEnabled = false;
    if (m_logFailureTold) return;
    m_logFailureTold = true;
    errorBox(QStringLiteral("%1\r\nLogging is turned off for this run.").arg(error));
}

bool Tfrm_Main::isLogOn() const
{
    return m_logEnabled && m_log.isOn();
}

// Applies the settings key; with no key nothing happens (no registration, no layout restore).
void Tfrm_Main::ReadSettings()
{
    RegistryKey key = RegistryKey::settings();
    if (!key.exists()) return;

    if (auto v = key.readText(QString::fromLatin1(settings::kDefaultOutput))) ui->ce_OutputDir->setText(*v);
    if (auto v = key.readText(QString::fromLatin1(settings::kDefaultStartUp)))
        m_explorerDir = WithTrailingSeparator(*v);
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kHideFileExplorer)); v && *v) ui->pnl_Explorer->hide();
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kTraceFileExplorer))) m_traceExplorer = *v;
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kPromptForFile))) m_promptForFile = *v;
    if (auto v = key.readInteger(QString::fromLatin1(settings::kFileExplorerView))) {
        if (*v == 1) setExplorerView(false);
        if (*v == 2) setExplorerView(true);
    }
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kFileSorting))) {
        ui->mi_SName->setChecked(*v);
        ui->mi_SType->setChecked(!*v);
    }
    m_showInfo = key.readYesNo(QString::fromLatin1(settings::kShowInfo)).value_or(true);
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kDeleteFileAfterRun))) m_deleteAfterRun = *v;
    RegisterProgram(0, QStringLiteral("Kestrix"));
    if (auto v = key.readYesNo(QString::fromLatin1(settings::kSfx))) {
        m_soundsOn = *v;
        if (m_soundsOn) m_services.loadSfx();
    }
    RestoreDockLayout();
}

// Activation: the archive of the command line is loaded, or the open dialog shown when asked for.
void Tfrm_Main::FormActivate()
{
    if (m_closed) return;
    if (m_commandLine.hasParameters) {
        const QString archive = m_commandLine.archivePath();
        if (archive.isEmpty()) return;
        m_archivePath = archive;
        ui->fe_QuarnFile->setText(archive);
        LoadArchive(archive);
    } else if (m_promptForFile) {
        fe_QuarnFileButtonClick();
    }
}

DialogServices Tfrm_Main::dialogServices() const
{
    DialogServices services;
    services.dialogs = m_dialogs;
    services.playSound = m_services.playSound;
    services.programFolder = m_programFolder;
    services.extractorPath = QCoreApplication::applicationFilePath();
    services.programFolderWritable = m_services.programFolderWritable;
    return services;
}

// "Settings...": three of its values take effect at once, the others at the next start.
void Tfrm_Main::mi_SettingsClick()
{
    if (m_operation != Operation::None) return;
    play(Sound::WindowShown);
    if (m_setup->exec() == QDialog::Accepted) {
        m_traceExplorer = m_setup->traceFileExplorer();
        m_showInfo = m_setup->showInfo();
        m_deleteAfterRun = m_setup->deleteFileAfterRun();
    }
    afterOwnWindow();
}

// "Organize": the favourites as the organiser leaves them after "Ok"; "Cancel" keeps them.
void Tfrm_Main::mi_OrganizeFavoClick()
{
    if (m_operation != Operation::None) return;
    play(Sound::WindowShown);
    m_favos->setFavourites(m_favourites.paths());
    if (m_favos->exec() == QDialog::Accepted) {
        std::vector<RecentPath> paths;
        for (const QString& path : m_favos->favourites())
            paths.push_back({path, static_cast<int>(ExplorerImage::Favourite)});
        m_favourites.replace(paths);
        rebuildFavouritesMenu();
    }
    afterOwnWindow();
}

void Tfrm_Main::mi_RipFromFileClick()
{
    if (m_operation != Operation::None) return;
    m_ripDlg->exec();
    afterOwnWindow();
}

// Called when one of the program's own windows (about box, quiz, settings ...) has closed and the
// main window is active again.
void Tfrm_Main::afterOwnWindow()
{
    if (m_started) FormActivate();
}

void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    if (m_operation != Operation::None) {
        // Closing waits for the operation; a load is cancelled first.
        m_closePending = true;
        if (m_operation == Operation::Loading) m_cancelRequested = true;
        event->ignore();
        return;
    }
    if (!m_closed) saveOnClose();
    m_closed = true;
    QMainWindow::closeEvent(event);
}

// Shutdown, in order: sounds released, lists emptied, log closed, history, tool bars and explorer
// view saved.
void Tfrm_Main::saveOnClose()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setStatus(0, QStringLiteral("Exiting..."));
    m_services.freeSfx();
    m_model->setArchive(nullptr);
    m_archive = LoadedArchive{};
    ui->lv_Explorer->clear();
    if (m_logEnabled) m_log.close();

    RegistryKey key = RegistryKey::settings();
    if (m_historyRestored) m_history.save(key, QStringLiteral("History"));
    if (m_favouritesRestored) m_favourites.save(key, QStringLiteral("Favorites"));
    SaveDockLayout();
    key.writeInteger(QString::fromLatin1(settings::kFileExplorerView), m_explorerListView ? 2 : 1);
    key.writeYesNo(QString::fromLatin1(settings::kFileSorting), ui->mi_SName->isChecked());
    key.flush();
    QApplication::restoreOverrideCursor();
}

void Tfrm_Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    showCurrentDir();
}

bool Tfrm_Main::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        // Hints go to panel 2 and leave the other panels as they are.
        setStatus(2, QLatin1Char(' ') + static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters, seen once each (an event passed on to parent widgets comes by again).
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        if (event != m_lastKeyPress) {
            m_lastKeyPress = event;
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text.size() == 1 && text[0].isPrint() && isOwnWindow(static_cast<QWidget*>(watched)))
                FormKeyPress(text[0]);
        }
        return false;
    }
    if (event->type() == QEvent::KeyRelease) m_lastKeyPress = nullptr;
    if (watched == ui->lv_Offsets->viewport() || watched == ui->lv_Offsets) {
        if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease) updateSelectedCount();
    } else if (watched == ui->pnl_ExplorerTitle || watched == ui->lbl_ExplorerTitle) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
            if (mouse->button() == Qt::RightButton && (mouse->modifiers() & both) == both) {
                ui->mi_Extra->menuAction()->setVisible(true);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// While an operation runs, everything that would start another one or change the list is off;
// a load keeps its Cancel button.
void Tfrm_Main::beginOperation(Operation operation)
{
    m_operation = operation;
    updateCommandStates();
}

void Tfrm_Main::endOperation()
{
    m_operation = Operation::None;
    updateCommandStates();
    if (m_closePending) QTimer::singleShot(0, this, &QWidget::close);
}

void Tfrm_Main::updateCommandStates()
{
    const bool idle = m_operation == Operation::None;
    for (QAction* action : {ui->mi_Open,
                            ui->mi_History->menuAction(),
                            ui->tbb_ExtSelect,
                            ui->tbb_ExtAll,
                            ui->tb_Run,
                            ui->tbb_Reload,
                            ui->mi_ReloadFile,
                            ui->mi_DecompressSavegame,
                            ui->mi_RipFromFile,
                            ui->mi_Settings,
                            ui->mi_About,
                            ui->mi_FileInformation,
                            ui->mi_OrganizeFavo,
                            ui->mi_SelectEven,
                            ui->mi_SelectOdd,
                            ui->mi_InvertSelection,
                            ui->mi_QuarnViewer,
                            ui->mi_QuarnReader,
                            ui->mi_QuarnPacker,
                            ui->mi_UseEntrieNumbers,
                            ui->mi_DontIgnoredoubles})
        action->setEnabled(idle);
    ui->mi_Help2->setEnabled(idle && QFileInfo(helpFilePath()).isFile());
    ui->fe_QuarnFile->setEnabled(idle);
    ui->fe_QuarnFileButton->setEnabled(idle);
    ui->ce_OutputDir->setEnabled(idle);
    ui->ce_OutputDirButton->setEnabled(idle);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->cb_UseMovieFiles, ui->cb_Quarn2VOX, ui->cb_Quarn1VOX, ui->cb_SmartExt, ui->ed_BaseName,
             ui->ed_Extention, ui->ed_ExtentionButton, ui->cb_ExtractFrom, ui->se_ExtractFrom, ui->se_ExtractTo})
        w->setEnabled(idle);
    ui->cb_CreateBatchFiles->setEnabled(idle && ui->cb_SmartExt->isChecked());
    ui->lv_Offsets->setEnabled(m_operation != Operation::Extracting);
}

void Tfrm_Main::setStatus(int panel, const QString& text)
{
    if (panel >= 0 && panel < 3 && m_panels[panel]) m_panels[panel]->setText(text);
}

void Tfrm_Main::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    ui->lbl_Caption->setText(caption);
}

void Tfrm_Main::setToolBarWidgetVisible(QToolBar* bar, QWidget* widget, bool visible)
{
    // A widget on a tool bar is shown and hidden through the action that holds it.
    for (QAction* action : bar->actions())
        if (auto* holder = qobject_cast<QWidgetAction*>(action); holder && bar->widgetForAction(action) == widget)
            holder->setVisible(visible);
}

void Tfrm_Main::play(Sound sound)
{
    m_services.playSound(sound);
}

void Tfrm_Main::errorBox(const QString& text)
{
    m_dialogs->message(this, MessageIcon::Error, QStringLiteral("Kestrix"), text);
}

}  // namespace kestrix
