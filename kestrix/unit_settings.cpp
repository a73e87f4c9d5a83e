#include "unit_settings.h"

#include "window_placement.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include <functional>

#include "dialogs.h"
#include "explorer_listing.h"
#include "file_types.h"
#include "help_viewer.h"
#include "kestrix_icons.h"
#include "settings_store.h"
#include "suite_settings.h"
#include "ui_unit_settings.h"

namespace kestrix {

namespace {

constexpr char kHelpFileName[] = "Kestrix.hlp";
constexpr qint64 kHelpBase = 6000;

QString name(const char* valueName)
{
    return QString::fromLatin1(valueName);
}

// A 16 x 16 picture drawn by `paint` on a transparent ground.
QIcon paintedIcon(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return QIcon(pixmap);
}

QIcon pictureIcon()
{
    return paintedIcon([](QPainter& p) {
        p.fillRect(QRectF(1, 2, 14, 12), QColor(120, 180, 240));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 60));
        p.drawEllipse(QRectF(-2, 8, 12, 10));
        p.drawEllipse(QRectF(6, 9, 12, 10));
        p.setBrush(QColor(250, 220, 60));
        p.drawEllipse(QRectF(10, 3, 4, 4));
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
    });
}

QIcon paletteIcon()
{
    return paintedIcon([](QPainter& p) {
        const QColor colours[] = {Qt::red,       Qt::green,   Qt::blue,     Qt::yellow,          Qt::magenta,
                                  Qt::cyan,      Qt::darkRed, Qt::darkBlue, QColor(255, 128, 0), Qt::darkGreen,
                                  Qt::gray,      Qt::black,   Qt::white,    QColor(128, 64, 0),  QColor(128, 0, 255),
                                  Qt::darkYellow};
        for (int i = 0; i < 16; ++i) p.fillRect(QRect(1 + (i % 4) * 3 + (i % 4), 1 + (i / 4) * 4, 3, 3), colours[i]);
    });
}

// A figure on a chequered ground (raw sprites) or on its own (sprites).
QIcon spriteIcon(bool raw)
{
    return paintedIcon([raw](QPainter& p) {
        if (raw)
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    if ((x + y) % 2 == 0) p.fillRect(QRect(x * 4, y * 4, 4, 4), QColor(210, 210, 210));
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(230, 120, 40));
        p.drawEllipse(QRectF(5.5, 1.5, 5, 5));
        p.setBrush(QColor(60, 90, 200));
        p.drawRect(QRectF(4.5, 6.5, 7, 5));
        p.drawLine(QPointF(6, 12), QPointF(5, 15));
        p.drawLine(QPointF(10, 12), QPointF(11, 15));
    });
}

QIcon cubeIcon()
{
    return paintedIcon([](QPainter& p) {
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(150, 190, 230));
        p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(7, 2), QPointF(14, 4), QPointF(9, 7)}));
        p.setBrush(QColor(90, 130, 190));
        p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(9, 7), QPointF(9, 15), QPointF(2, 12)}));
        p.setBrush(QColor(60, 90, 150));
        p.drawPolygon(QPolygonF({QPointF(9, 7), QPointF(14, 4), QPointF(14, 12), QPointF(9, 15)}));
    });
}

// The small picture before a file-type row.
QIcon rowIcon(const FileTypeRow& row, const QStyle* style)
{
    const QString ext = QString::fromLatin1(row.extension);
    if (ext == QLatin1String("hqr")) return ExplorerIcon(ExplorerImage::Archive);
    if (ext == QLatin1String("vox")) return ExplorerIcon(ExplorerImage::Speech);
    if (ext == QLatin1String("ile")) return ExplorerIcon(ExplorerImage::Island);
    if (ext == QLatin1String("obl")) return ExplorerIcon(ExplorerImage::IslandObject);
    if (ext == QLatin1String("qim")) return pictureIcon();
    if (ext == QLatin1String("pal")) return paletteIcon();
    if (ext == QLatin1String("qsr")) return spriteIcon(true);
    if (ext == QLatin1String("qsp")) return spriteIcon(false);
    if (ext == QLatin1String("qbt")) return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (ext == QLatin1String("qbc")) return style->standardIcon(QStyle::SP_FileDialogListView);
    if (ext == QLatin1String("q3d")) return cubeIcon();
    return style->standardIcon(QStyle::SP_FileIcon);
}

bool samePalette(const QString& value, const char* resource)
{
    return value.compare(QString::fromLatin1(resource), Qt::CaseInsensitive) == 0;
}

}  // namespace

