// The main window's file explorer panel and its two path menus (recent archives, favourites).

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include <QFileSystemWatcher>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStorageInfo>

#include "dialogs.h"
#include "kestrix_icons.h"
#include "ui_unit_main.h"
#include "unit_main.h"

namespace kestrix {

namespace {

// The item's role that holds whether it is a folder.
constexpr int kIsFolderRole = Qt::UserRole + 1;

// File systems that are not drives a user keeps files on.
bool isVirtualFileSystem(const QByteArray& type)
{
    static const char* const kVirtual[] = {"proc",       "sysfs",      "tmpfs",       "devtmpfs",    "devpts",
                                           "cgroup",     "cgroup2",    "mqueue",      "debugfs",     "tracefs",
                                           "securityfs", "pstore",     "bpf",         "configfs",    "fusectl",
                                           "hugetlbfs",  "autofs",     "binfmt_misc", "nsfs",        "efivarfs",
                                           "ramfs",      "rpc_pipefs", "squashfs",    "fuse.portal", "fuse.gvfsd-fuse"};
    for (const char* name : kVirtual)
        if (type == name) return true;
    return false;
}

QString menuText(const QString& path)
{
    QString text = path;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void Tfrm_Main::setupExplorer()
{
    fm_Explorer = new QFileSystemWatcher(this);
    m_explorerDelay.setSingleShot(true);
    m_explorerDelay.setInterval(1000);
    // A change in the shown folder is reported after a second, then the list is read again (which
    // also watches the folder afresh: a folder replaced on disk would otherwise go quiet).
    connect(fm_Explorer, &QFileSystemWatcher::directoryChanged, this, [this] { m_explorerDelay.start(); });
    connect(&m_explorerDelay, &QTimer::timeout, this, [this] { RefreshExplorer(m_explorerDir); });

    ui->lv_Explorer->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->lv_Explorer->setMovement(QListView::Static);
    ui->lv_Explorer->setResizeMode(QListView::Adjust);
    setExplorerView(true);
    connect(ui->lv_Explorer, &QListWidget::itemActivated, this, [this] { lv_ExplorerOpen(); });
    connect(ui->lv_Explorer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm_Explorer->popup(ui->lv_Explorer->viewport()->mapToGlobal(pos)); });
    connect(ui->mi_OpenFile, &QAction::triggered, this, &Tfrm_Main::lv_ExplorerOpen);
    connect(ui->mi_RefreshDir, &QAction::triggered, this, [this] { RefreshExplorer(m_explorerDir); });
    connect(ui->mi_SetOutputDir, &QAction::triggered, this, [this] { ui->ce_OutputDir->setText(m_explorerDir); });
    connect(ui->mi_NewDir, &QAction::triggered, this, &Tfrm_Main::mi_NewDirClick);
    connect(ui->mi_AddFavo, &QAction::triggered, this, [this] {
        m_favourites.add(m_explorerDir, static_cast<int>(ExplorerImage::Favourite));
        rebuildFavouritesMenu();
    });
    connect(ui->spb_Minimize, &QToolButton::clicked, this, [this] { ui->pnl_Explorer->hide(); });
    ui->pnl_ExplorerTitle->installEventFilter(this);
    ui->lbl_ExplorerTitle->installEventFilter(this);

    fillDrives();
    connect(ui->dc_Drive, &QComboBox::activated, this, [this](int index) {
        const QString root = ui->dc_Drive->itemData(index).toString();
        if (!root.isEmpty()) RefreshExplorer(WithTrailingSeparator(root));
    });
}

// The mounted file systems a user keeps files on, by their mount point.
void Tfrm_Main::fillDrives()
{
    ui->dc_Drive->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || isVirtualFileSystem(volume.fileSystemType())) continue;
        const QString root = volume.rootPath();
        QString text = root;
        if (!volume.displayName().isEmpty() && volume.displayName() != root)
            text = QStringLiteral("%1 (%2)").arg(root, volume.displayName());
        ui->dc_Drive->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), text, root);
    }
}

void Tfrm_Main::RefreshExplorer(const QString& dir)
{
    m_explorerDir = WithTrailingSeparator(dir);
    showCurrentDir();

    if (!fm_Explorer->directories().isEmpty()) fm_Explorer->removePaths(fm_Explorer->directories());
    QString watched = m_explorerDir;
    if (watched.size() > 1) watched.chop(1);
    if (QFileInfo(watched).isDir()) fm_Explorer->addPath(watched);
    QDir::setCurrent(m_explorerDir);

    // The drive selector shows the file system that holds the folder.
    const QString root = QStorageInfo(m_explorerDir).rootPath();
    const int driveIndex = ui->dc_Drive->findData(root);
    if (driveIndex >= 0) ui->dc_Drive->setCurrentIndex(driveIndex);

    ui->lv_Explorer->setUpdatesEnabled(false);
    ui->lv_Explorer->clear();
    std::vector<ExplorerItem> items = ListExplorerFolder(m_explorerDir);
    SortExplorerItems(items, ui->mi_SName->isChecked());
    for (const ExplorerItem& entry : items) {
        auto* item = new QListWidgetItem(ExplorerIcon(entry.image), entry.caption);
        item->setData(kIsFolderRole, entry.isFolder);
        ui->lv_Explorer->addItem(item);
    }
    ui->lv_Explorer->setUpdatesEnabled(true);
}

