#include "unit_packer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "dialogs.h"
#include "dropped_files.h"
#include "library_windows.h"
#include "packer_list_model.h"
#include "program_registry.h"
#include "program_runner.h"
#include "system_beep.h"
#include "system_clock.h"
#include "ui_unit_packer.h"
#include "unit_packer_progress.h"

namespace bundra {

const char kPackerTitle[] = "Quarn Packer";
const char kEasterEggAddress[] = "https://example.org/";

namespace {

constexpr int kProgramNumber = 4;
constexpr char kHiddenSequence[] = "sail to the Harbour of Quiet Amber Sea !";
constexpr qint64 kHiddenSequenceLimitMs = 20000;
constexpr char kEasterEggCaption[] = "Please wait... Loading easter egg";
constexpr int kShowNormal = 1;

// An arrow for the move buttons, with a bar for Top and Bottom.
QIcon moveIcon(bool up, bool bar)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    const int tip = up ? (bar ? 5 : 3) : (bar ? 11 : 13);
    const int base = up ? 12 : 4;
    painter.drawPolygon(QPolygon({QPoint(8, tip), QPoint(2, base), QPoint(14, base)}));
    if (bar) painter.drawRect(2, up ? 2 : 12, 12, 2);
    return QIcon(pixmap);
}

}  // namespace

Tfrm_Packer::Tfrm_Packer(PackerWindowServices services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tfrm_Packer>()), m_services(std::move(services))
{
    if (!m_services.dialogs) {
        m_ownDialogs = std::make_unique<kestrix::QtDialogs>();
        m_services.dialogs = m_ownDialogs.get();
    }
    if (!m_services.library) {
        m_ownLibrary = std::make_unique<kestrix::VarnelWindows>();
        m_services.library = m_ownLibrary.get();
    }
    if (!m_services.runner) m_services.runner = &kestrix::DefaultProgramRunner();
    if (!m_services.clock) m_services.clock = &kestrix::SystemClock();
    if (!m_services.beep) {
        m_ownBeep = std::make_unique<kestrix::SystemBeep>();
        m_services.beep = m_ownBeep.get();
    }
    if (!m_services.registerProgram)
        m_services.registerProgram = [](int number, const QString& title) {
            return kestrix::RegisterProgram(number, title);
        };
    ui->setupUi(this);
    FormCreate();
}

Tfrm_Packer::~Tfrm_Packer()
{
    qApp->removeEventFilter(this);
}

void Tfrm_Packer::FormCreate()
{
    setWindowTitle(QString::fromLatin1(kPackerTitle));
    if (!QApplication::windowIcon().isNull()) setWindowIcon(QApplication::windowIcon());
    m_easterEgg = std::make_unique<kestrix::KeySequenceMatcher>(
        QString::fromLatin1(kHiddenSequence), kHiddenSequenceLimitMs, kestrix::AfterCompletion::RearmAfterTimeLimit,
        *m_services.clock, *m_services.beep);
    setAcceptDrops(true);

    m_model = new PackerListModel(this);
    ui->lv_FileList->setModel(m_model);
    QHeaderView* header = ui->lv_FileList->header();
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(PackerListModel::FilenameColumn, QHeaderView::Stretch);
    header->resizeSection(PackerListModel::PositionColumn, 48);
    header->resizeSection(PackerListModel::SizeColumn, 80);
    header->resizeSection(PackerListModel::OffsetColumn, 70);
    ui->lv_FileList->setMinimumHeight(120);

    // Status bar: state, row count, and a third panel that stays empty.
    const int widths[3] = {140, 70, 0};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(ui->sb_Status);
        m_panels[i]->setObjectName(QStringLiteral("sb_Status_Panel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setAccessibleName(QStringLiteral("Status panel %1").arg(i));
        if (i < 2) {
            m_panels[i]->setFixedWidth(widths[i]);
            m_panels[i]->setAlignment(Qt::AlignCenter);
        }
        ui->sb_Status->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }

    // Tool bar: pictures and the two drop-downs.
    ui->tb_AddFile->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->mi_InsertFile->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->mi_AddFolder->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    ui->tb_AddBlank->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->mi_InsertBlank->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->tb_Delete->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
    ui->tb_ClearList->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    ui->tb_CreateFile->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->tb_About->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->fe_OutputFileButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    pm_AddFile = new QMenu(this);
    pm_AddFile->setObjectName(QStringLiteral("pm_AddFile"));
    pm_AddFile->addActions({ui->mi_InsertFile, ui->mi_AddFolder});
    pm_AddBlank = new QMenu(this);
    pm_AddBlank->setObjectName(QStringLiteral("pm_AddBlank"));
    pm_AddBlank->addAction(ui->mi_InsertBlank);
    for (auto [action, menu] : {std::pair{ui->tb_AddFile, pm_AddFile}, std::pair{ui->tb_AddBlank, pm_AddBlank}}) {
        auto* button = qobject_cast<QToolButton*>(ui->tb_Command->widgetForAction(action));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    if (auto* about = qobject_cast<QToolButton*>(ui->tb_Command->widgetForAction(ui->tb_About)))
        about->setToolButtonStyle(Qt::ToolButtonIconOnly);

    ui->sb_Top->setIcon(moveIcon(true, true));
    ui->sb_Up->setIcon(moveIcon(true, false));
    ui->sb_Down->setIcon(moveIcon(false, false));
    ui->sb_Bottom->setIcon(moveIcon(false, true));

    connect(ui->tb_AddFile, &QAction::triggered, this, &Tfrm_Packer::tb_AddFileClick);
    connect(ui->mi_InsertFile, &QAction::triggered, this, &Tfrm_Packer::mi_InsertFileClick);
    connect(ui->mi_AddFolder, &QAction::triggered, this, &Tfrm_Packer::mi_AddFolderClick);
    connect(ui->tb_AddBlank, &QAction::triggered, this, &Tfrm_Packer::tb_AddBlankClick);
    connect(ui->mi_InsertBlank, &QAction::triggered, this, &Tfrm_Packer::mi_InsertBlankClick);
    connect(ui->tb_Delete, &QAction::triggered, this, &Tfrm_Packer::tb_DeleteClick);
    connect(ui->tb_ClearList, &QAction::triggered, this, &Tfrm_Packer::tb_ClearListClick);
    connect(ui->tb_CreateFile, &QAction::triggered, this, &Tfrm_Packer::buildFile);
    connect(ui->tb_About, &QAction::triggered, this, &Tfrm_Packer::tb_AboutClick);
    connect(ui->sb_Top, &QToolButton::clicked, this, &Tfrm_Packer::sb_TopClick);
    connect(ui->sb_Up, &QToolButton::clicked, this, &Tfrm_Packer::sb_UpClick);
    connect(ui->sb_Down, &QToolButton::clicked, this, &Tfrm_Packer::sb_DownClick);
    connect(ui->sb_Bottom, &QToolButton::clicked, this, &Tfrm_Packer::sb_BottomClick);
    connect(ui->fe_OutputFileButton, &QToolButton::clicked, this, &Tfrm_Packer::fe_OutputFileButtonClick);
    connect(ui->lv_FileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Tfrm_Packer::UpdateMoveButtons);

    // The window sees every typed character first.
    qApp->installEventFilter(this);
    showRowCount();
}

void Tfrm_Packer::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    QTimer::singleShot(0, this, &Tfrm_Packer::FormShow);
}

// Start-up: the program's registration, written only where the settings key exists.
void Tfrm_Packer::FormShow()
{
    m_services.registerProgram(kProgramNumber, QString::fromLatin1(kPackerTitle));
}

// While a build runs the window stays; it closes when the build ends (builds cannot be cancelled).
void Tfrm_Packer::closeEvent(QCloseEvent* event)
{
    if (m_building) {
        m_closePending = true;
        event->ignore();
        return;
    }
    if (m_model->rowCount() > 0) tb_ClearListClick();
    QMainWindow::closeEvent(event);
}

bool Tfrm_Packer::event(QEvent* event)
{
    // Hints are tool tips only; the status panels keep what they show.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

bool Tfrm_Packer::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters, seen once each (an event passed on to parent widgets comes by again).
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        if (event != m_lastKeyPress) {
            m_lastKeyPress = event;
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text.size() == 1 && text[0].isPrint() && static_cast<QWidget*>(watched)->window() == this)
                FormKeyPress(text[0]);
        }
    } else if (event->type() == QEvent::KeyRelease) {
        m_lastKeyPress = nullptr;
    }
    return QMainWindow::eventFilter(watched, event);
}

