// The main window's entry list: loading an archive into it, the selection commands and the
// extraction commands, with the observer through which the core reports to the window.

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>

#include "dialogs.h"
#include "entry_list_model.h"
#include "saved_game.h"
#include "ui_unit_main.h"
#include "unit_main.h"
#include "unit_main_observer.h"

namespace kestrix {

namespace {

constexpr char kArchiveFilter[] =
    "Quarn files|*.hqr;*.vox;*.ile;*.obl|Quarn resource files|*.hqr|Quarn speech files|*.vox|Quarn island "
    "files|*.ile|Quarn island object files|*.obl|All files (*.*)|*.*";
// Problems named in the box after an extraction; the log names them all.
constexpr int kProblemsShown = 5;

}  // namespace

void Tfrm_Main::setupEntryList()
{
    m_model = new EntryListModel(this);
    ui->lv_Offsets->setModel(m_model);
    QHeaderView* header = ui->lv_Offsets->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    for (int column = 0; column < EntryListModel::ColumnCount; ++column)
        header->resizeSection(column, EntryListModel::columnWidth(column));
    ui->lv_Offsets->installEventFilter(this);
    ui->lv_Offsets->viewport()->installEventFilter(this);
    connect(ui->lv_Offsets, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm_OffsetList->popup(ui->lv_Offsets->viewport()->mapToGlobal(pos)); });

