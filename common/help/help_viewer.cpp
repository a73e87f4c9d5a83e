#include "help_viewer.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtMath>

namespace kestrix {

namespace {

constexpr int kPopupTextColumns = 58;  // wrap width of the pop-up, in average characters
const char kPopupObjectName[] = "kestrix_help_popup";
const char kWindowObjectName[] = "kestrix_help_window";

// Paragraphs as HTML; neighbouring "- " items make one bulleted list.
QString paragraphsHtml(const HelpTopic& topic, const QString& paragraphStyle)
{
    QString html;
    bool inList = false;
    for (const QString& paragraph : topic.paragraphs) {
        const bool item = paragraph.startsWith(QLatin1String("- "));
        if (item && !inList)
            html += QStringLiteral("<ul style=\"margin-top:0; margin-bottom:6px; -qt-list-indent:1;\">");
        if (!item && inList) html += QStringLiteral("</ul>");
        inList = item;
        if (item)
            html += QStringLiteral("<li>") + paragraph.mid(2).toHtmlEscaped() + QStringLiteral("</li>");
        else
            html += QStringLiteral("<p style=\"%1\">").arg(paragraphStyle) + paragraph.toHtmlEscaped() +
                    QStringLiteral("</p>");
    }
    if (inList) html += QStringLiteral("</ul>");
    return html;
}

QString popupHtml(const HelpTopic& topic)
{
    QString html;
    if (!topic.title.isEmpty())
        html += QStringLiteral("<p style=\"margin-top:0; margin-bottom:6px;\"><b>") + topic.title.toHtmlEscaped() +
                QStringLiteral("</b></p>");
    return html + paragraphsHtml(topic, QStringLiteral("margin-top:0; margin-bottom:6px;"));
}

// The pop-up of F1: a frameless note in the tool-tip colours. Any click or key closes it; a click
// outside is handled by Qt's pop-up behaviour, which closes it as well.
class HelpPopup : public QFrame {
public:
    explicit HelpPopup(const HelpTopic& topic) : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint)
    {
        setObjectName(QLatin1String(kPopupObjectName));
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameShape(QFrame::Box);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setAutoFillBackground(true);

        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("text"));
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
        label->setForegroundRole(QPalette::ToolTipText);
        const QString html = popupHtml(topic);
        label->setText(html);

        // The width the text needs, but never more than a comfortable line length.
        QTextDocument measure;
        measure.setDefaultFont(label->font());
        measure.setDocumentMargin(0);
        measure.setHtml(html);
        const int maxWidth = QFontMetrics(label->font()).averageCharWidth() * kPopupTextColumns;
        measure.setTextWidth(maxWidth);
        label->setFixedWidth(qMin(maxWidth, qCeil(measure.idealWidth()) + 2));

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 8, 10, 4);
        layout->addWidget(label);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }
};

QPointer<HelpPopup>& currentPopup()
{
    static QPointer<HelpPopup> popup;
    return popup;
}

// The topic window: a contents link, a keyword field and the topic text. One per program, reused.
class HelpWindow : public QWidget {
public:
    HelpWindow(HelpFile help, QWidget* parent) : QWidget(parent, Qt::Window), m_help(std::move(help))
    {
        setObjectName(QLatin1String(kWindowObjectName));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Kestrix Help"));
        resize(480, 400);

        auto* contents = new QToolButton(this);
        contents->setObjectName(QStringLiteral("contents"));
        contents->setText(QStringLiteral("Contents"));
        contents->setAutoRaise(true);
        auto* findLabel = new QLabel(QStringLiteral("Find:"), this);
        m_find = new QLineEdit(this);
        m_find->setObjectName(QStringLiteral("find"));
        m_find->setPlaceholderText(QStringLiteral("type the start of a keyword"));
        m_find->setClearButtonEnabled(true);
        findLabel->setBuddy(m_find);
        m_browser = new QTextBrowser(this);
        m_browser->setObjectName(QStringLiteral("browser"));
        m_browser->setOpenLinks(false);

        auto* top = new QHBoxLayout;
        top->addWidget(contents);
        top->addSpacing(12);
        top->addWidget(findLabel);
        top->addWidget(m_find, 1);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 6, 6, 6);
        layout->addLayout(top);
        layout->addWidget(m_browser, 1);

        connect(contents, &QToolButton::clicked, this, [this] { showContents(); });
        connect(m_find, &QLineEdit::textEdited, this, [this](const QString& text) { find(text); });
        connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            bool ok = false;
            const int index = url.fragment().toInt(&ok);
            if (ok && index >= 0 && index < m_help.topics().size()) showTopic(m_help.topics().at(index));
        });
    }

    void setHelp(HelpFile help) { m_help = std::move(help); }
    const HelpFile& help() const { return m_help; }

    void showTopic(const HelpTopic& topic)
    {
        QString html = QStringLiteral("<h3>") + (topic.title.isEmpty() ? topic.name : topic.title).toHtmlEscaped() +
                       QStringLiteral("</h3>");
        html += paragraphsHtml(topic, QStringLiteral("margin-top:0; margin-bottom:8px;"));
        m_browser->setHtml(html);
    }

    void showContents()
    {
        QString html = QStringLiteral("<h3>Contents</h3>");
        if (m_help.topics().isEmpty()) html += QStringLiteral("<p>This help file holds no topics.</p>");
        QString section;
        for (int i = 0; i < m_help.topics().size(); ++i) {
            const HelpTopic& topic = m_help.topics().at(i);
            if (topic.hidden) continue;
            if (topic.section != section) {
                section = topic.section;
                html += QStringLiteral("<p style=\"margin-top:10px; margin-bottom:3px;\"><b>%1</b></p>")
                            .arg(section.toHtmlEscaped());
            }
            html += QStringLiteral("<div style=\"margin-bottom:3px; margin-left:12px;\"><a href=\"#%1\">%2</a></div>")
                        .arg(i)
                        .arg((topic.title.isEmpty() ? topic.name : topic.title).toHtmlEscaped());
        }
        m_browser->setHtml(html);
    }

