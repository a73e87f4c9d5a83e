#include "unit_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include "dialogs.h"
#include "help_viewer.h"
#include "library_windows.h"
#include "program_registry.h"
#include "settings_store.h"
#include "suite_settings.h"
#include "ui_unit_main.h"
#include "unit_sfx.h"

namespace pictor {

using kestrix::Sound;

namespace {

constexpr char kHelpFileName[] = "Kestrix.hlp";
constexpr int kHelpBase = 7000;
constexpr int kPictorNumber = 1;  // "{PROG-0001}"

// A label shows the two lines without the carriage return that follows their line feed.
QString shownLines(QString text)
{
    return text.remove(u'\r');
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
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
    if (!m_services.chooseColour)
        m_services.chooseColour = [](QWidget* owner, const QColor& current) {
            return QColorDialog::getColor(current, owner, QStringLiteral("Background colour"));
        };
    m_programFolder =
        withSlash(m_services.programFolder.isEmpty() ? kestrix::settings::ProgramFolder() : m_services.programFolder);
    m_commandLine = ParseViewerCommandLine(m_services.parameters);

    ui->setupUi(this);
    FormCreate();
}

Tfrm_Main::~Tfrm_Main() = default;

// Window creation: the parts of the window that do not depend on the settings or the command line.
void Tfrm_Main::FormCreate()
{
    // Files dropped anywhere on the window are taken; the file box leaves drops to it.
    setAcceptDrops(true);
    ui->fe_Image->setAcceptDrops(false);
    ui->tb_Extra->hide();

    // Status bar: progress texts, hints, the picture's size and zoom.
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(ui->sb_Status);
        m_panels[i]->setObjectName(QStringLiteral("sb_Status_Panel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setAccessibleName(QStringLiteral("Status panel %1").arg(i));
        ui->sb_Status->addWidget(m_panels[i], i == 1 ? 1 : 0);
    }
    m_panels[0]->setFixedWidth(200);
    m_panels[1]->setMinimumWidth(50);
    m_panels[2]->setFixedWidth(120);
    m_panels[2]->setAlignment(Qt::AlignCenter);

    ui->sb_Image->setBackgroundRole(QPalette::Dark);
    ui->sb_Image->viewport()->setBackgroundRole(QPalette::Dark);
    ui->sb_Image->viewport()->installEventFilter(this);
    ui->img_Picture->installEventFilter(this);
    ui->img_Pallet->installEventFilter(this);
    ui->img_Pallet->setImage(m_palette.strip());
    ui->sp_About->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->fe_ImageButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->sb_ReloadImage->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->sb_SaveAsQim->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->sb_SaveToFile->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->sb_Open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->pnl_Color->setAccessibleName(QStringLiteral("Colour readout"));

    // The palette pop-up, in its order.
    pm_Palette = new QMenu(this);
    pm_Palette->setObjectName(QStringLiteral("pm_Palette"));
    pm_Palette->addAction(ui->mi_SelectPalette);
    pm_Palette->addSeparator();
    pm_Palette->addActions({ui->mi_quarn1, ui->mi_quarn2});
    pm_Palette->addSeparator();
    pm_Palette->addActions({ui->mi_LoadFromBmp, ui->mi_ApplyPaletteToPicture});
    pm_Palette->addSeparator();
    pm_Palette->addActions({ui->mi_ConvertPaletteRAW, ui->mi_ConvertPaletteRIFF, ui->mi_ConvertPaletteJASC});
    for (QWidget* w : std::initializer_list<QWidget*>{ui->img_Picture, ui->img_Pallet, ui->tb_Pallet}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& pos) { pm_PalettePopup(w->mapToGlobal(pos)); });
    }

