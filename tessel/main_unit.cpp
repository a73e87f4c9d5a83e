#include "main_unit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include "caption_strip.h"
#include "dialogs.h"
#include "help_viewer.h"
#include "library_windows.h"
#include "operation_observer.h"
#include "program_registry.h"
#include "settings_store.h"
#include "suite_settings.h"
#include "text_bank_file.h"
#include "text_cell_delegate.h"
#include "text_grid_model.h"
#include "ui_main_unit.h"
#include "unit_edit.h"
#include "unit_sfx.h"

namespace tessel {

using kestrix::DialogButton;
using kestrix::MessageIcon;
using kestrix::Sound;

// Status panel 0: "Modified" is drawn in the highlight colours across the whole panel.
class StatusPanel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (text() != QLatin1String("Modified")) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.fillRect(contentsRect(), kHighlightColour);
        painter.setPen(kHighlightTextColour);
        painter.drawText(contentsRect(), Qt::AlignCenter, text());
    }
};

namespace {

constexpr char kTitle[] = "Quarn Reader";
constexpr char kHelpFileName[] = "Kestrix.hlp";
constexpr char kDialectQuestion[] = "Is this a Quarn1 text file ?";
constexpr int kDefaultRowHeight = 18;
constexpr int kOffsetWidth = 50;
constexpr int kFrameWidth = 36;
constexpr int kTextMargin = 4 + 20;  // the cell's padding and the ellipsis button beside the text

// The notices of an edit or a save (characters the games' set lacks), gathered for one box.
class NoticeCollector : public kestrix::OperationObserver {
public:
    void notice(const QString& text) override { notices << text; }
    QStringList notices;
};

QString folderOf(const QString& path)
{
    if (path.isEmpty()) return {};
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}

}  // namespace

Tfrm_Main::Tfrm_Main(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tfrm_Main>()), m_services(std::move(services))
{
    if (!m_services.dialogs) m_ownDialogs = std::make_unique<kestrix::QtDialogs>();
    m_dialogs = m_services.dialogs ? m_services.dialogs : m_ownDialogs.get();
    if (!m_services.library) m_ownLibrary = std::make_unique<kestrix::VarnelWindows>();
    m_library = m_services.library ? m_services.library : m_ownLibrary.get();
    if (!m_services.playSound) m_services.playSound = [](Sound sound) { kestrix::PlaySfx(sound); };
    if (!m_services.loadSfx) m_services.loadSfx = [] { return kestrix::LoadSfx(); };
    if (!m_services.freeSfx) m_services.freeSfx = [] { kestrix::FreeSfx(); };
    if (!m_services.showHelpPopup) m_services.showHelpPopup = kestrix::ShowHelpPopup;
    if (!m_services.pointerPos) m_services.pointerPos = [] { return QCursor::pos(); };
    if (!m_services.runEditor) m_services.runEditor = [](Tfrm_TextEditor& editor) { return editor.exec(); };
    if (!m_services.now) m_services.now = [] { return QDateTime::currentDateTime(); };
    m_programFolder =
        m_services.programFolder.isEmpty() ? kestrix::settings::ProgramFolder() : m_services.programFolder;
    if (!m_programFolder.endsWith(QLatin1Char('/'))) m_programFolder += QLatin1Char('/');

    ui->setupUi(this);
    m_editor = new Tfrm_TextEditor(
        m_services.playSound, [this](QWidget* window) { ShowContextHelp(window); }, this);
    m_editor->setObjectName(QStringLiteral("frm_TextEditor"));
    FormCreate();
}

Tfrm_Main::~Tfrm_Main() = default;

