// The packer window's commands: filling the list, reordering it, the output file and the build.

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTreeView>

#include "dialogs.h"
#include "folder_items.h"
#include "library_windows.h"
#include "packer_list_model.h"
#include "ui_unit_packer.h"
#include "unit_packer.h"
#include "unit_packer_progress.h"

namespace bundra {

namespace {

using kestrix::MessageIcon;

constexpr int kAddRepaintThreshold = 10;   // files added at once
constexpr int kListRepaintThreshold = 20;  // rows of the list

PackerItem blankItem()
{
    return {QString::fromLatin1(kBlankPath), QStringLiteral("0"), QString::fromLatin1(kEndReference)};
}

// "position 3 (/data/a.qdc)", the way the build's messages name an item.
QString itemName(const std::vector<PackerItem>& items, int position)
{
    if (position < 0 || position >= static_cast<int>(items.size())) return {};
    return QStringLiteral("position %1 (%2)").arg(position + 1).arg(items[static_cast<std::size_t>(position)].path);
}

}  // namespace

QStringList Tfrm_Packer::chooseFiles()
{
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Select a file");
    request.filter = QStringLiteral("All Files (*.*)|*.*");
    request.multiple = true;
    request.initialFolder = m_lastFolder;
    const kestrix::FileDialogResult result = m_services.dialogs->openFile(this, request);
    if (!result.accepted || result.files.isEmpty()) return {};
    m_lastFolder = QFileInfo(result.files.first()).absolutePath();
    return result.files;
}

void Tfrm_Packer::tb_AddFileClick()
{
    if (m_building) return;
    const QStringList files = chooseFiles();
    if (files.isEmpty()) {
        setStatus(0, QStringLiteral("Done..."));
        return;
    }
    addFiles(files);
}

void Tfrm_Packer::mi_InsertFileClick()
{
    if (m_building) return;
    const QStringList files = chooseFiles();
    if (files.isEmpty()) {
        setStatus(0, QStringLiteral("Done..."));
        return;
    }
    insertFiles(files);
}

void Tfrm_Packer::addFiles(const QStringList& paths)
{
    if (!m_building) placeFiles(paths, -1, true);
}

// Inserting knows the ".double" marker as adding does: a marker packed as an entry would put its
// text into the archive.
void Tfrm_Packer::insertFiles(const QStringList& paths)
{
    if (m_building) return;
    const int selected = selectedRow();
    placeFiles(paths, selected < 0 ? -1 : selected + 1, true);
}

void Tfrm_Packer::placeFiles(const QStringList& paths, int row, bool recogniseDouble)
{
    setStatus(0, QStringLiteral("Adding file(s)"));
    const bool many = paths.size() >= kAddRepaintThreshold;
    if (many) suspendRepaint(true);
    std::vector<PackerItem> made;
    made.reserve(static_cast<std::size_t>(paths.size()));
    QString error;
    for (const QString& path : paths) {
        PackerItem item;
        if (!makePackerItem(path, recogniseDouble, &item, &error)) break;
        made.push_back(std::move(item));
        error.clear();
    }
    const int selected = selectedRow();
    m_model->insertItems(row < 0 ? m_model->rowCount() : row, made);
    if (selected >= 0 && row >= 0) selectRow(selected);
    if (many) suspendRepaint(false);
    showRowCount();
    UpdateMoveButtons();
    setStatus(0, QStringLiteral("Done..."));
    if (!error.isEmpty())
        m_services.dialogs->message(this, MessageIcon::Error, QString::fromLatin1(kPackerTitle), error);
}

// "Add folder": the folder, then its group (the bases found are offered, another may be typed).
void Tfrm_Packer::mi_AddFolderClick()
{
    if (m_building) return;
    const QString folder =
        m_services.dialogs->folder(this, QStringLiteral("Select the folder of extracted files"), m_lastFolder);
    if (folder.isEmpty()) return;
    m_lastFolder = folder;
    const QStringList groups = FolderGroups(folder);
    QString prompt = groups.isEmpty() ? QStringLiteral("No file here is named base + number + extension.\nBase name:")
                                      : QStringLiteral(
                                            "Files of these bases are here: %1\n(\"%2\" takes the movie names in "
                                            "their table's order)\nBase name:")
                                            .arg(groups.join(QStringLiteral(", ")), QString::fromLatin1(kMovieGroup));
    const kestrix::InputResult group =
        m_services.dialogs->input(this, QStringLiteral("Add folder"), prompt, groups.value(0));
    if (!group.accepted) return;
    addFolder(folder, group.text.trimmed());
}

void Tfrm_Packer::addFolder(const QString& folder, const QString& group)
{
    if (m_building) return;
    const FolderSelection selection = SelectFolderFiles(folder, group);
    if (!selection.isOk()) {
        m_services.dialogs->message(
            this, MessageIcon::Error, QStringLiteral("Add folder"),
            QStringLiteral("Nothing was added: two files have one number.\n%1").arg(selection.error));
        return;
    }
    if (!selection.paths.isEmpty()) placeFiles(selection.paths, -1, true);
    QStringList notes;
    if (selection.paths.isEmpty()) notes << QStringLiteral("No file of \"%1\" was found.").arg(group);
    notes += selection.gaps;
    for (const QString& skipped : selection.skipped) notes << QStringLiteral("Not added: %1").arg(skipped);
    if (!notes.isEmpty())
        m_services.dialogs->message(this, MessageIcon::Warning, QStringLiteral("Add folder"),
                                    notes.join(QLatin1Char('\n')));
}

void Tfrm_Packer::tb_AddBlankClick()
{
    if (m_building) return;
    m_model->insertItems(m_model->rowCount(), {blankItem()});
    showRowCount();
    UpdateMoveButtons();
}

void Tfrm_Packer::mi_InsertBlankClick()
{
    if (m_building) return;
    const int selected = selectedRow();
    if (selected < 0) {
        tb_AddBlankClick();
        return;
    }
    m_model->insertItems(selected + 1, {blankItem()});
    selectRow(selected);
    showRowCount();
    UpdateMoveButtons();
}

void Tfrm_Packer::tb_DeleteClick()
{
    const int selected = selectedRow();
    if (m_building || selected < 0) return;
    const bool big = m_model->rowCount() > kListRepaintThreshold;
    if (big) suspendRepaint(true);
    m_model->removeItem(selected);
    ui->lv_FileList->selectionModel()->clearSelection();
    if (big) suspendRepaint(false);
    showRowCount();
    UpdateMoveButtons();
}

void Tfrm_Packer::tb_ClearListClick()
{
    if (m_building) return;
    setStatus(0, QStringLiteral("Clearing list"));
    const bool big = m_model->rowCount() > kListRepaintThreshold;
    if (big) suspendRepaint(true);
    m_model->clear();
    if (big) suspendRepaint(false);
    setStatus(0, QStringLiteral("Done..."));
    showRowCount();
    UpdateMoveButtons();
}

void Tfrm_Packer::tb_AboutClick()
{
    m_services.library->about(this);
}

void Tfrm_Packer::moveSelected(int to)
{
    const int selected = selectedRow();
    if (m_building || selected < 0) return;
    const bool big = std::abs(to - selected) > 1 && m_model->rowCount() > kListRepaintThreshold;
    if (big) suspendRepaint(true);
    m_model->moveItem(selected, to);
    selectRow(to);
    if (big) suspendRepaint(false);
    UpdateMoveButtons();
}

void Tfrm_Packer::sb_TopClick()
{
    moveSelected(0);
}

void Tfrm_Packer::sb_UpClick()
{
    moveSelected(std::max(0, selectedRow() - 1));
}

void Tfrm_Packer::sb_DownClick()
{
    moveSelected(std::min(m_model->rowCount() - 1, selectedRow() + 1));
}

void Tfrm_Packer::sb_BottomClick()
{
    moveSelected(m_model->rowCount() - 1);
}

void Tfrm_Packer::fe_OutputFileButtonClick()
{
    if (m_building) return;
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Select output file");
    request.filter = QStringLiteral("Quarn files|*.hqr;*.vox;*.ile;*.obl|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral(".hqr");
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    const QString current = ui->fe_OutputFile->text();
    request.initialFolder = current.isEmpty() ? m_lastFolder : QFileInfo(current).absolutePath();
    request.fileName = QFileInfo(current).fileName();
    const kestrix::FileDialogResult result = m_services.dialogs->saveFile(this, request);
    if (!result.accepted || result.files.isEmpty()) return;
    // A file that is not there yet is made only when the user says so.
    const QString chosen = result.files.first();
    if (!QFileInfo::exists(chosen) &&
        m_services.dialogs->confirm(this, kestrix::MessageIcon::Question, QStringLiteral("Select output file"),
                                    QStringLiteral("%1 does not exist.\r\nDo you want to create it?").arg(chosen),
                                    {kestrix::DialogButton::Yes, kestrix::DialogButton::No}) !=
            kestrix::DialogButton::Yes)
        return;
    setOutputFile(chosen);
}

void Tfrm_Packer::setOutputFile(const QString& path)
{
    ui->fe_OutputFile->setText(path);
    setWindowTitle(QStringLiteral("%1 - [%2]").arg(QString::fromLatin1(kPackerTitle), QFileInfo(path).fileName()));
}

// "Build file". The list and the output are locked while it runs, since the build lets the window
// handle its messages.
void Tfrm_Packer::buildFile()
{
    const QString output = ui->fe_OutputFile->text();
    if (m_building || output.isEmpty() || m_model->rowCount() == 0) return;
    m_building = true;
    updateCommandStates();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BuildOptions options;
    if (ui->cb_Compress->isChecked()) options.compression = kestrix::EntryType::Bias2;
    PackerProgress progress(*this);
    BuildResult result;
    QString error;
    const bool written = BuildArchive(m_model->items(), output, &progress, options, &result, &error);
    QApplication::restoreOverrideCursor();
    m_building = false;
    updateCommandStates();
    showBuildResult(written, progress, result, error);
    if (m_closePending) {
        m_closePending = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

// An abandoned build says so in panel 0 and in one message with every problem; a completed one
// lists its "Double is incorrect" reports the same way.
void Tfrm_Packer::showBuildResult(bool written, const PackerProgress& progress, const BuildResult& result,
                                  const QString& error)
{
    const std::vector<PackerItem>& items = m_model->items();
    QStringList lines;
    bool stopNamed = false;
    for (const PackerProgress::Problem& problem : progress.problems) {
        const QString name = itemName(items, problem.position);
        lines << (name.isEmpty() ? problem.text : QStringLiteral("%1: %2").arg(name, problem.text));
        if (problem.kind == BuildProblem::FileMissing && problem.position == result.errorItem) stopNamed = true;
    }
    if (written) {
        if (!lines.isEmpty())
            m_services.dialogs->message(
                this, MessageIcon::Warning, QStringLiteral("Build file"),
                QStringLiteral("The archive was built; these entries became blank:\n%1").arg(lines.join(u'\n')));
        return;
    }
    setStatus(0, QStringLiteral("Build failed"));
    if (!stopNamed && !error.isEmpty()) {
        const QString name = itemName(items, result.errorItem);
        lines << (name.isEmpty() ? error : QStringLiteral("%1: %2").arg(name, error));
    }
    m_services.dialogs->message(this, MessageIcon::Error, QStringLiteral("Build failed"),
                                QStringLiteral("The archive was not written:\n%1").arg(lines.join(u'\n')));
}

}  // namespace bundra