    // The Image tool bar.
    connect(ui->fe_ImageButton, &QToolButton::clicked, this, &Tfrm_Main::fe_ImageButtonClick);
    connect(ui->sb_ReloadImage, &QToolButton::clicked, this, &Tfrm_Main::sb_ReloadImageClick);
    connect(ui->sb_SaveAsQim, &QToolButton::clicked, this, &Tfrm_Main::sb_SaveAsQimClick);
    connect(ui->sb_SaveToFile, &QToolButton::clicked, this, &Tfrm_Main::sb_SaveToFileClick);
    connect(ui->sb_Open, &QToolButton::clicked, this, &Tfrm_Main::sb_OpenClick);
    connect(ui->sp_About, &QToolButton::clicked, this, [this] {
        play(Sound::About);
        m_library->about(this);
        afterOwnWindow();
    });
    // The palette: its button, the menu items.
    connect(ui->sb_SelectPallet, &QToolButton::clicked, this, &Tfrm_Main::sb_SelectPalletClick);
    connect(ui->mi_SelectPalette, &QAction::triggered, this, &Tfrm_Main::sb_SelectPalletClick);
    connect(ui->mi_quarn1, &QAction::triggered, this, [this] { LoadPalette(QString::fromLatin1(kQuarn1Palette)); });
    connect(ui->mi_quarn2, &QAction::triggered, this, [this] { LoadPalette(QString::fromLatin1(kQuarn2Palette)); });
    connect(ui->mi_LoadFromBmp, &QAction::triggered, this, &Tfrm_Main::mi_LoadFromBmpClick);
    connect(ui->mi_ApplyPaletteToPicture, &QAction::triggered, this, &Tfrm_Main::mi_ApplyPaletteToPictureClick);
    connect(ui->mi_ConvertPaletteRAW, &QAction::triggered, this, [this] { savePalette(1); });
    connect(ui->mi_ConvertPaletteRIFF, &QAction::triggered, this, [this] { savePalette(2); });
    connect(ui->mi_ConvertPaletteJASC, &QAction::triggered, this, [this] { savePalette(3); });
    // The Developer tool bar.
    connect(ui->se_BreakIndex, &QSpinBox::valueChanged, this, &Tfrm_Main::se_BreakIndexChange);
    connect(ui->se_BreakIndexEnd, &QSpinBox::valueChanged, this, &Tfrm_Main::se_BreakIndexEndChange);
    connect(ui->cb_Background, &QToolButton::clicked, this, &Tfrm_Main::cb_BackgroundClick);
    se_BreakIndexChange();
    se_BreakIndexEndChange();
    QPixmap swatch(24, 12);
    swatch.fill(m_background);
    ui->cb_Background->setIcon(swatch);

    // F1 reaches the window before its controls, also from a floating tool bar.
    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("act_ContextHelp"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, &Tfrm_Main::contextHelp);
    addAction(help);
    // Zoom: "+", "-" and "0" (a text or number field being typed in keeps its characters).
    auto zoomKey = [this](const char* name, QList<QKeySequence> keys, std::function<int()> to) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, to] { setZoom(to()); });
        addAction(action);
    };
    zoomKey("act_ZoomIn", {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}, [this] { return ZoomIn(zoom()); });
    zoomKey("act_ZoomOut", {QKeySequence(Qt::Key_Minus)}, [this] { return ZoomOut(zoom()); });
    zoomKey("act_ZoomReset", {QKeySequence(Qt::Key_0)}, [] { return kNoZoom; });

    setCaption(QString::fromLatin1(kViewerTitle));
    updateSizePanel();
}

