// Opens each window of the suite in the states worth looking at and writes it as NAME.png into
// the folder given as the first argument. Meant to run under Xvfb (make screenshots); every
// window is grabbed from its own pixels, so no window manager is needed.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs.h"
#include "help_viewer.h"
#include "library_windows.h"
#include "quiz_table.h"
#include "settings_store.h"
#include "ui_unit_about.h"
#include "ui_unit_quiz.h"
#include "unit_about.h"
#include "unit_favos.h"
#include "unit_main.h"
#include "unit_packer.h"
#include "unit_quiz.h"
#include "unit_ripper.h"
#include "unit_settings.h"
// The viewer's window has a header of the same name as the extractor's.
#include <QTableView>
#include <QToolButton>
#include "../pictor/unit_main.h"
#include "extraction.h"
#include "hqr_archive.h"
#include "image_plugin.h"
#include "main_unit.h"
#include "text_grid_model.h"
#include "unit_edit.h"

namespace {

// Answers every box of the quiz without showing it, as a user who closes each one would.
class SilentDialogs : public kestrix::Dialogs {
public:
    void message(QWidget*, kestrix::MessageIcon, const QString&, const QString&) override {}
    kestrix::DialogButton confirm(QWidget*, kestrix::MessageIcon, const QString&, const QString&,
                                  const QList<kestrix::DialogButton>&) override
    {
        return kestrix::DialogButton::No;
    }
    kestrix::FileDialogResult openFile(QWidget*, const kestrix::FileDialogRequest&) override { return {}; }
    kestrix::FileDialogResult saveFile(QWidget*, const kestrix::FileDialogRequest&) override { return {}; }
    QString folder(QWidget*, const QString&, const QString&) override { return {}; }
    kestrix::InputResult input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

struct Shot {
    const char* name;
    // Makes the window ready to be grabbed. Windows of ours are owned through the returned
    // pointer; the help windows belong to the help module and come with a deleter that does nothing.
    std::function<std::shared_ptr<QWidget>()> make;
};

void settle(QWidget* w)
{
    w->show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
}

varnel::AboutServices quietAbout(QDate today)
{
    varnel::AboutServices s;
    s.openLink = [](const QString&) {};
    s.today = [today] { return today; };
    return s;
}

// The help window that a help request has just shown (the help module reuses its windows, so it
// is the top-level window that was not visible before).
std::shared_ptr<QWidget> helpWindow(const std::function<bool()>& open)
{
    QWidgetList visibleBefore;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) visibleBefore.append(w);
    if (!open()) return {};
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !visibleBefore.contains(w)) {
            settle(w);
            return std::shared_ptr<QWidget>(w, [](QWidget*) {});
        }
    return {};
}

// The extractor's main window on a demo archive, with the library's windows and sounds left out.
std::unique_ptr<QWidget> extractorWindow(SilentDialogs& dialogs, kestrix::SilentLibraryWindows& library,
                                         const QString& programFolder,
                                         const std::function<void(kestrix::Tfrm_Main&)>& arrange)
{
    kestrix::MainWindowServices services;
    services.dialogs = &dialogs;
    services.library = &library;
    services.playSound = [](kestrix::Sound) {};
    services.loadSfx = [] { return false; };
    services.freeSfx = [] {};
    services.programFolder = programFolder;
    services.parameters = {programFolder + QStringLiteral("/demo/ress.hqr")};
    auto window = std::make_unique<kestrix::Tfrm_Main>(services);
    window->resize(760, 520);
    settle(window.get());
    for (int i = 0; i < 50 && !window->isStarted(); ++i) settle(window.get());
    arrange(*window);
    settle(window.get());
    return window;
}

// The viewer with the demo resources extracted as the extractor writes them (palette, full-screen
// picture and their batch file), the batch file loaded.
std::unique_ptr<QWidget> viewerWindow(SilentDialogs& dialogs, kestrix::SilentLibraryWindows& library,
                                      const QString& programFolder, const QString& work, bool developer)
{
    kestrix::LoadedArchive archive;
    QString error;
    if (!kestrix::loadArchiveFile(programFolder + QStringLiteral("/demo/ress.hqr"), {}, nullptr, &archive, &error))
        return nullptr;
    kestrix::ExtractionContext context;
    context.archive = &archive;
    context.naming.baseName = QStringLiteral("ress");
    context.naming.smartExtension = true;
    context.naming.createBatchFiles = true;
    context.naming.rowCount = archive.rows().size();
    context.outputDir = work;
    kestrix::ExtractEntries(context, {}, true);
    const QStringList batches = QDir(work).entryList({QStringLiteral("*.qbc")}, QDir::Files, QDir::Name);
    if (batches.isEmpty()) return nullptr;

    pictor::MainWindowServices services;
    services.dialogs = &dialogs;
    services.library = &library;
    services.playSound = [](kestrix::Sound) {};
    services.loadSfx = [] { return false; };
    services.freeSfx = [] {};
    services.programFolder = programFolder;
    if (developer) services.parameters = {QStringLiteral("-dev")};
    auto window = std::make_unique<pictor::Tfrm_Main>(services);
    window->resize(760, 560);
    settle(window.get());
    for (int i = 0; i < 50 && !window->isStarted(); ++i) settle(window.get());
    window->LoadGameImage(work + u'/' + batches.first());
    if (developer) window->setZoom(200);
    settle(window.get());
    return window;
}