Tfrm_Setup::Tfrm_Setup(const DialogServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_Setup>()), m_services(services)
{
    Q_ASSERT(m_services.dialogs);
    m_services.programFolder = WithTrailingSeparator(m_services.programFolder.isEmpty() ? settings::ProgramFolder()
                                                                                        : m_services.programFolder);
    if (m_services.extractorPath.isEmpty()) m_services.extractorPath = QCoreApplication::applicationFilePath();

    ui->setupUi(this);
    FormCreate();

    connect(ui->rb_Quarn1game, &QRadioButton::toggled, this, &Tfrm_Setup::updatePaletteField);
    connect(ui->rb_Quarn2game, &QRadioButton::toggled, this, &Tfrm_Setup::updatePaletteField);
    connect(ui->rb_Custom, &QRadioButton::toggled, this, &Tfrm_Setup::updatePaletteField);
    connect(ui->ce_DefaultOutPutButton, &QToolButton::clicked, this, [this] { browseFolder(true); });
    connect(ui->ce_StartUpDirButton, &QToolButton::clicked, this, [this] { browseFolder(false); });
    connect(ui->fe_DefPaletteButton, &QToolButton::clicked, this, &Tfrm_Setup::fe_DefPaletteButtonClick);
    connect(ui->sb_OK, &QPushButton::clicked, this, &Tfrm_Setup::sb_OKClick);
    connect(ui->sb_Cancel, &QPushButton::clicked, this, &Tfrm_Setup::sb_CancelClick);
    connect(ui->sb_SetFileExt, &QPushButton::clicked, this, &Tfrm_Setup::sb_SetFileExtClick);
    connect(ui->sb_RemoveFileExt, &QPushButton::clicked, this, &Tfrm_Setup::sb_RemoveFileExtClick);
    // F1 wherever the focus is inside the window, before any control sees the key.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, this, &Tfrm_Setup::FormHelp);
    help->setContext(Qt::WindowShortcut);
}

Tfrm_Setup::~Tfrm_Setup() = default;

// Window creation: the fixed frame, the twelve rows and the values that take effect at once.
void Tfrm_Setup::FormCreate()
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ui->ce_DefaultOutPutButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->ce_StartUpDirButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->fe_DefPaletteButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));

    ui->clb_FileExt->setIconSize(QSize(16, 16));
    for (const FileTypeRow& row : FileTypeRows()) {
        auto* item = new QListWidgetItem(rowIcon(row, style()), QString::fromLatin1(row.caption), ui->clb_FileExt);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Tall enough for all twelve rows without a scroll bar.
    const int rowHeight = qMax(ui->clb_FileExt->sizeHintForRow(0), 16);
    ui->clb_FileExt->setMinimumHeight(rowHeight * kFileTypeRowCount + 2 * ui->clb_FileExt->frameWidth() + 4);

    const RegistryKey key = RegistryKey::settings();
    m_traceFileExplorer = key.readYesNo(name(settings::kTraceFileExplorer)).value_or(false);
    m_showInfo = key.readYesNo(name(settings::kShowInfo)).value_or(true);
    m_deleteFileAfterRun = key.readYesNo(name(settings::kDeleteFileAfterRun)).value_or(false);
}

void Tfrm_Setup::showEvent(QShowEvent* event)
{
    // Every showing, not only the first: the window object is kept between showings.
    FormShow();
    QDialog::showEvent(event);
}

// Showing: centred over the main window, the rows as the store has them, every value afresh.
void Tfrm_Setup::FormShow()
{
    adjustSize();
    CentreOver(this, parentWidget());

    LoadAssociationStates();
    ReadValues();
}

// Every control from its stored value or its default, so that nothing of a cancelled edit stays.
void Tfrm_Setup::ReadValues()
{
    const RegistryKey key = RegistryKey::settings();
    const auto text = [&key](const char* value) { return key.readText(name(value)).value_or(QString()); };
    const auto yesNo = [&key](const char* value, bool absent) { return key.readYesNo(name(value)).value_or(absent); };

    ui->ce_DefaultOutPut->setText(text(settings::kDefaultOutput));
    ui->ce_StartUpDir->setText(text(settings::kDefaultStartUp));
    ui->cb_FileExplorer->setChecked(yesNo(settings::kHideFileExplorer, false));
    ui->cb_TraceExplorer->setChecked(yesNo(settings::kTraceFileExplorer, false));
    ui->cb_PromptForFile->setChecked(yesNo(settings::kPromptForFile, false));
    ui->cb_Information->setChecked(yesNo(settings::kShowInfo, true));
    ui->cb_DelFile->setChecked(yesNo(settings::kDeleteFileAfterRun, false));
    ui->cb_SFX->setChecked(yesNo(settings::kSfx, false));

    // A built-in palette shows as its choice with an empty field; any other text is a file.
    const QString palette = text(settings::kDefaultPalette);
    if (palette.isEmpty() || samePalette(palette, settings::kQuarn1Palette)) {
        ui->fe_DefPalette->clear();
        ui->rb_Quarn1game->setChecked(true);
    } else if (samePalette(palette, settings::kQuarn2Palette)) {
        ui->fe_DefPalette->clear();
        ui->rb_Quarn2game->setChecked(true);
    } else {
        ui->fe_DefPalette->setText(palette);
        ui->rb_Custom->setChecked(true);
    }
    updatePaletteField();
}

void Tfrm_Setup::LoadAssociationStates()
{
    const FileTypeStates states = kestrix::LoadAssociationStates(m_services.extractorPath);
    for (int i = 0; i < kFileTypeRowCount; ++i)
        ui->clb_FileExt->item(i)->setCheckState(states[i] ? Qt::Checked : Qt::Unchecked);
}

