// The main window's hand-offs to other programs (Run, the companion programs, the file manager),
// its help (File information, F1 at the pointer), dropped archives and the hidden key sequence.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "companion_programs.h"
#include "dialogs.h"
#include "dropped_files.h"
#include "help_viewer.h"
#include "library_windows.h"
#include "program_runner.h"
#include "ui_unit_main.h"
#include "unit_main.h"
#include "unit_main_observer.h"

namespace kestrix {

namespace {

constexpr char kFileInfoHelp[] = "fileinfo.hlp";
constexpr char kEasterEggCaption[] = "Congratiolations you've found an \"Easter Egg\"";
// The show modes of the shell's open: show, show default.
constexpr int kShow = 5;
constexpr int kShowDefault = 10;

bool isArchiveName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("hqr") || suffix == QLatin1String("vox") || suffix == QLatin1String("ile") ||
           suffix == QLatin1String("obl");
}

}  // namespace

// Run: the first selected row is written as one step of an extraction and opened by the desktop;
// with "Delete file after run" the file goes once the user says the program is done with it.
void Tfrm_Main::RunSelectedEntry()
{
    if (m_operation != Operation::None || m_archive.rows().empty()) return;
    const std::vector<std::size_t> selected = selectedRows();
    if (selected.empty()) return;
    m_cancelRequested = false;
    beginOperation(Operation::Extracting);
    RunExtraction run;
    QStringList problems;
    {
        Observer observer(*this);
        run = ExtractForRun(extractionContext(&observer), selected);
        problems = observer.problems;
        if (!run.path.isEmpty()) {
            setStatus(0, QStringLiteral("Running..."));
            m_services.runner->run(run.path, QString(), QString(), kShow);
            if (m_deleteAfterRun) {
                m_dialogs->confirm(this, MessageIcon::Question, QStringLiteral("Running..."),
                                   QStringLiteral("When the program is done with the file click \"ok\" and the file "
                                                  "will be deleted"),
                                   {DialogButton::Ok});
                QFile::remove(run.path);
            }
            FinishRun(&observer);
        }
    }
    endOperation();
    if (run.stats.refused) {
        m_dialogs->message(this, MessageIcon::Error, QStringLiteral("Error"),
                           QString::fromLatin1(kNotEnoughSpaceMessage));
    } else if (!run.stats.error.isEmpty()) {
        setStatus(0, QStringLiteral("Failed"));
        errorBox(run.stats.error);
    } else if (!problems.isEmpty()) {
        m_dialogs->message(this, MessageIcon::Warning, QStringLiteral("Run"), problems.join(QStringLiteral("\r\n")));
    }
}

// A companion program from the program folder, given the explorer's folder as its command line;
// a companion that is not there does nothing.
void Tfrm_Main::runCompanion(const QString& name)
{
    const QString program = CompanionProgramPath(name, m_programFolder);
    if (!QFileInfo(program).isFile()) return;
    m_services.runner->run(program, m_explorerDir, QString(), kShowDefault);
}

// The help topic of the loaded archive's kind in "fileinfo.hlp", when that file is there.
void Tfrm_Main::mi_FileInformationClick()
{
    play(Sound::Help);
    const QString path = m_archivePath.isEmpty() ? m_archive.path : m_archivePath;
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    QString keyword;
    if (suffix == QLatin1String("vox"))
        keyword = QStringLiteral("all VOX files");
    else if (suffix == QLatin1String("ile"))
        keyword = QStringLiteral(".ile");
    else if (suffix == QLatin1String("obl"))
        keyword = QStringLiteral(".obl");
    else if (suffix == QLatin1String("hqr"))
        keyword = info.fileName().toLower();
    const QString helpFile = FindHelpFile(QString::fromLatin1(kFileInfoHelp), m_programFolder);
    if (helpFile.isEmpty()) return;
    m_services.showHelpKeyword(helpFile, keyword);
}

// F1: the help topic of the control under the pointer, disabled controls included.
void Tfrm_Main::contextHelp()
{
    const QPoint pointer = QCursor::pos();
    const qint64 number = HelpNumberAt(this, pointer, 5000);
    play(Sound::Help);
    if (number == 0) return;
    m_services.showHelpPopup(helpFilePath(), number, pointer);
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tfrm_Main::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    dropFiles(DroppedFiles(event->mimeData()));
}

// Only the first dropped file counts, taken whole; another type, or a drop while an operation runs,
// is ignored.
void Tfrm_Main::dropFiles(const QStringList& paths)
{
    if (paths.isEmpty() || m_operation != Operation::None) return;
    const QString path = paths.first();
    if (!isArchiveName(path)) return;
    raise();
    activateWindow();
    openArchiveFromUser(path);
}

// The hidden key sequence: each matched character beeps; the whole sequence, once per run,
// opens the quiz.
void Tfrm_Main::FormKeyPress(QChar key)
{
    if (m_easterEgg->feed(key) != KeySequenceMatcher::Result::Completed) return;
    play(Sound::HiddenSequence);
    m_library->quiz();
    repaint();
    setCaption(QString::fromLatin1(kEasterEggCaption));
    afterOwnWindow();
}

// Whether `widget` belongs to this window: the window itself or one of its floating tool bars.
bool Tfrm_Main::isOwnWindow(QWidget* widget) const
{
    for (QWidget* w = widget ? widget->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == this) return true;
    return false;
}

}  // namespace kestrix