// The packer's window with the files of the demo folder, a blank and a double, and an output file.
std::unique_ptr<QWidget> packerWindow(SilentDialogs& dialogs, kestrix::SilentLibraryWindows& library,
                                      const QString& programFolder)
{
    bundra::PackerWindowServices services;
    services.dialogs = &dialogs;
    services.library = &library;
    services.registerProgram = [](int, const QString&) { return false; };
    auto window = std::make_unique<bundra::Tfrm_Packer>(services);
    window->resize(640, 400);
    settle(window.get());
    const QDir demo(programFolder + QStringLiteral("/demo"));
    QStringList files;
    for (const QString& name : demo.entryList(QDir::Files, QDir::Name)) files << demo.filePath(name);
    window->addFiles(files.mid(0, 3));
    window->findChild<QAction*>(QStringLiteral("tb_AddBlank"))->trigger();
    window->addFiles(files.mid(3, 4));
    window->setOutputFile(QDir::homePath() + QStringLiteral("/quarn/new.hqr"));
    window->selectRow(1);
    settle(window.get());
    return window;
}

// The text viewer on the demo bank (the dialect question answered "No": a Quarn 2 bank), the third
// text chosen and edited.
std::unique_ptr<tessel::Tfrm_Main> textViewer(SilentDialogs& dialogs, kestrix::SilentLibraryWindows& library,
                                              const QString& programFolder)
{
    tessel::MainWindowServices services;
    services.dialogs = &dialogs;
    services.library = &library;
    services.playSound = [](kestrix::Sound) {};
    services.loadSfx = [] { return false; };
    services.freeSfx = [] {};
    services.programFolder = programFolder;
    services.parameters = {programFolder + QStringLiteral("/demo/demo.qbt")};
    services.runEditor = [](tessel::Tfrm_TextEditor& editor) {
        editor.setText(editor.text() + QStringLiteral(" Bonne nuit!"));
        return int(QDialog::Accepted);
    };
    auto window = std::make_unique<tessel::Tfrm_Main>(services);
    window->resize(620, 340);
    settle(window.get());
    for (int i = 0; i < 50 && !window->isStarted(); ++i) settle(window.get());
    auto* grid = window->findChild<QTableView*>(QStringLiteral("hg_Text"));
    window->hg_TextButtonClick(2);
    grid->setCurrentIndex(window->model().index(2, tessel::TextGridModel::Text_List));
    settle(window.get());
    return window;
}

// One of the extractor's dialogs, shown without its modal loop.
template <typename Dialog>
std::unique_ptr<QWidget> extractorDialog(SilentDialogs& dialogs, const QString& programFolder)
{
    kestrix::DialogServices services;
    services.dialogs = &dialogs;
    services.playSound = [](kestrix::Sound) {};
    services.programFolder = programFolder + QLatin1Char('/');
    auto dialog = std::make_unique<Dialog>(services);
    settle(dialog.get());
    return dialog;
}