// Window creation: controls, the grid with its start cell, the status bar, the handlers.
void Tfrm_Main::FormCreate()
{
    if (!QApplication::windowIcon().isNull()) setWindowIcon(QApplication::windowIcon());
    setAcceptDrops(true);
    ui->fe_File->setAcceptDrops(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The caption strip stands above the tool bar, where a menu bar would be.
    setMenuWidget(ui->gc_Main);
    StyleCaptionStrip(ui->gc_Main, true);
    setCaption(QString::fromLatin1(kTitle));

    // The file box and the buttons sit on the tool bar, which stays docked and open.
    ui->tb_File->addWidget(ui->pnl_File);
    ui->tb_File->toggleViewAction()->setVisible(false);
    ui->fe_FileButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->sb_OpenFile->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->sb_Save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->sb_Export->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->sb_About->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->fe_File->setProperty("helpContext", 8000);
    ui->fe_FileButton->setProperty("helpContext", 8000);
    ui->sb_OpenFile->setProperty("tag", 8001);
    ui->sb_Save->setProperty("tag", 8006);
    ui->sb_Export->setProperty("tag", 8002);
    ui->sb_About->setProperty("tag", 8003);
    ui->hg_Text->setProperty("helpContext", 8007);

    // The grid: offset, text and frame; the heading row; rows grow to fit their wrapped text.
    m_model = new TextGridModel(this);
    m_delegate = new TextCellDelegate(this);
    ui->hg_Text->setModel(m_model);
    ui->hg_Text->setItemDelegate(m_delegate);
    ui->hg_Text->setFont(FixedFont(12));
    ui->hg_Text->setShowGrid(false);
    ui->hg_Text->verticalHeader()->hide();
    ui->hg_Text->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->hg_Text->verticalHeader()->setMinimumSectionSize(kDefaultRowHeight);
    ui->hg_Text->verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    ui->hg_Text->horizontalHeader()->setHighlightSections(false);
    ui->hg_Text->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->hg_Text->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    ui->hg_Text->setColumnWidth(TextGridModel::Offset_List, kOffsetWidth);
    ui->hg_Text->setColumnWidth(TextGridModel::Text_List, 403);
    ui->hg_Text->setColumnWidth(TextGridModel::ID_Token, kFrameWidth);
    ui->hg_Text->setStyleSheet(
        QStringLiteral("QTableView { selection-background-color: #7B7BFF; selection-color: #00FFFF; }"));
    ui->hg_Text->installEventFilter(this);
    ui->hg_Text->viewport()->installEventFilter(this);
    connect(ui->hg_Text->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                for (const QModelIndex& index : selected.indexes()) hg_TextSelectCell(index);
            });
    connect(m_delegate, &TextCellDelegate::buttonClicked, this,
            [this](const QModelIndex& index) { hg_TextButtonClick(index.row()); });

    // Status bar: state ("Modified"), row and offset, and a plain third panel.
    m_panel0 = new StatusPanel(ui->sb_Status);
    m_panels[0] = m_panel0;
    m_panels[1] = new QLabel(ui->sb_Status);
    m_panels[2] = new QLabel(ui->sb_Status);
    const int widths[3] = {50, 75, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[i]->setObjectName(QStringLiteral("sb_Status_Panel%1").arg(i));
        m_panels[i]->setAccessibleName(QStringLiteral("Status panel %1").arg(i));
        m_panels[i]->setMinimumWidth(widths[i]);
        if (i < 2) {
            m_panels[i]->setFixedWidth(widths[i]);
            m_panels[i]->setAlignment(Qt::AlignCenter);
            m_panels[i]->setFrameShape(QFrame::Panel);
            m_panels[i]->setFrameShadow(QFrame::Sunken);
        }
        ui->sb_Status->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }

    connect(ui->fe_FileButton, &QToolButton::clicked, this, &Tfrm_Main::fe_FileButtonClick);
    connect(ui->sb_OpenFile, &QToolButton::clicked, this, &Tfrm_Main::sb_OpenFileClick);
    connect(ui->sb_Save, &QToolButton::clicked, this, &Tfrm_Main::sb_SaveClick);
    connect(ui->sb_Export, &QToolButton::clicked, this, &Tfrm_Main::ExportToText);
    connect(ui->sb_About, &QToolButton::clicked, this, &Tfrm_Main::sb_AboutClick);

    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("act_ContextHelp"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, [this] { ShowContextHelp(this); });
    addAction(help);

    FitTextColumn();
}

QString Tfrm_Main::helpFilePath() const
{
    const QString found = kestrix::FindHelpFile(QString::fromLatin1(kHelpFileName), m_programFolder);
    return found.isEmpty() ? m_programFolder + QString::fromLatin1(kHelpFileName) : found;
}

void Tfrm_Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // Start-up runs once the window stands on the screen, so that its boxes stand over it. The
    // command-line file is taken once; no later activation brings it back.
    QTimer::singleShot(0, this, [this] {
        FormShow();
        m_started = true;
        FormActivate();
    });
}