QString Tfrm_Main::helpFilePath() const
{
    return kestrix::FindHelpFile(QString::fromLatin1(kHelpFileName), m_programFolder);
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

// Start-up: the command line's switch, the settings (palettes, the dialogs' folder, the
// registration), the placeholder picture, the sounds.
void Tfrm_Main::FormShow()
{
    m_gameImageShown = true;
    if (m_commandLine.developer) ui->tb_Extra->show();
    kestrix::RegistryKey key = kestrix::RegistryKey::settings();
    if (key.exists()) {
        LoadPalette(QString::fromLatin1(kQuarn1Palette));
        if (auto v = key.readText(QString::fromLatin1(kestrix::settings::kDefaultPalette))) LoadPalette(*v);
        if (auto v = key.readText(QString::fromLatin1(kestrix::settings::kDefaultOutput))) m_defaultOutput = *v;
        kestrix::RegisterProgram(kPictorNumber, QString::fromLatin1(kViewerTitle));
    }
    showPlaceholder();
    m_services.loadSfx();
    play(Sound::WindowShown);
}

// The picture shown until a file is: 200 x 65, two lines of black text.
void Tfrm_Main::showPlaceholder()
{
    QImage placeholder(200, 65, QImage::Format_RGB32);
    placeholder.fill(Qt::white);
    QPainter painter(&placeholder);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.drawText(QRect(1, 1, 199, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("No image loaded"));
    painter.drawText(QRect(1, 25, 199, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Quarn Viewer v1.1"));
    painter.end();
    showPicture(placeholder);
}

// Activation (after start-up and when the window comes back from one of its own windows): a palette
// on the command line is loaded again, any other file waits in the file box for "Reload image".
void Tfrm_Main::FormActivate()
{
    if (m_closed || m_commandLine.file.isEmpty() || !QFileInfo(m_commandLine.file).isFile()) return;
    if (IsPaletteFileName(m_commandLine.file))
        LoadPalette(m_commandLine.file);
    else
        ui->fe_Image->setText(m_commandLine.file);
}

void Tfrm_Main::afterOwnWindow()
{
    if (m_started) FormActivate();
}

void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    // Sounds stay on for the whole run and are released only when the window closes.
    if (!m_closed) m_services.freeSfx();
    m_closed = true;
    QMainWindow::closeEvent(event);
}

bool Tfrm_Main::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        // Hints go to panel 1, after a blank.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        setStatus(1, tip.isEmpty() ? QString() : QLatin1Char(' ') + tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == ui->sb_Image->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            // The developer gesture: Shift + Ctrl + right button beside the picture.
            auto* mouse = static_cast<QMouseEvent*>(event);
            const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
            if (mouse->button() == Qt::RightButton && (mouse->modifiers() & both) == both) {
                ui->tb_Extra->show();
                return true;
            }
        } else if (type == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                const int delta = wheel->angleDelta().y();
                if (delta > 0) setZoom(ZoomIn(zoom()));
                if (delta < 0) setZoom(ZoomOut(zoom()));
                return true;
            }
        }
    } else if (watched == ui->img_Picture || watched == ui->img_Pallet) {
        if (type == QEvent::MouseMove) {
            pointerOver(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
        } else if (type == QEvent::MouseButtonDblClick && watched == ui->img_Pallet &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            sb_SelectPalletClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The Ctrl readouts: the colour under the pointer, its palette index and, over the picture, the
// picture pixel. Without Ctrl nothing changes and the pointer is the arrow.
void Tfrm_Main::pointerOver(QWidget* view, QMouseEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool overPicture = view == ui->img_Picture;
    if (overPicture) view->setCursor(ctrl ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!ctrl) return;
    auto* picture = static_cast<PictureView*>(view);
    QPoint pixel;
    if (!picture->pixelAt(event->position().toPoint(), &pixel)) return;
    readout(picture->image(), pixel);
    if (overPicture) ui->lbl_XY->setText(shownLines(PointerText(pixel.x(), pixel.y())));
}

void Tfrm_Main::readout(const QImage& image, const QPoint& pixel)
{
    QRgb colour = qRgb(0, 0, 0);
    if (image.format() != QImage::Format_Indexed8) {
        colour = image.pixel(pixel);
    } else {
        const int index = image.pixelIndex(pixel);
        if (index < image.colorCount()) colour = image.color(index);
    }
    ui->pnl_Color->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; }")
                                     .arg(QColor(colour).name(), QColor(InvertedColour(colour)).name()));
    ui->pnl_Color->setText(QString::number(m_palette.indexOf(colour)));
}

// F1: the help topic of the control under the pointer, not of the focused one.
void Tfrm_Main::contextHelp()
{
    const QPoint pointer = QCursor::pos();
    const qint64 number = kestrix::HelpNumberAt(this, pointer, kHelpBase);
    play(Sound::Help);
    if (number == 0) return;
    m_services.showHelpPopup(helpFilePath(), number, pointer);
}

const QImage& Tfrm_Main::picture() const
{
    return ui->img_Picture->image();
}

int Tfrm_Main::zoom() const
{
    return ui->img_Picture->zoom();
}

void Tfrm_Main::setZoom(int percent)
{
    ui->img_Picture->setZoom(percent);
    updateSizePanel();
}

void Tfrm_Main::updateSizePanel()
{
    setStatus(2, SizeZoomText(picture().size(), zoom()));
}

QString Tfrm_Main::statusText(int panel) const
{
    return panel >= 0 && panel < 3 && m_panels[panel] ? m_panels[panel]->text() : QString();
}

void Tfrm_Main::setStatus(int panel, const QString& text)
{
    if (panel < 0 || panel >= 3 || !m_panels[panel]) return;
    m_panels[panel]->setText(text);
    // Progress texts show before the work that follows them.
    if (panel == 0 && isVisible()) m_panels[panel]->repaint();
}

void Tfrm_Main::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void Tfrm_Main::play(Sound sound)
{
    m_services.playSound(sound);
}

void Tfrm_Main::errorBox(const QString& text)
{
    m_dialogs->message(this, kestrix::MessageIcon::Error, QString::fromLatin1(kViewerTitle), text);
}

}  // namespace pictor