std::unique_ptr<QWidget> quizAtStep(SilentDialogs& dialogs, int answered, bool allRight)
{
    auto quiz = std::make_unique<varnel::Tfrm_QuarnQuiz>(nullptr, &dialogs);
    quiz->setWindowState(Qt::WindowNoState);
    quiz->setGeometry(QGuiApplication::primaryScreen()->geometry());
    settle(quiz.get());
    if (answered >= 0) {
        quiz->ui->btn_Next->click();
        for (int i = 0; i < answered; ++i) {
            const auto& q = varnel::QuizQuestions()[static_cast<std::size_t>(quiz->currentQuestion())];
            quiz->chooseAnswer(allRight ? q.rightAnswer : (q.rightAnswer + 1) % q.answerCount);
            quiz->ui->btn_Next->click();
        }
    }
    settle(quiz.get());
    return quiz;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "screenshots: cannot make the folder %s\n", qPrintable(folder));
        return 1;
    }
    SilentDialogs dialogs;
    kestrix::SilentLibraryWindows library;
    // The windows read and write the settings; here they get a store of their own.
    QTemporaryDir settingsFolder;
    kestrix::RegistryKey::useFolderForTesting(settingsFolder.path());
    const QDate ordinary(2024, 5, 14);
    pictor::registerImageFormats();
    QTemporaryDir viewerWork;  // the demo resources extracted for the viewer
    // The help files sit in the program folder beside this tool's folder.
    const QString programFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    const QString helpFile = kestrix::FindHelpFile(QStringLiteral("Kestrix.hlp"), programFolder);
    const QString fileInfo = kestrix::FindHelpFile(QStringLiteral("fileinfo.hlp"), programFolder);

    const std::vector<Shot> shots = {
        {"about",
         [&] {
             auto about = std::make_unique<varnel::Tfrm_About>(nullptr, quietAbout(ordinary));
             settle(about.get());
             return std::unique_ptr<QWidget>(std::move(about));
         }},
        {"about_credits",
         [&] {
             auto about = std::make_unique<varnel::Tfrm_About>(nullptr, quietAbout(ordinary));
             settle(about.get());
             about->ui->sb_Credits->click();
             for (int i = 0; i < 260; ++i) about->ui->sp_Credits->step();
             settle(about.get());
             return std::unique_ptr<QWidget>(std::move(about));
         }},
        {"about_info",
         [&] {
             auto about = std::make_unique<varnel::Tfrm_About>(nullptr, quietAbout(ordinary));
             settle(about.get());
             about->ui->sb_Info->click();
             settle(about.get());
             return std::unique_ptr<QWidget>(std::move(about));
         }},
        {"about_birthday",
         [&] {
             auto about = std::make_unique<varnel::Tfrm_About>(
                 nullptr, quietAbout(QDate(2024, varnel::kBirthDate.month(), varnel::kBirthDate.day())));
             settle(about.get());
             for (int i = 0; i < 150; ++i) about->ui->sp_Credits->step();
             settle(about.get());
             return std::unique_ptr<QWidget>(std::move(about));
         }},
        {"kestrix_main",
         [&] {
             return extractorWindow(dialogs, library, programFolder, [](kestrix::Tfrm_Main& w) {
                 w.setSelectedRows({0, 1, 0, 1});
             });
         }},
        {"kestrix_docked",
         [&] {
             return extractorWindow(dialogs, library, programFolder, [](kestrix::Tfrm_Main& w) {
                 auto* docks = w.findChild<QMainWindow*>(QStringLiteral("pnl_Docks"));
                 docks->addToolBar(Qt::TopToolBarArea, w.findChild<QToolBar*>(QStringLiteral("tw_Info")));
                 w.findChild<QAction*>(QStringLiteral("mi_Vertikal"))->trigger();
             });
         }},
        {"kestrix_settings", [&] { return extractorDialog<kestrix::Tfrm_Setup>(dialogs, programFolder); }},
        {"kestrix_favourites",
         [&] {
             auto favos = extractorDialog<kestrix::Tfrm_Favos>(dialogs, programFolder);
             auto* organiser = static_cast<kestrix::Tfrm_Favos*>(favos.get());
             organiser->setFavourites({programFolder + QStringLiteral("/demo/"), QDir::homePath() + QStringLiteral("/"),
                                       QStringLiteral("/tmp/")});
             settle(organiser);
             return favos;
         }},
        {"kestrix_rip", [&] { return extractorDialog<kestrix::Tfrm_RipDlg>(dialogs, programFolder); }},
        {"tessel_main", [&] { return std::unique_ptr<QWidget>(textViewer(dialogs, library, programFolder)); }},
        {"tessel_editor",
         [&] {
             // The editor stands on its own here, filled as the main window fills it for a text.
             auto editor = std::make_unique<tessel::Tfrm_TextEditor>(nullptr, nullptr);
             editor->setText(QString::fromUtf16(u"Radio: \u00e9t\u00e9 au ch\u00e2teau,\r\nM\u00fcller's caf\u00e9!"));
             editor->setFrame(33, true);
             editor->setCaption(QStringLiteral("Text editor : Offset 92"));
             settle(editor.get());
             for (int i = 0; i < 8; ++i)
                 QMetaObject::invokeMethod(editor->findChild<QToolButton*>(QStringLiteral("tb_Right")), "click");
             settle(editor.get());
             return std::unique_ptr<QWidget>(std::move(editor));
         }},
        {"pictor_main", [&] { return viewerWindow(dialogs, library, programFolder, viewerWork.path(), false); }},
        {"pictor_developer", [&] { return viewerWindow(dialogs, library, programFolder, viewerWork.path(), true); }},
        {"bundra_packer", [&] { return packerWindow(dialogs, library, programFolder); }},
        {"quiz_welcome", [&] { return quizAtStep(dialogs, -1, true); }},
        {"quiz_question", [&] { return quizAtStep(dialogs, 3, true); }},
        {"quiz_result", [&] { return quizAtStep(dialogs, varnel::kQuizQuestionCount, true); }},
        {"help_popup",
         [&] { return helpWindow([&] { return kestrix::ShowHelpPopup(helpFile, 5003, QPoint(40, 40)); }); }},
        {"help_topic",
         [&] { return helpWindow([&] { return kestrix::ShowHelpKeyword(fileInfo, QStringLiteral("ress.hqr")); }); }},
        {"help_contents", [&] { return helpWindow([&] { return kestrix::ShowHelpContents(helpFile); }); }},
    };

    int failures = 0;
    for (const Shot& shot : shots) {
        const std::shared_ptr<QWidget> window = shot.make();
        if (!window) {
            std::fprintf(stderr, "screenshots: %s did not open\n", shot.name);
            ++failures;
            continue;
        }
        const QString path = QDir(folder).filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"));
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
        window->close();
    }
    return failures == 0 ? 0 : 1;
}
