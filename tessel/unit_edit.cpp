#include "unit_edit.h"

#include <QAction>
#include <QComboBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "caption_strip.h"
#include "cp1252.h"
#include "text_bank.h"
#include "ui_unit_edit.h"

namespace tessel {

namespace {

constexpr int kCharButtonSize = 18;
constexpr int kFirstCharCode = 32;
constexpr int kCharCount = 224;
constexpr int kNumberEnd = 24;  // the frame numbers end, and their labels start, here

// Draws a frame item as its number ending at x = 24 and its label from there; the item under the
// focus in the highlight colours, bold. The list's items and the closed box's face share it.
void drawFrameItem(QPainter* painter, const QRect& rect, const QString& item, bool focused, const QPalette& palette,
                   QFont font)
{
    const qsizetype bar = item.indexOf(QLatin1Char('|'));
    const QString number = bar < 0 ? item : item.left(bar);
    const QString label = bar < 0 ? QString() : item.mid(bar + 1);
    font.setBold(focused);
    painter->save();
    painter->fillRect(rect, focused ? kHighlightColour : palette.base().color());
    painter->setPen(focused ? kHighlightTextColour : palette.text().color());
    painter->setFont(font);
    const int top = rect.top() + 2;
    painter->drawText(QRect(rect.left(), top, kNumberEnd, rect.height() - 2), Qt::AlignRight | Qt::AlignTop, number);
    painter->drawText(QRect(rect.left() + kNumberEnd, top, rect.width() - kNumberEnd, rect.height() - 2),
                      Qt::AlignLeft | Qt::AlignTop, label);
    painter->restore();
}

class FrameItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool focused = option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
        drawFrameItem(painter, option.rect, index.data().toString(), focused, option.palette, option.font);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + kNumberEnd, 16};
    }
};

// The closed frame box shows its selected item drawn as in the list (highlighted while the box
// has the focus), inside the style's own box and arrow.
class FrameBoxFace : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* box = qobject_cast<QComboBox*>(watched);
        if (!box || event->type() != QEvent::Paint) return false;
        QStylePainter painter(box);
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = false;
        option.frame = true;
        option.subControls = QStyle::SC_All;
        if (box->hasFocus()) option.state |= QStyle::State_HasFocus;
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        if (box->currentIndex() >= 0)
            drawFrameItem(&painter, field, box->currentText(), box->hasFocus(), box->palette(), box->font());
        return true;
    }
};

}  // namespace

QString FrameItemText(int index)
{
    const FrameKind& kind = kFrameKinds[index];
    return QString::number(kind.value) + QLatin1Char('|') + QString::fromLatin1(kind.label);
}

Tfrm_TextEditor::Tfrm_TextEditor(std::function<void(kestrix::Sound)> playSound,
                                 std::function<void(QWidget*)> contextHelp, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::Tfrm_TextEditor>()),
      m_playSound(std::move(playSound)),
      m_contextHelp(std::move(contextHelp))
{
    ui->setupUi(this);
    FormCreate();
}

Tfrm_TextEditor::~Tfrm_TextEditor() = default;