void Tfrm_Setup::ApplyAssociations()
{
    FileTypeStates states{};
    for (int i = 0; i < kFileTypeRowCount; ++i) states[i] = ui->clb_FileExt->item(i)->checkState() == Qt::Checked;
    // Rebuilding the desktop's type database can take a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    kestrix::ApplyAssociations(states, m_services.extractorPath);
    QApplication::restoreOverrideCursor();
}

void Tfrm_Setup::updatePaletteField()
{
    const bool custom = ui->rb_Custom->isChecked();
    ui->fe_DefPalette->setEnabled(custom);
    ui->fe_DefPaletteButton->setEnabled(custom);
}

void Tfrm_Setup::browseFolder(bool output)
{
    play(Sound::ButtonClick);
    QLineEdit* field = output ? ui->ce_DefaultOutPut : ui->ce_StartUpDir;
    const QString chosen = m_services.dialogs->folder(this, QStringLiteral("Select directory"), field->text());
    if (!chosen.isEmpty()) field->setText(WithTrailingSeparator(chosen));
}

void Tfrm_Setup::fe_DefPaletteButtonClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Select palette file");
    request.filter = QStringLiteral("Palette files|*.pal|All files (*.*)|*.*");
    request.defaultExtension = QStringLiteral(".pal");
    const QString current = ui->fe_DefPalette->text();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        request.initialFolder = WithTrailingSeparator(info.absolutePath());
        request.fileName = info.fileName();
    }
    const FileDialogResult result = m_services.dialogs->openFile(this, request);
    if (result.accepted && !result.files.isEmpty()) ui->fe_DefPalette->setText(result.files.first());
}

// Stores every value (folders only when given) and closes; the rows are left to their buttons.
void Tfrm_Setup::sb_OKClick()
{
    play(Sound::ButtonClick);
    RegistryKey key = RegistryKey::settings();

    // Folders are kept with their trailing separator, as every reader of them expects.
    const QString output = ui->ce_DefaultOutPut->text().trimmed();
    const QString startUp = ui->ce_StartUpDir->text().trimmed();
    if (!output.isEmpty()) key.writeText(name(settings::kDefaultOutput), WithTrailingSeparator(output));
    if (!startUp.isEmpty()) key.writeText(name(settings::kDefaultStartUp), WithTrailingSeparator(startUp));
    if (!ui->fe_DefPalette->text().isEmpty()) key.writeText(name(settings::kDefaultPalette), ui->fe_DefPalette->text());

    key.writeYesNo(name(settings::kHideFileExplorer), ui->cb_FileExplorer->isChecked());
    key.writeYesNo(name(settings::kTraceFileExplorer), ui->cb_TraceExplorer->isChecked());
    key.writeYesNo(name(settings::kPromptForFile), ui->cb_PromptForFile->isChecked());
    key.writeYesNo(name(settings::kShowInfo), ui->cb_Information->isChecked());
    key.writeYesNo(name(settings::kSfx), ui->cb_SFX->isChecked());
    if (ui->rb_Quarn1game->isChecked()) key.writeText(name(settings::kDefaultPalette), name(settings::kQuarn1Palette));
    if (ui->rb_Quarn2game->isChecked()) key.writeText(name(settings::kDefaultPalette), name(settings::kQuarn2Palette));
    key.writeYesNo(name(settings::kDeleteFileAfterRun), ui->cb_DelFile->isChecked());
    key.flush();

    m_traceFileExplorer = ui->cb_TraceExplorer->isChecked();
    m_showInfo = ui->cb_Information->isChecked();
    m_deleteFileAfterRun = ui->cb_DelFile->isChecked();
    accept();
}

void Tfrm_Setup::sb_CancelClick()
{
    play(Sound::ButtonClick);
    reject();
}

void Tfrm_Setup::sb_SetFileExtClick()
{
    play(Sound::ButtonClick);
    ApplyAssociations();
}

void Tfrm_Setup::sb_RemoveFileExtClick()
{
    play(Sound::ButtonClick);
    for (int i = 0; i < kFileTypeRowCount; ++i) ui->clb_FileExt->item(i)->setCheckState(Qt::Unchecked);
    ApplyAssociations();
}

// F1: the pop-up topic of the control under the pointer (disabled ones too), at the pointer.
void Tfrm_Setup::FormHelp()
{
    play(Sound::Help);
    const QPoint at = QCursor::pos();
    const qint64 number = HelpNumberAt(this, at, kHelpBase);
    if (number > 0) ShowHelpPopup(helpFilePath(), number, at);
}

void Tfrm_Setup::keyPressEvent(QKeyEvent* event)
{
    // A window that is not active (a test, a pop-up just closed) still answers F1.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        FormHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfrm_Setup::play(Sound sound)
{
    if (m_services.playSound) m_services.playSound(sound);
}

QString Tfrm_Setup::helpFilePath() const
{
    const QString found = FindHelpFile(QString::fromLatin1(kHelpFileName), m_services.programFolder);
    return found.isEmpty() ? m_services.programFolder + QString::fromLatin1(kHelpFileName) : found;
}

}  // namespace kestrix