// Start-up: settings and registration when the key exists, sounds, the grid and the file box focused.
void Tfrm_Main::FormShow()
{
    kestrix::RegistryKey key = kestrix::RegistryKey::settings();
    if (key.exists()) {
        if (auto v = key.readText(QString::fromLatin1(kestrix::settings::kDefaultOutput)); v && !v->isEmpty())
            m_defaultOutput = *v;
        kestrix::RegisterProgram(2, QString::fromLatin1(kTitle));
    }
    m_services.loadSfx();
    play(Sound::WindowShown);
    ui->hg_Text->setFocus();
    ui->fe_File->setFocus();
}

// The command-line file: only an existing file (not a folder), after the dialect question.
void Tfrm_Main::FormActivate()
{
    if (m_closed || m_services.parameters.isEmpty()) return;
    const QString path = m_services.parameters.first();
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    m_isQuarn1Bank = m_dialogs->confirm(this, MessageIcon::Question, QString::fromLatin1(kTitle),
                                        QString::fromLatin1(kDialectQuestion),
                                        {DialogButton::Yes, DialogButton::No}) == DialogButton::Yes;
    ui->fe_File->setText(path);
    LoadTextFile(path);
}

void Tfrm_Main::fe_FileButtonClick()
{
    play(Sound::ButtonClick);
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Select a Quarn text file");
    request.filter = QStringLiteral("Quarn text file|*.qbt|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("*.qbt");
    // "Default Output" is where the first dialog opens; later ones open where the file shown is.
    request.initialFolder = m_loadedPath.isEmpty() ? m_defaultOutput : folderOf(m_loadedPath);
    const kestrix::FileDialogResult result = m_dialogs->openFile(this, request);
    if (result.accepted && !result.files.isEmpty()) fe_FileAfterDialog(result.files.first());
}

// A file chosen in the dialog: unsaved changes first, then the dialect question, then the load.
void Tfrm_Main::fe_FileAfterDialog(const QString& chosen)
{
    if (!mayDropChanges()) return;
    m_isQuarn1Bank = m_dialogs->confirm(this, MessageIcon::Question, QString::fromLatin1(kTitle),
                                        QString::fromLatin1(kDialectQuestion),
                                        {DialogButton::Yes, DialogButton::No}) == DialogButton::Yes;
    ui->fe_File->setText(chosen);
    LoadTextFile(chosen);
    ui->hg_Text->setFocus();
}

void Tfrm_Main::sb_OpenFileClick()
{
    play(Sound::ButtonClick);
    const QString path = ui->fe_File->text();
    if (QFileInfo(path).isFile() && !mayDropChanges()) return;
    LoadTextFile(path);
}

void Tfrm_Main::dropFiles(const QStringList& paths)
{
    if (paths.isEmpty()) return;
    const QString path = paths.first();
    if (QFileInfo(path).suffix().toLower() != QLatin1String("qbt")) return;
    raise();
    activateWindow();
    if (!mayDropChanges()) return;
    ui->fe_File->setText(path);
    LoadTextFile(path);
}

void Tfrm_Main::LoadTextFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    setStatus(1, QStringLiteral("Reading..."));
    setStatus(0, QString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The load reports unknown characters all at once, below, rather than one box per byte.
    TextBankLoad load = tessel::LoadTextFile(path, m_isQuarn1Bank, nullptr);
    QApplication::restoreOverrideCursor();
    const QString shownCaption =
        m_loadedPath.isEmpty()
            ? QString::fromLatin1(kTitle)
            : QStringLiteral("%1 - [%2]").arg(QString::fromLatin1(kTitle), QFileInfo(m_loadedPath).fileName());
    switch (load.status) {
    case TextBankLoad::Status::NoFile:
        setStatus(1, QString());
        return;
    case TextBankLoad::Status::TooLarge:
        setStatus(1, QString());
        errorBox(QString::fromLatin1(kTitle), load.error);
        ui->fe_File->setText(m_loadedPath);
        return;
    case TextBankLoad::Status::Invalid:
    case TextBankLoad::Status::Unreadable:
        // The grid keeps the bank it showed, and the caption and file box name that bank.
        setCaption(shownCaption);
        setStatus(1, QString());
        errorBox(load.status == TextBankLoad::Status::Invalid ? QString::fromLatin1(kInvalidFileTitle)
                                                              : QString::fromLatin1(kTitle),
                 load.error);
        ui->fe_File->setText(m_loadedPath);
        return;
    case TextBankLoad::Status::Loaded:
        break;
    }
    setCaption(QStringLiteral("%1 - [%2]").arg(QString::fromLatin1(kTitle), QFileInfo(path).fileName()));
    FillTextGrid(std::move(load.entries));
    m_loadedPath = path;
    m_unsaved = false;
    setStatus(1, QString());
    if (!load.unknownCharacters.empty()) {
        play(Sound::UnknownCharacter);
        m_dialogs->message(this, MessageIcon::Information, QString::fromLatin1(kTitle),
                           UnknownCharactersMessage(load.unknownCharacters));
    }
    play(Sound::OperationEnd);
}

void Tfrm_Main::FillTextGrid(std::vector<TextBankEntry> entries)
{
    m_model->setEntries(std::move(entries));
    m_rememberedRow = -1;
    FitTextColumn();
    FitRowHeights(0);
}

void Tfrm_Main::hg_TextSelectCell(const QModelIndex& index)
{
    if (index.column() != TextGridModel::Text_List) return;
    m_rememberedRow = index.row();
    setStatus(1, QStringLiteral("%1:%2").arg(index.row() + 1).arg(m_model->offsetText(index.row())));
}

void Tfrm_Main::hg_TextButtonClick(int row)
{
    // Before a load the grid holds only the start cell; there is nothing to edit.
    if (!m_model->isLoaded() || row < 0 || row >= m_model->rowCount()) return;
    play(Sound::WindowShown);
    const TextBankEntry& entry = m_model->entries()[static_cast<std::size_t>(row)];
    m_editor->setText(entry.text);
    m_editor->setFrame(entry.frame, !m_isQuarn1Bank);
    m_editor->setCaption(QStringLiteral("Text editor : Offset ") + m_model->offsetText(row));
    if (m_services.runEditor(*m_editor) != QDialog::Accepted) return;

    setStatus(0, QStringLiteral("Modified"));
    NoticeCollector notices;
    m_model->applyEdit(row, m_editor->text(), m_editor->frame(), m_isQuarn1Bank, &notices);
    m_unsaved = true;
    FitRowHeights(row, row);
    if (!notices.notices.isEmpty())
        m_dialogs->message(this, MessageIcon::Information, QString::fromLatin1(kTitle),
                           notices.notices.join(QLatin1Char('\n')));
}

void Tfrm_Main::sb_SaveClick()
{
    play(Sound::ButtonClick);
    saveWithDialog();
}

bool Tfrm_Main::saveWithDialog()
{
    if (!m_model->isLoaded()) {
        errorBox(QStringLiteral("Error"), QStringLiteral("No file is loaded, so there is nothing to save."));
        return false;
    }
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Save file as");
    request.filter = QStringLiteral("Quarn Text files|*.qbt|All Files (*.*)|*.*");
    request.defaultExtension = QStringLiteral(".qbt");
    request.initialFolder = folderOf(m_loadedPath);
    request.fileName = QFileInfo(m_loadedPath).fileName();
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    const kestrix::FileDialogResult result = m_dialogs->saveFile(this, request);
    if (!result.accepted || result.files.isEmpty()) return false;

    NoticeCollector notices;
    QString error;
    const bool saved = SaveTextBank(result.files.first(), m_model->entries(), m_isQuarn1Bank, &notices, &error);
    if (!notices.notices.isEmpty())
        m_dialogs->message(this, MessageIcon::Information, QString::fromLatin1(kTitle),
                           notices.notices.join(QLatin1Char('\n')));
    if (!saved) {
        errorBox(QStringLiteral("Error"), error);
        return false;
    }
    m_unsaved = false;
    return true;
}

void Tfrm_Main::ExportToText()
{
    play(Sound::ButtonClick);
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Export to ASCII text");
    request.filter = QStringLiteral("Text files|*.txt");
    request.defaultExtension = QStringLiteral(".txt");
    request.initialFolder = m_defaultOutput.isEmpty() ? folderOf(m_loadedPath) : m_defaultOutput;
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    const kestrix::FileDialogResult result = m_dialogs->saveFile(this, request);
    if (result.accepted && !result.files.isEmpty()) {
        QString error;
        if (!ExportTextFile(result.files.first(), m_model->entries(), ui->fe_File->text(), m_services.now(), &error))
            errorBox(QString::fromLatin1(kTitle), error);
    }
    play(Sound::OperationEnd);
}

void Tfrm_Main::sb_AboutClick()
{
    play(Sound::About);
    m_library->about(this);
}

bool Tfrm_Main::mayDropChanges()
{
    if (!m_unsaved) return true;
    const DialogButton answer =
        m_dialogs->confirm(this, MessageIcon::Question, QString::fromLatin1(kTitle),
                           QStringLiteral("The texts of %1 were changed and not saved.\r\nSave them first?\r\n\r\n"
                                          "Yes: save, No: discard the changes, Cancel: go back.")
                               .arg(QFileInfo(m_loadedPath).fileName()),
                           {DialogButton::Yes, DialogButton::No, DialogButton::Cancel});
    bool goOn = answer == DialogButton::No || (answer == DialogButton::Yes && saveWithDialog());
    if (!goOn) ui->fe_File->setText(m_loadedPath);
    return goOn;
}

void Tfrm_Main::ShowContextHelp(QWidget* window)
{
    play(Sound::Help);
    const QPoint pos = m_services.pointerPos();
    const qint64 number = kestrix::HelpNumberAt(window, pos, 8000);
    m_services.showHelpPopup(helpFilePath(), number, pos);
}

// The text column takes what the offset and frame columns and the scroll bar leave.
void Tfrm_Main::FitTextColumn()
{
    const int width = qMax(40, ui->hg_Text->viewport()->width() - kOffsetWidth - kFrameWidth);
    if (ui->hg_Text->columnWidth(TextGridModel::Text_List) == width) return;
    ui->hg_Text->setColumnWidth(TextGridModel::Text_List, width);
    FitRowHeights(0);
}

// Rows `firstRow` to `lastRow` (-1: the last) get the height their wrapped text needs, at least
// the default. Most texts fit one line, which is measured without laying the text out.
void Tfrm_Main::FitRowHeights(int firstRow, int lastRow)
{
    QHeaderView* rows = ui->hg_Text->verticalHeader();
    const QFontMetrics metrics(ui->hg_Text->font());
    const int width = qMax(1, ui->hg_Text->columnWidth(TextGridModel::Text_List) - kTextMargin);
    const std::vector<TextBankEntry>& entries = m_model->entries();
    const int end = lastRow < 0 ? m_model->rowCount() : qMin(lastRow + 1, m_model->rowCount());
    for (int r = qMax(0, firstRow); r < end; ++r) {
        const QString& text = entries[static_cast<std::size_t>(r)].text;
        int height = kDefaultRowHeight;
        if (text.contains(QLatin1Char('\n')) || metrics.horizontalAdvance(text) > width) {
            const QString shown = QString(text).remove(QLatin1Char('\r'));
            height = qMax(kDefaultRowHeight,
                          metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, shown).height() + 2);
        }
        if (rows->sectionSize(r) != height) rows->resizeSection(r, height);
    }
}