void Tfrm_TextEditor::FormCreate()
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    StyleCaptionStrip(ui->gc_Editor, true);
    ui->sb_Ok->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    ui->sb_Cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ui->mm_Text->setFont(FixedFont(12));
    ui->mm_Text->setProperty("helpContext", 8012);
    ui->sb_Ok->setProperty("tag", 8008);
    ui->sb_Cancel->setProperty("tag", 8009);
    ui->cb_Frame->setProperty("tag", 8011);
    ui->mm_Text->setProperty("tag", 8012);
    ui->tb_Left->setProperty("tag", 8013);
    ui->tb_Right->setProperty("tag", 8013);

    for (int i = 0; i < 9; ++i) ui->cb_Frame->addItem(FrameItemText(i));
    ui->cb_Frame->setItemDelegate(new FrameItemDelegate(ui->cb_Frame));
    ui->cb_Frame->installEventFilter(new FrameBoxFace(ui->cb_Frame));
    ui->cb_Frame->setMaxVisibleItems(9);
    ui->cb_Frame->setCurrentIndex(-1);

    // The strip: 224 buttons side by side, 26 in view; the arrows move it a button at a time.
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("CharButtons"));
    strip->setFixedSize(kCharButtonSize * kCharCount, kCharButtonSize);
    QFont charFont = FixedFont(13);
    for (int i = 0; i < kCharCount; ++i) {
        const int code = kFirstCharCode + i;
        auto* button = new QToolButton(strip);
        button->setObjectName(QStringLiteral("CharButton%1").arg(code));
        button->setAutoRaise(true);
        button->setFont(charFont);
        button->setGeometry(i * kCharButtonSize, 0, kCharButtonSize, kCharButtonSize);
        button->setProperty("tag", 8014);
        // Codes that Windows-1252 leaves undefined have no character: a blank button.
        const QChar ch = kestrix::cp1252ToUnicode(static_cast<unsigned char>(code));
        const bool defined = ch.unicode() != 0xFFFD && !(ch.unicode() >= 0x80 && ch.unicode() < 0xA0);
        if (defined) {
            button->setText(ch == QLatin1Char('&') ? QStringLiteral("&&") : QString(ch));
            button->setAccessibleName(QStringLiteral("Insert %1").arg(ch));
            connect(button, &QToolButton::clicked, this, [this, ch] { InsertCharClick(ch); });
        } else {
            button->setEnabled(false);
            button->setAccessibleName(QStringLiteral("No character %1").arg(code));
        }
        m_charButtons.append(button);
    }
    ui->sb_CharBtn->setWidget(strip);
    ui->sb_CharBtn->horizontalScrollBar()->setSingleStep(kCharButtonSize);
    ui->tb_Left->setArrowType(Qt::LeftArrow);
    ui->tb_Right->setArrowType(Qt::RightArrow);
    for (QToolButton* arrow : {ui->tb_Left, ui->tb_Right}) {
        arrow->setAutoRepeat(true);
        arrow->setAutoRepeatDelay(50);
        arrow->setAutoRepeatInterval(50);
    }
    connect(ui->tb_Left, &QToolButton::clicked, this, &Tfrm_TextEditor::tb_LeftClick);
    connect(ui->tb_Right, &QToolButton::clicked, this, &Tfrm_TextEditor::tb_RightClick);

    connect(ui->sb_Ok, &QToolButton::clicked, this, [this] {
        play(kestrix::Sound::ButtonClick);
        accept();
    });
    connect(ui->sb_Cancel, &QToolButton::clicked, this, [this] {
        play(kestrix::Sound::ButtonClick);
        reject();
    });

    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("act_ContextHelp"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this] {
        if (m_contextHelp) m_contextHelp(this);
    });
    addAction(help);
}

void Tfrm_TextEditor::setText(const QString& text)
{
    ui->mm_Text->clear();
    ui->mm_Text->setPlainText(QString(text).remove(QLatin1Char('\r')));
}

QString Tfrm_TextEditor::text() const
{
    return ui->mm_Text->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void Tfrm_TextEditor::setFrame(int frame, bool enabled)
{
    int found = -1;
    if (enabled)
        for (int i = 0; i < 9; ++i)
            if (kFrameKinds[i].value == frame) found = i;
    ui->cb_Frame->setCurrentIndex(found);
    ui->cb_Frame->setEnabled(enabled);
}

int Tfrm_TextEditor::frame() const
{
    const int i = ui->cb_Frame->currentIndex();
    return ui->cb_Frame->isEnabled() && i >= 0 && i < 9 ? kFrameKinds[i].value : -1;
}

void Tfrm_TextEditor::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    ui->gc_Editor->setText(caption);
}

int Tfrm_TextEditor::stripPosition() const
{
    return ui->sb_CharBtn->horizontalScrollBar()->value();
}

// Centred on the main window, by integer halves.
void Tfrm_TextEditor::showEvent(QShowEvent* event)
{
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - frameGeometry().width() / 2,
             m.top() + m.height() / 2 - frameGeometry().height() / 2);
    }
    ui->mm_Text->setFocus();
    QDialog::showEvent(event);
}

void Tfrm_TextEditor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) StyleCaptionStrip(ui->gc_Editor, isActiveWindow());
    QDialog::changeEvent(event);
}

void Tfrm_TextEditor::InsertCharClick(QChar ch)
{
    ui->mm_Text->setFocus();
    ui->mm_Text->insertPlainText(QString(ch));
}

void Tfrm_TextEditor::tb_LeftClick()
{
    QScrollBar* bar = ui->sb_CharBtn->horizontalScrollBar();
    if (bar->value() > 0) bar->setValue(bar->value() - kCharButtonSize);
}

void Tfrm_TextEditor::tb_RightClick()
{
    QScrollBar* bar = ui->sb_CharBtn->horizontalScrollBar();
    if (bar->value() < bar->maximum()) bar->setValue(bar->value() + kCharButtonSize);
}

void Tfrm_TextEditor::play(kestrix::Sound sound)
{
    if (m_playSound) m_playSound(sound);
}

}  // namespace tessel