    connect(ui->bb_Cancel, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    connect(ui->tbb_Reload, &QAction::triggered, this, [this] {
        play(Sound::ButtonClick);
        LoadArchive(m_archivePath);
    });
    connect(ui->mi_ReloadFile, &QAction::triggered, this, [this] { LoadArchive(m_archivePath); });
    connect(ui->mi_SelectEven, &QAction::triggered, this, [this] { selectByParity(true); });
    connect(ui->mi_SelectOdd, &QAction::triggered, this, [this] { selectByParity(false); });
    connect(ui->mi_InvertSelection, &QAction::triggered, this, &Tfrm_Main::invertSelection);

    connect(ui->tbb_ExtSelect, &QAction::triggered, this, [this] {
        play(Sound::ButtonClick);
        ExtractSelection();
    });
    connect(ui->tbb_ExtAll, &QAction::triggered, this, [this] {
        play(Sound::ButtonClick);
        ExtractAll();
    });

    connect(ui->fe_QuarnFileButton, &QToolButton::clicked, this, [this] {
        play(Sound::ButtonClick);
        fe_QuarnFileButtonClick();
    });
    connect(ui->fe_QuarnFile, &QLineEdit::returnPressed, this,
            [this] { openArchiveFromUser(ui->fe_QuarnFile->text().trimmed()); });
    connect(ui->ce_OutputDirButton, &QToolButton::clicked, this, [this] {
        play(Sound::ButtonClick);
        ce_OutputDirButtonClick();
    });
    connect(ui->ed_ExtentionButton, &QToolButton::clicked, this, [this] { pm_FileExt->popup(QCursor::pos()); });
    connect(ui->cb_SmartExt, &QCheckBox::toggled, this,
            [this](bool on) { ui->cb_CreateBatchFiles->setEnabled(on && m_operation == Operation::None); });
    connect(ui->se_ExtractFrom, &QSpinBox::valueChanged, this, [this](int value) {
        if (value > ui->se_ExtractTo->value()) ui->se_ExtractTo->setValue(value);
    });
    connect(ui->se_ExtractFrom, &SpinEdit::stepped, this, [this] { play(Sound::ButtonClick); });
    connect(ui->se_ExtractTo, &SpinEdit::stepped, this, [this] { play(Sound::ButtonClick); });

    setToolBarWidgetVisible(ui->tb_Options, ui->cb_UseMovieFiles, false);
    setToolBarWidgetVisible(ui->tb_Options, ui->cb_Quarn2VOX, false);
    setToolBarWidgetVisible(ui->tb_Options, ui->cb_Quarn1VOX, false);
}

// Scans the archive at `path` into the entry list. While it runs the window repaints, Cancel stops
// it (keeping the rows read so far) and nothing else can start another operation.
void Tfrm_Main::LoadArchive(const QString& path)
{
    if (m_operation != Operation::None) return;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;

    beginOperation(Operation::Loading);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    setStatus(0, QStringLiteral("Loading..."));
    const QString fileName = QFileInfo(path).fileName();
    setCaption(QStringLiteral("Kestrix - [%1]").arg(fileName));
    ui->lbl_FilenameValue->setText(fileName);

    const QString archiveFolder = WithTrailingSeparator(QFileInfo(path).absolutePath());
    if (m_traceExplorer && archiveFolder.toLower() != m_explorerDir.toLower()) RefreshExplorer(archiveFolder);

    // The Cancel button stands over the list's top left corner while the list is filled.
    ui->bb_Cancel->move(ui->lv_Offsets->geometry().topLeft() + QPoint(2, 2));
    ui->bb_Cancel->raise();
    m_cancelRequested = false;
    ui->lv_Offsets->setUpdatesEnabled(false);
    ui->bb_Cancel->show();
    ui->bb_Cancel->setFocus();
    setStatus(0, QStringLiteral("Clearing..."));
    m_model->setArchive(nullptr);
    m_archive = LoadedArchive{};
    setStatus(0, QStringLiteral("Loading..."));
    ui->lbl_FilesizeValue->setText(megabytesText(static_cast<std::uint64_t>(QFileInfo(path).size())));
    ui->lbl_ExtractedSizeValue->setText(QStringLiteral("..."));
    QCoreApplication::processEvents();

    ScanOptions options;
    options.useEntryNumbers = ui->mi_UseEntrieNumbers->isChecked();
    options.keepDoubles = ui->mi_DontIgnoredoubles->isChecked();
    QString error;
    bool loaded = false;
    {
        Observer observer(*this);
        loaded = loadArchiveFile(path, options, &observer, &m_archive, &error);
    }

    if (loaded) {
        m_model->setArchive(&m_archive);
        ui->lbl_FilesizeValue->setText(m_archive.scan.sizeText());
        ui->lbl_ExtractedSizeValue->setText(m_archive.scan.extractedSizeText());
        NamingConfig naming = namingFromControls();
        ArchiveDefaults(path, m_archive.scan.hasIff, m_archive.rows().size(), naming);
        applyNamingToControls(naming);
        for (const QString& line : KestrixLog::loadBlock(path, m_archive.rows().size(), ui->lbl_FilesizeValue->text()))
            WriteLog(line);
        addHistory(path);
    } else {
        m_archive = LoadedArchive{};
        m_model->setArchive(nullptr);
        ui->lbl_ExtractedSizeValue->setText(QString());
    }
    ui->bb_Cancel->hide();
    ui->lv_Offsets->setUpdatesEnabled(true);
    updateSelectedCount();
    QApplication::restoreOverrideCursor();
    endOperation();
    if (!loaded) {
        setStatus(0, QString());
        errorBox(error);
        return;
    }
    setStatus(0, QStringLiteral("Done !"));
    play(Sound::OperationEnd);
}

NamingConfig Tfrm_Main::namingFromControls() const
{
    NamingConfig naming;
    naming.baseName = ui->ed_BaseName->text();
    naming.extension = ui->ed_Extention->text();
    naming.smartExtension = ui->cb_SmartExt->isChecked();
    naming.createBatchFiles = ui->cb_CreateBatchFiles->isChecked();
    naming.useMovieNames = ui->cb_UseMovieFiles->isChecked();
    naming.quarn2Vox = ui->cb_Quarn2VOX->isChecked();
    naming.quarn1Vox = ui->cb_Quarn1VOX->isChecked();
    naming.archiveFileName = QFileInfo(m_archive.path).fileName().toLower();
    naming.rowCount = m_archive.rows().size();
    return naming;
}

void Tfrm_Main::applyNamingToControls(const NamingConfig& naming)
{
    ui->ed_BaseName->setText(naming.baseName);
    ui->ed_Extention->setText(naming.extension);
    ui->cb_UseMovieFiles->setChecked(naming.useMovieNames);
    setToolBarWidgetVisible(ui->tb_Options, ui->cb_UseMovieFiles, naming.movieNamesShown);
    ui->cb_Quarn2VOX->setChecked(naming.quarn2Vox);
    ui->cb_Quarn1VOX->setChecked(naming.quarn1Vox);
    setToolBarWidgetVisible(ui->tb_Options, ui->cb_Quarn2VOX, naming.voiceBoxesShown);
    setToolBarWidgetVisible(ui->tb_Options, ui->cb_Quarn1VOX, naming.voiceBoxesShown);
}

ExtractionContext Tfrm_Main::extractionContext(OperationObserver* observer)
{
    ExtractionContext context;
    context.archive = &m_archive;
    context.naming = namingFromControls();
    // Movie names count only while their box is offered.
    context.naming.useMovieNames = context.naming.useMovieNames && !ui->cb_UseMovieFiles->isHidden();
    context.outputDir = ui->ce_OutputDir->text();
    context.lastOutputFile = &m_lastOutputFile;
    context.observer = observer;
    context.freeSpace = m_services.freeSpace;
    return context;
}

void Tfrm_Main::ExtractSelection()
{
    runExtraction(false, ui->cb_ExtractFrom->isChecked());
}

void Tfrm_Main::ExtractAll()
{
    if (m_operation != Operation::None) return;
    const DialogButton answer = m_dialogs->confirm(
        this, MessageIcon::Question, QStringLiteral("Confirm"),
        QStringLiteral("Are you sure you want to extract all files.\r\nThis could take a long time."),
        {DialogButton::Yes, DialogButton::No});
    if (answer != DialogButton::Yes) return;
    ui->lv_Offsets->selectAll();
    runExtraction(true, false);
}

// One extraction command: selection, all, or the range of list positions. The window is held
// still while it runs; the result is reported by boxes afterwards.
void Tfrm_Main::runExtraction(bool all, bool range)
{
    if (m_operation != Operation::None || m_archive.rows().empty()) return;
    m_cancelRequested = false;
    const std::vector<std::size_t> selected = all || range ? std::vector<std::size_t>{} : selectedRows();
    beginOperation(Operation::Extracting);
    ExtractionStats stats;
    QStringList problems;
    {
        Observer observer(*this);
        const ExtractionContext context = extractionContext(&observer);
        if (range)
            stats = ExtractRange(context, static_cast<std::uint32_t>(ui->se_ExtractFrom->value()),
                                 static_cast<std::uint32_t>(ui->se_ExtractTo->value()));
        else
            stats = ExtractEntries(context, selected, all);
        problems = observer.problems;
    }
    ui->gp_Itm->hide();
    updateControlPanel();
    endOperation();
    showExtractionResult(stats, problems);
}

void Tfrm_Main::showExtractionResult(const ExtractionStats& stats, const QStringList& problems)
{
    if (stats.refused) {
        m_dialogs->message(this, MessageIcon::Error, QStringLiteral("Error"),
                           QString::fromLatin1(kNotEnoughSpaceMessage));
        return;
    }
    if (!stats.error.isEmpty()) {
        setStatus(0, QStringLiteral("Failed"));
        errorBox(stats.error);
        return;
    }
    if (stats.files == 0 && stats.problems == 0) return;
    QString text = stats.statisticsText();
    if (!problems.isEmpty()) {
        text += QStringLiteral("\r\n");
        for (int i = 0; i < problems.size() && i < kProblemsShown; ++i) text += QStringLiteral("\r\n") + problems[i];
        if (problems.size() > kProblemsShown)
            text += QStringLiteral("\r\n... and %1 more").arg(problems.size() - kProblemsShown);
        if (isLogOn()) text += QStringLiteral("\r\nThe log names every one.");
    }
    if (m_showInfo) {
        raise();
        activateWindow();
        m_dialogs->message(this, MessageIcon::Information, QStringLiteral("Finished extracting !"), text);
    } else if (stats.problems > 0) {
        m_dialogs->message(this, MessageIcon::Warning, QStringLiteral("Finished extracting !"), text);
    }
}

std::vector<std::size_t> Tfrm_Main::selectedRows() const
{
    const std::size_t count = m_archive.rows().size();
    std::vector<char> flags(count, 0);
    // Reading the selection's ranges stays fast for any number of rows; asking the view row by
    // row would not.
    for (const QItemSelectionRange& range : ui->lv_Offsets->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && static_cast<std::size_t>(row) < count) flags[static_cast<std::size_t>(row)] = 1;
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < count; ++i)
        if (flags[i]) rows.push_back(i);
    return rows;
}