void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    if (!m_closed && !mayDropChanges()) {
        event->ignore();
        return;
    }
    if (!m_closed) m_services.freeSfx();
    m_closed = true;
    QMainWindow::closeEvent(event);
}

void Tfrm_Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FitTextColumn();
}

void Tfrm_Main::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) StyleCaptionStrip(ui->gc_Main, isActiveWindow());
    QMainWindow::changeEvent(event);
}

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->hg_Text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Insert) {
            // Before any text cell was chosen the keys do nothing.
            if (m_rememberedRow >= 0) hg_TextButtonClick(m_rememberedRow);
            return true;
        }
    }
    if (watched == ui->hg_Text->viewport() && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, [this] { FitTextColumn(); });
    return QMainWindow::eventFilter(watched, event);
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tfrm_Main::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    dropFiles(paths);
}

QString Tfrm_Main::statusText(int panel) const
{
    return panel >= 0 && panel < 3 && m_panels[panel] ? m_panels[panel]->text() : QString();
}

void Tfrm_Main::setStatus(int panel, const QString& text)
{
    if (panel >= 0 && panel < 3 && m_panels[panel]) m_panels[panel]->setText(text);
}

void Tfrm_Main::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    ui->gc_Main->setText(caption);
}

void Tfrm_Main::play(Sound sound)
{
    m_services.playSound(sound);
}

void Tfrm_Main::errorBox(const QString& title, const QString& text)
{
    m_dialogs->message(this, MessageIcon::Error, title, text);
}

}  // namespace tessel
