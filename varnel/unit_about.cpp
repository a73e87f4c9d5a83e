#include "unit_about.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "help_viewer.h"
#include "program_registry.h"
#include "settings_store.h"
#include "shell.h"
#include "suite_settings.h"
#include "ui_unit_about.h"
#include "version_info.h"

#if defined(__unix__)
#include <dlfcn.h>
#endif

// The pictures live in a static library: their registration must be asked for by name.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace varnel {

namespace {

const QColor kTextColor(0xD4, 0xD4, 0xD4);
const QColor kLinkColor(0xC6, 0xC4, 0xB5);
const QColor kVisitedColor(0x80, 0x80, 0x80);

QString reversed(const QString& text)
{
    QString out = text;
    std::reverse(out.begin(), out.end());
    return out;
}

// The file this library was loaded from, for its own version.
QString ownLibraryPath()
{
#if defined(__unix__)
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AboutPosition), &info) != 0 && info.dli_fname)
        return QString::fromLocal8Bit(info.dli_fname);
#endif
    return {};
}

AboutServices withDefaults(AboutServices s)
{
    if (!s.openLink) s.openLink = [](const QString& target) { kestrix::RunProgram(target, {}, {}, 5); };
    if (!s.findHelpFile) s.findHelpFile = [](const QString& name) { return kestrix::FindHelpFile(name); };
    if (!s.showHelpKeyword) s.showHelpKeyword = &kestrix::ShowHelpKeyword;
    if (!s.today) s.today = [] { return QDate::currentDate(); };
    if (!s.systemSources) s.systemSources = &SystemSources::live;
    if (!s.programs)
        s.programs = [] {
            std::vector<ProgramVersion> out;
            for (const kestrix::RegisteredProgram& p : kestrix::RegisteredPrograms())
                out.push_back({p.title, p.path, kestrix::FileVersion(p.path)});
            return out;
        };
    if (!s.varnelVersion) s.varnelVersion = [] { return kestrix::FileVersion(ownLibraryPath()); };
    return s;
}

}  // namespace

QStringList CreditLines()
{
    QStringList lines = {
        QString(),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Kestrix"),
        QStringLiteral("_______"),
        QString(),
        QStringLiteral("A tool to look inside"),
        QStringLiteral("the archives of"),
        QStringLiteral("Quarn 1 and Quarn 2."),
        QStringLiteral("Free to use, at your"),
        QStringLiteral("own risk."),
        QString(),
        QStringLiteral("thanx:"),
        QStringLiteral("the makers of Quarn"),
        QStringLiteral("for two great games"),
        QStringLiteral("Bram Oelke"),
        QStringLiteral("for testing"),
        QString(),
        QStringLiteral("greetz to:"),
        QStringLiteral("Mirel Vantongeren"),
        QStringLiteral("Dax Hollow"),
        QStringLiteral("Ondine Farrow"),
        QStringLiteral("the Zibbet crew"),
        QStringLiteral("Pim & Roos"),
        QStringLiteral("(if you think you"),
        QStringLiteral("should be on this"),
        QStringLiteral("list, than email me)"),  // "than" as the credits have it, on purpose
        QString(),
        QStringLiteral("--code--"),
        QStringLiteral("Tolvey"),
        QString(),
        QStringLiteral("--graphix--"),
        QStringLiteral("Tolvey"),
        QStringLiteral("and a lot of coffee"),
        QString(),
        QStringLiteral("--moral support--"),
        QStringLiteral("Brindle the cat"),
        QString(),
        QStringLiteral("--internet--"),
        QStringLiteral("the island library"),
        QString(),
        QStringLiteral("--finance--"),
        QStringLiteral("my piggy bank"),
        QString(),
        QStringLiteral("--location--"),
        QStringLiteral("a small attic room"),
        QString(),
        QStringLiteral("--software--"),
        QStringLiteral("a compiler, a text editor"),
        QStringLiteral("and a hex viewer"),
        QString(),
        QStringLiteral("--sound--"),
        QStringLiteral("the neighbours' radio"),
        QString(),
        QStringLiteral("--not worth mentioning--"),
    };
    for (int i = 0; i < 8; ++i) lines << QStringLiteral("...");
    lines << QString() << QStringLiteral("visit the fan site:") << QStringLiteral("quarn-fans.example.org") << QString()
          << QStringLiteral("you may close this") << QStringLiteral("screen any time") << QStringLiteral("by pressing")
          << QStringLiteral("Alt+F4") << QString() << QStringLiteral("(c) Tolvey Productions") << QString()
          << QStringLiteral("·T·H·E· ·E·N·D·") << QString() << QStringLiteral("A prisoner has escaped! ")
          << QStringLiteral("Sound the alarm!") << QString() << QStringLiteral("Tomorrow on this channel:")
          << QString();
    // The last five lines are kept back to front: a little puzzle for whoever waits that long.
    for (const char* line : {"the archives never sleep", "the lighthouse keeps watch", "see you on the island",
                             "thanks for reading this far", "Tolvey signing off"})
        lines << reversed(QString::fromUtf8(line));
    return lines;
}