void Tfrm_Main::setSelectedRows(const std::vector<char>& flags)
{
    QItemSelection selection;
    const int count = std::min(static_cast<int>(flags.size()), m_model->rowCount());
    const int lastColumn = EntryListModel::ColumnCount - 1;
    for (int row = 0; row < count;) {
        if (!flags[static_cast<std::size_t>(row)]) {
            ++row;
            continue;
        }
        int end = row;
        while (end + 1 < count && flags[static_cast<std::size_t>(end + 1)]) ++end;
        selection.append(QItemSelectionRange(m_model->index(row, 0), m_model->index(end, lastColumn)));
        row = end + 1;
    }
    // Clearing first and selecting one block of ranges keeps this linear in the rows.
    QItemSelectionModel* model = ui->lv_Offsets->selectionModel();
    model->clearSelection();
    model->select(selection, QItemSelectionModel::Select);
    updateSelectedCount();
}

// "Select even entries" (2nd, 4th, ...) or "odd" (1st, 3rd, ...), added to the selection.
void Tfrm_Main::selectByParity(bool even)
{
    std::vector<char> flags(m_archive.rows().size(), 0);
    for (std::size_t i : selectedRows()) flags[i] = 1;
    for (std::size_t i = even ? 1 : 0; i < flags.size(); i += 2) flags[i] = 1;
    setSelectedRows(flags);
}