// The hidden key sequence: a beep per matched character; the whole of it opens a page.
void Tfrm_Packer::FormKeyPress(QChar key)
{
    if (m_easterEgg->feed(key) != kestrix::KeySequenceMatcher::Result::Completed) return;
    setWindowTitle(QString::fromLatin1(kEasterEggCaption));
    m_services.runner->run(QString::fromLatin1(kEasterEggAddress), QString(), QString(), kShowNormal);
}

void Tfrm_Packer::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !m_building) event->acceptProposedAction();
}

void Tfrm_Packer::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    dropFiles(kestrix::DroppedFiles(event->mimeData()));
}

void Tfrm_Packer::dropFiles(const QStringList& paths)
{
    if (m_building || paths.isEmpty()) return;
    raise();
    activateWindow();
    addFiles(paths);
}

const std::vector<PackerItem>& Tfrm_Packer::items() const
{
    return m_model->items();
}

int Tfrm_Packer::selectedRow() const
{
    const QModelIndexList rows = ui->lv_FileList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Tfrm_Packer::selectRow(int row)
{
    QItemSelectionModel* selection = ui->lv_FileList->selectionModel();
    if (row < 0 || row >= m_model->rowCount()) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui->lv_FileList->scrollTo(index);
}

QString Tfrm_Packer::statusPanel(int panel) const
{
    return panel >= 0 && panel < 3 ? m_panels[panel]->text() : QString();
}

void Tfrm_Packer::setStatus(int panel, const QString& text)
{
    m_panels[panel]->setText(text);
}

void Tfrm_Packer::showRowCount()
{
    setStatus(1, QString::number(m_model->rowCount()));
}

void Tfrm_Packer::suspendRepaint(bool on)
{
    ui->lv_FileList->setUpdatesEnabled(!on);
}

// Move buttons: none without a selection; Top and Up unless the first row is selected, Down and
// Bottom unless the last one is.
void Tfrm_Packer::UpdateMoveButtons()
{
    const int row = m_building ? -1 : selectedRow();
    const int last = m_model->rowCount() - 1;
    ui->sb_Top->setEnabled(row > 0);
    ui->sb_Up->setEnabled(row > 0);
    ui->sb_Down->setEnabled(row >= 0 && row < last);
    ui->sb_Bottom->setEnabled(row >= 0 && row < last);
}

// While a build runs nothing may change the list it reads.
void Tfrm_Packer::updateCommandStates()
{
    for (QAction* action : {ui->tb_AddFile, ui->mi_InsertFile, ui->mi_AddFolder, ui->tb_AddBlank, ui->mi_InsertBlank,
                            ui->tb_Delete, ui->tb_ClearList, ui->tb_CreateFile})
        action->setEnabled(!m_building);
    ui->fe_OutputFileButton->setEnabled(!m_building);
    ui->cb_Compress->setEnabled(!m_building);
    UpdateMoveButtons();
}

}  // namespace bundra