private:
    void find(const QString& text)
    {
        if (text.trimmed().isEmpty()) {
            showContents();
            return;
        }
        if (const HelpTopic* topic = m_help.topicByKeyword(text))
            showTopic(*topic);
        else
            m_browser->setHtml(QStringLiteral("<p><i>No topic has a keyword that starts with \"%1\".</i></p>")
                                   .arg(text.trimmed().toHtmlEscaped()));
    }

    HelpFile m_help;
    QLineEdit* m_find = nullptr;
    QTextBrowser* m_browser = nullptr;
};

QPointer<HelpWindow>& currentWindow()
{
    static QPointer<HelpWindow> window;
    return window;
}

// The shared topic window for `parent`, filled with `help`: the open one when it belongs to the same
// parent, else a new one. A window closed but not yet deleted (its deletion waits for the event loop)
// is not reused: it would vanish under the new request.
HelpWindow* helpWindow(HelpFile help, QWidget* parent)
{
    QPointer<HelpWindow>& window = currentWindow();
    if (window && (window->parentWidget() != parent || !window->isVisible())) {
        window->close();
        window = nullptr;
    }
    if (window)
        window->setHelp(std::move(help));
    else
        window = new HelpWindow(std::move(help), parent);
    return window;
}

void present(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// The help number carried by one object, or nullopt.
std::optional<qint64> ownNumber(const QObject* object, qint64 base)
{
    if (!object) return std::nullopt;
    for (const char* name : {"helpContext", "tag"}) {
        const QVariant value = object->property(name);
        bool ok = false;
        const qint64 number = value.isValid() ? value.toLongLong(&ok) : 0;
        if (ok && number >= base) return number;
    }
    return std::nullopt;
}

// The action under `globalPos` when `widget` is a menu, a menu bar or a tool bar.
QAction* actionUnder(QWidget* widget, const QPoint& globalPos)
{
    const QPoint local = widget->mapFromGlobal(globalPos);
    if (auto* menu = qobject_cast<QMenu*>(widget)) return menu->actionAt(local);
    if (auto* bar = qobject_cast<QMenuBar*>(widget)) return bar->actionAt(local);
    if (auto* bar = qobject_cast<QToolBar*>(widget)) return bar->actionAt(local);
    return nullptr;
}

}  // namespace

bool ShowHelpPopup(const QString& helpFile, qint64 number, const QPoint& globalPos)
{
    const HelpFile help = HelpFile::load(helpFile);
    const HelpTopic* topic = help.topicByNumber(number);
    if (!topic) return false;

    if (QPointer<HelpPopup>& old = currentPopup()) old->close();
    auto* popup = new HelpPopup(*topic);
    currentPopup() = popup;
    popup->adjustSize();

    // Top left at the pointer, moved back inside the screen where it would stick out.
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QPoint at = globalPos;
    if (screen) {
        const QRect area = screen->availableGeometry();
        const QSize size = popup->size();
        at.setX(qMax(area.left(), qMin(at.x(), area.right() + 1 - size.width())));
        at.setY(qMax(area.top(), qMin(at.y(), area.bottom() + 1 - size.height())));
    }
    popup->move(at);
    popup->show();
    return true;
}

bool ShowHelpKeyword(const QString& helpFile, const QString& keyword, QWidget* parent)
{
    if (keyword.trimmed().isEmpty()) return ShowHelpContents(helpFile, parent);
    HelpFile help = HelpFile::load(helpFile);
    const HelpTopic* topic = help.topicByKeyword(keyword);
    if (!topic) return false;
    const HelpTopic found = *topic;
    HelpWindow* window = helpWindow(std::move(help), parent);
    window->showTopic(found);
    present(window);
    return true;
}

bool ShowHelpContents(const QString& helpFile, QWidget* parent)
{
    HelpFile help = HelpFile::load(helpFile);
    if (!help.isLoaded()) return false;
    HelpWindow* window = helpWindow(std::move(help), parent);
    window->showContents();
    present(window);
    return true;
}

qint64 HelpNumberAt(QWidget* window, const QPoint& globalPos, qint64 base)
{
    if (!window || !window->isVisible()) return 0;

    // Windows of our own above the window itself: open menus first, then floating tool bars.
    QWidget* top = nullptr;
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (const bool menus : {true, false}) {
        for (QWidget* child : children) {
            if (child->isWindow() && child->isVisible() && child->frameGeometry().contains(globalPos) &&
                (qobject_cast<QMenu*>(child) != nullptr) == menus) {
                top = child;
                break;
            }
        }
        if (top) break;
    }
    if (!top && window->frameGeometry().contains(globalPos)) top = window;
    if (!top) return 0;

    QWidget* leaf = top->childAt(top->mapFromGlobal(globalPos));
    if (!leaf) leaf = top;
    for (QWidget* widget = leaf; widget; widget = widget->parentWidget()) {
        if (QAction* action = actionUnder(widget, globalPos)) {
            if (const auto number = ownNumber(action, base)) return *number;
            if (action->menu())
                if (const auto number = ownNumber(action->menu(), base)) return *number;
        }
        if (const auto number = ownNumber(widget, base)) return *number;
        if (widget == window) break;
    }
    return kGeneralHelpTopic;
}

}  // namespace kestrix