// The current folder, cut at its start when the panel is too narrow for it (the end names the
// folder); the whole path is the label's tool tip and accessible name.
void Tfrm_Main::showCurrentDir()
{
    QLabel* label = ui->lbl_CurrDir;
    const int room = std::max(label->width(), 40);
    label->setText(label->fontMetrics().elidedText(m_explorerDir, Qt::ElideLeft, room));
    label->setToolTip(m_explorerDir);
    label->setAccessibleName(m_explorerDir);
}

// The explorer's order: by name, or folders first and files by extension.
void Tfrm_Main::sortExplorer()
{
    std::vector<ExplorerItem> items;
    const QString current = ui->lv_Explorer->currentItem() ? ui->lv_Explorer->currentItem()->text() : QString();
    for (int i = 0; i < ui->lv_Explorer->count(); ++i) {
        QListWidgetItem* item = ui->lv_Explorer->item(i);
        ExplorerItem entry;
        entry.caption = item->text();
        entry.isFolder = item->data(kIsFolderRole).toBool();
        entry.image = entry.isFolder ? ExplorerImage::Folder : ArchiveImage(entry.caption);
        items.push_back(entry);
    }
    SortExplorerItems(items, ui->mi_SName->isChecked());
    ui->lv_Explorer->setUpdatesEnabled(false);
    ui->lv_Explorer->clear();
    for (const ExplorerItem& entry : items) {
        auto* item = new QListWidgetItem(ExplorerIcon(entry.image), entry.caption);
        item->setData(kIsFolderRole, entry.isFolder);
        ui->lv_Explorer->addItem(item);
        if (entry.caption == current) ui->lv_Explorer->setCurrentItem(item);
    }
    ui->lv_Explorer->setUpdatesEnabled(true);
}

// "Horizontal": a list that flows in columns; "Vertical": small icons in rows.
void Tfrm_Main::setExplorerView(bool listView)
{
    m_explorerListView = listView;
    ui->mi_Horizontal->setChecked(listView);
    ui->mi_Vertikal->setChecked(!listView);
    ui->lv_Explorer->setViewMode(QListView::ListMode);
    ui->lv_Explorer->setFlow(listView ? QListView::TopToBottom : QListView::LeftToRight);
    ui->lv_Explorer->setWrapping(true);
    ui->lv_Explorer->setIconSize(QSize(16, 16));
    ui->lv_Explorer->setGridSize(listView ? QSize() : QSize(120, 20));
}

// Double click, Enter or "Open file": into a folder, up with "[..]", or load an archive.
void Tfrm_Main::lv_ExplorerOpen()
{
    QListWidgetItem* item = ui->lv_Explorer->currentItem();
    if (!item || !item->isSelected()) return;
    const QString caption = item->text();
    if (item->data(kIsFolderRole).toBool()) {
        if (caption == QLatin1String("[..]"))
            RefreshExplorer(ParentFolder(m_explorerDir));
        else
            RefreshExplorer(m_explorerDir + caption.mid(1, caption.size() - 2) + QLatin1Char('/'));
        return;
    }
    openArchiveFromUser(m_explorerDir + caption);
}

// An archive chosen by the user (explorer, history, dialog): shown in the file box and loaded.
void Tfrm_Main::openArchiveFromUser(const QString& path)
{
    if (m_operation != Operation::None) return;
    m_archivePath = path;
    ui->fe_QuarnFile->setText(path);
    LoadArchive(path);
}

void Tfrm_Main::mi_NewDirClick()
{
    const InputResult answer =
        m_dialogs->input(this, QStringLiteral("New directory"), QStringLiteral("Enter the name"), m_explorerDir);
    if (!answer.accepted) return;
    // A relative name is taken inside the shown folder; a folder that cannot be made is not reported.
    const QString path = QDir(m_explorerDir).filePath(answer.text.trimmed());
    QDir().mkpath(path);
    RefreshExplorer(m_explorerDir);
}

void Tfrm_Main::addHistory(const QString& path)
{
    m_history.add(path, static_cast<int>(ArchiveImage(path)));
    rebuildHistoryMenu();
}

void Tfrm_Main::rebuildHistoryMenu()
{
    ui->mi_History->clear();
    for (const RecentPath& entry : m_history.items()) {
        QAction* action =
            ui->mi_History->addAction(ExplorerIcon(static_cast<ExplorerImage>(entry.image)), menuText(entry.path));
        action->setStatusTip(entry.path);
        const QString path = entry.path;
        connect(action, &QAction::triggered, this, [this, path] { openArchiveFromUser(path); });
    }
    ui->mi_History->menuAction()->setEnabled(m_operation == Operation::None);
}

void Tfrm_Main::rebuildFavouritesMenu()
{
    // The three fixed items stay; the favourites follow them.
    const QList<QAction*> actions = mi_FavoDirs->actions();
    for (int i = 3; i < actions.size(); ++i) {
        mi_FavoDirs->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    for (const RecentPath& entry : m_favourites.items()) {
        QAction* action = mi_FavoDirs->addAction(ExplorerIcon(ExplorerImage::Favourite), menuText(entry.path));
        action->setStatusTip(entry.path);
        const QString path = entry.path;
        connect(action, &QAction::triggered, this, [this, path] { RefreshExplorer(path); });
    }
}

}  // namespace kestrix