void Tfrm_Main::invertSelection()
{
    std::vector<char> flags(m_archive.rows().size(), 1);
    for (std::size_t i : selectedRows()) flags[i] = 0;
    setSelectedRows(flags);
}

void Tfrm_Main::updateSelectedCount()
{
    ui->lbl_SelectedValue->setText(QString::number(selectedRows().size()));
}

void Tfrm_Main::fe_QuarnFileButtonClick()
{
    if (m_operation != Operation::None) return;
    FileDialogRequest request;
    request.title = QStringLiteral("Select an Quarn file");
    request.filter = QString::fromLatin1(kArchiveFilter);
    request.defaultExtension = QStringLiteral("*.hqr;*.vox");
    request.initialFolder = m_openDialogFolder;
    const FileDialogResult result = m_dialogs->openFile(this, request);
    if (!result.accepted || result.files.isEmpty()) return;
    m_openDialogFolder = WithTrailingSeparator(QFileInfo(result.files.first()).absolutePath());
    openArchiveFromUser(result.files.first());
}

void Tfrm_Main::ce_OutputDirButtonClick()
{
    const QString chosen = m_dialogs->folder(this, QStringLiteral("Select output directory"), ui->ce_OutputDir->text());
    if (!chosen.isEmpty()) ui->ce_OutputDir->setText(WithTrailingSeparator(chosen));
}

// Expands a compressed saved game beside itself; the status bar names the copy, a box says why
// nothing was written (or that the copy is damaged).
void Tfrm_Main::mi_DecompressSavegameClick()
{
    if (m_operation != Operation::None) return;
    FileDialogRequest request;
    request.title = QStringLiteral("Select Quarn2 savegame");
    request.filter = QStringLiteral("Quarn2 savegame|*.quarn|All files (*.*)|*.*");
    request.initialFolder = m_explorerDir;
    const FileDialogResult result = m_dialogs->openFile(this, request);
    if (!result.accepted || result.files.isEmpty()) return;
    const varnel::SavedGameResult saved = varnel::decompressSavedGame(result.files.first());
    if (saved.isWritten()) setStatus(2, QStringLiteral(" Written: %1").arg(saved.outputPath));
    if (saved.status == varnel::SavedGameResult::Status::Written) return;
    const QString why = saved.error.isEmpty()
                            ? QStringLiteral("%1: not a compressed saved game").arg(result.files.first())
                            : saved.error;
    if (saved.isWritten())
        m_dialogs->message(this, MessageIcon::Warning, QStringLiteral("Decompress Quarn2 savegame"),
                           QStringLiteral("%1\r\nThe copy was written to %2").arg(why, saved.outputPath));
    else
        m_dialogs->message(this, MessageIcon::Error, QStringLiteral("Decompress Quarn2 savegame"),
                           QStringLiteral("Nothing was written.\r\n%1").arg(why));
}

}  // namespace kestrix