QStringList BirthdayLines(int age)
{
    return {QString(),
            QStringLiteral("Happy birthday to me..."),
            QString(),
            QString(),
            QStringLiteral("It's my birthday today"),
            QStringLiteral("I'm now ") + QString::number(age) + QStringLiteral(" years old"),
            QString(),
            QString(),
            QString(),
            QStringLiteral("press X to stop"),
            QString()};
}

QPoint AboutPosition(const QRect& caller, const QSize& own)
{
    const int left = caller.left() + caller.width() / 2 - own.width() / 2;
    const int top = caller.top() + caller.height() / 2 - own.height() / 2;
    return {qMax(0, left), qMax(0, top)};
}

void ShowAboutBox(QWidget* mainWindow)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    Tfrm_About about(mainWindow);
    QRect caller;
    if (mainWindow)
        caller = mainWindow->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        caller = screen->geometry();
    about.move(AboutPosition(caller, about.size()));
    about.readVersionSetting();
    about.exec();
}

// ---- decorations ----

OutlineLabel::OutlineLabel(QWidget* parent) : QWidget(parent) {}

void OutlineLabel::setText(const QString& text)
{
    m_text = text;
    update();
}

void OutlineLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addText(0, 0, font(), m_text);
    const QRectF box = path.boundingRect();
    path.translate(4 - box.left(), (height() - box.height()) / 2 - box.top());
    QLinearGradient outline(path.boundingRect().topLeft(), path.boundingRect().bottomRight());
    outline.setColorAt(0, QColor(0x80, 0, 0));  // maroon
    outline.setColorAt(1, QColor(0, 0x80, 0));  // green
    // A pale inside keeps the word readable on the night sky; the outline carries the colours.
    QLinearGradient inside(path.boundingRect().topLeft(), path.boundingRect().bottomLeft());
    inside.setColorAt(0, QColor(0xF0, 0xE8, 0xD8, 230));
    inside.setColorAt(1, QColor(0xB0, 0xA8, 0x98, 230));
    p.fillPath(path, inside);
    p.strokePath(path, QPen(QBrush(outline), 2.5));
}

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    applyColor();
}

void LinkLabel::applyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_visited ? kVisitedColor : kLinkColor);
    setPalette(pal);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    m_visited = true;
    applyColor();
    emit clicked();
}

CreditsScroller::CreditsScroller(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    m_timer.setInterval(40);
    connect(&m_timer, &QTimer::timeout, this, &CreditsScroller::step);
}

void CreditsScroller::setLines(const QStringList& lines)
{
    m_lines = lines;
    update();
}

void CreditsScroller::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

int CreditsScroller::lineHeight() const
{
    return fontMetrics().height();
}

void CreditsScroller::start()
{
    m_offset = 0;
    m_timer.start();
    update();
}

void CreditsScroller::stop()
{
    if (!m_timer.isActive()) return;
    m_timer.stop();
    emit stopPlay();
}

void CreditsScroller::step()
{
    ++m_offset;
    // The lines start below the bottom edge and are gone when the last one passed the top.
    const int travel = height() + lineHeight() * static_cast<int>(m_lines.size());
    if (m_offset >= travel) {
        if (m_repeat) {
            m_offset = 0;
        } else {
            update();
            stop();
            return;
        }
    }
    update();
}

void CreditsScroller::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(palette().color(QPalette::WindowText));
    const int h = lineHeight();
    int y = height() - m_offset;
    for (const QString& line : m_lines) {
        if (y > -h && y < height()) p.drawText(QRect(0, y, width(), h), Qt::AlignHCenter | Qt::AlignVCenter, line);
        y += h;
    }
    // The picture stays on top: the lines pass under it and its strip.
    if (!m_picture.isNull()) {
        p.fillRect(0, 0, width(), m_picture.height() + 4, Qt::black);
        p.drawPixmap((width() - m_picture.width()) / 2, 2, m_picture);
    }
}

void CreditsScroller::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    emit clicked();
}

MouseRegion::MouseRegion(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void MouseRegion::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit mouseEnter();
}

void MouseRegion::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit mouseLeave();
}

void MouseRegion::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    emit mouseUp(event->button(), event->modifiers());
}

// ---- the window ----

Tfrm_About::Tfrm_About(QWidget* owner, AboutServices services)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      ui(new Ui::Tfrm_About),
      m_services(withDefaults(std::move(services)))
{
    initAboutResources();
    ui->setupUi(this);
    setFixedSize(492, 304);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kTextColor);
    pal.setColor(QPalette::ButtonText, kTextColor);
    pal.setColor(QPalette::Text, kTextColor);
    pal.setColor(QPalette::Base, Qt::black);
    setPalette(pal);

    QFont title(QStringLiteral("Times New Roman"));
    title.setStyleHint(QFont::Serif);
    title.setBold(true);
    title.setPixelSize(35);
    ui->grdl_Title->setFont(title);
    ui->grdl_Title->setText(QStringLiteral("Kestrix"));

    ui->lnk_Email->setText(QStringLiteral("tolvey@example.org"));
    ui->lnk_Email->setTarget(QStringLiteral("mailto:tolvey@example.org"));
    ui->lnk_Home->setText(QStringLiteral("www.example.org/kestrix"));
    ui->lnk_Home->setTarget(QStringLiteral("https://www.example.org/kestrix"));
    ui->lnk_FanSite->setText(QStringLiteral("quarn-fans.example.org"));
    ui->lnk_FanSite->setTarget(QStringLiteral("https://quarn-fans.example.org"));
    for (LinkLabel* link : {ui->lnk_Email, ui->lnk_Home, ui->lnk_FanSite})
        connect(link, &LinkLabel::clicked, this, [this, link] { openLink(link); });

    QFont small = font();
    small.setPixelSize(10);
    ui->lbl_Tolvey->setFont(small);
    ui->lbl_Tolvey->setText(QStringLiteral("a Tolvey Productions release"));
    ui->lbl_Tolvey->installEventFilter(this);

    ui->gif_Logo->setPixmap(QPixmap(QStringLiteral(":/varnel/logo.gif")));
    ui->gif_Medallion->setPixmap(QPixmap(QStringLiteral(":/varnel/medallion.gif")));
    ui->mr_Medallion->setToolTip(QStringLiteral("Whoever holds the medallion hears the island whisper"));

    QFont credits(QStringLiteral("Arial"));
    credits.setStyleHint(QFont::SansSerif);
    credits.setPixelSize(12);
    ui->sp_Credits->setFont(credits);
    ui->sp_Credits->setStepInterval(40);
    ui->sp_Credits->setPicture(
        QPixmap(QStringLiteral(":/varnel/logo.gif")).scaledToHeight(24, Qt::SmoothTransformation));
    ui->sp_Credits->setLines(CreditLines());

    ui->lb_Info->setUniformItemSizes(true);
    // Lines wider than the 500-pixel extent are cut off, not shortened with an ellipsis.
    ui->lb_Info->setTextElideMode(Qt::ElideNone);
    ui->lb_Info->setStyleSheet(
        QStringLiteral("QListWidget { background: black; color: #D4D4D4; }"
                       "QListWidget::item { height: 13px; }"));
    QFont listFont = font();
    listFont.setPixelSize(11);
    ui->lb_Info->setFont(listFont);

    connect(ui->sb_Exit, &QToolButton::clicked, this, &Tfrm_About::sb_ExitClick);
    connect(ui->sb_Credits, &QToolButton::clicked, this, &Tfrm_About::sb_CreditsClick);
    connect(ui->sp_Credits, &CreditsScroller::clicked, this, &Tfrm_About::sp_CreditsClick);
    connect(ui->sp_Credits, &CreditsScroller::stopPlay, this, &Tfrm_About::sp_CreditsStopPlay);
    connect(ui->sb_Info, &QToolButton::clicked, this, &Tfrm_About::sb_InfoClick);
    connect(ui->sb_CloseInfo, &QToolButton::clicked, this, &Tfrm_About::sb_CloseInfoClick);
    connect(ui->mr_Medallion, &MouseRegion::mouseEnter, this, &Tfrm_About::mr_MedallionMouseEnter);
    connect(ui->mr_Medallion, &MouseRegion::mouseLeave, this, &Tfrm_About::mr_MedallionMouseLeave);
    connect(ui->mr_Medallion, &MouseRegion::mouseUp, this, &Tfrm_About::mr_MedallionMouseUp);

    // The window sees keys before its controls.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

    FormCreate();
}

Tfrm_About::~Tfrm_About()
{
    delete ui;
}

void Tfrm_About::FormCreate()
{
    ui->gif_BackGround->setPixmap(QPixmap(QStringLiteral(":/varnel/BACKGROUND")));
    ui->sp_Credits->setVisible(false);
    ui->pp_Info->setVisible(false);
    ui->gif_Cake->setVisible(false);

    const QDate today = m_services.today();
    if (today.month() == kBirthDate.month() && today.day() == kBirthDate.day()) {
        ui->sp_Credits->setLines(BirthdayLines(today.year() - kBirthDate.year()));
        ui->sp_Credits->setRepeat(true);
        ui->sp_Credits->setVisible(true);
        ui->sp_Credits->start();
        ui->gif_Cake->setPixmap(QPixmap(QStringLiteral(":/varnel/DEBUGDATA")));
        ui->gif_Cake->setVisible(true);
    }
}

void Tfrm_About::readVersionSetting()
{
    if (const std::optional<QString> version =
            kestrix::RegistryKey::settings().readText(QString::fromLatin1(kestrix::settings::kVersion)))
        ui->lbl_Version->setText(QStringLiteral("version: ") + *version);
}

bool Tfrm_About::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty()) FormKeyPress(key->text().front());
    }
    if (watched == ui->lbl_Tolvey && event->type() == QEvent::MouseButtonDblClick) lbl_TolveyDblClick();
    return QDialog::eventFilter(watched, event);
}

void Tfrm_About::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty()) FormKeyPress(event->text().front());
    QDialog::keyPressEvent(event);
}

void Tfrm_About::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Tfrm_About::sb_ExitClick()
{
    close();
}

void Tfrm_About::sb_CreditsClick()
{
    // Showing keeps the designed stacking: the information panel stays above the credits.
    ui->sp_Credits->setVisible(true);
    ui->sp_Credits->start();
}

void Tfrm_About::sp_CreditsClick()
{
    ui->sp_Credits->stop();
}

void Tfrm_About::sp_CreditsStopPlay()
{
    ui->sp_Credits->setVisible(false);
}

void Tfrm_About::sb_InfoClick()
{
    ui->lb_Info->clear();
    ui->lb_Info->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    DisplayFacts display;
    if (screen) {
        const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
        display = {pixels.width(), pixels.height(), screen->depth()};
    }
    const QStringList lines = SystemInformationLines(m_services.systemSources(), display, m_services.programs(),
                                                     m_services.varnelVersion(), QString::fromLatin1(qVersion()));
    ui->lb_Info->addItems(lines);
    for (int i = 0; i < ui->lb_Info->count(); ++i) ui->lb_Info->item(i)->setSizeHint(QSize(500, 13));
    ui->pp_Info->setVisible(true);
}

void Tfrm_About::sb_CloseInfoClick()
{
    ui->pp_Info->setVisible(false);
}

void Tfrm_About::mr_MedallionMouseEnter()
{
    ui->gif_Medallion->setVisible(true);
}

void Tfrm_About::mr_MedallionMouseLeave()
{
    ui->gif_Medallion->setVisible(false);
}

void Tfrm_About::mr_MedallionMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const QString name = QStringLiteral("kestrix.hlp");
    const QString found = m_services.findHelpFile(name);
    m_helpFile = found.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(name) : found;
    if (button == Qt::RightButton && modifiers.testFlag(Qt::ShiftModifier))
        m_services.showHelpKeyword(m_helpFile, QStringLiteral("EasterEgg"), this);
}

void Tfrm_About::lbl_TolveyDblClick()
{
    ui->lbl_Tolvey->setText(QStringLiteral("the Tolvey is ") + QString::number(kBirthDate.daysTo(m_services.today())) +
                            QStringLiteral(" days old"));
}

void Tfrm_About::FormKeyPress(QChar key)
{
    if ((key == u'x' || key == u'X') && ui->sp_Credits->isPlaying()) ui->sp_Credits->stop();
}

void Tfrm_About::FormClose()
{
    ui->sp_Credits->stop();
}

void Tfrm_About::openLink(LinkLabel* link)
{
    m_services.openLink(link->target());
}

}  // namespace varnel
