#include "unit_quiz.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "quiz_table.h"
#include "ui_unit_quiz.h"

namespace varnel {

namespace {

constexpr int kLastStep = kQuizQuestionCount + 1;  // the step on which the last answer is scored

// Line breaks of the quiz's texts: line feed, then carriage return.
const QString kBreak = QStringLiteral("\n\r");
// A message box breaks its text at a carriage return as well as at a line feed, so the pair
// would show an empty line there; its texts break with the line feed alone.
const QString kBoxBreak = QStringLiteral("\n");

}  // namespace

void ShowQuarnQuiz()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    Tfrm_QuarnQuiz quiz;
    quiz.exec();
}

// ---- decorations ----

GradientBackground::GradientBackground(QWidget* parent) : QWidget(parent) {}

void GradientBackground::setColors(const QColor& from, const QColor& to, int bands)
{
    m_from = from;
    m_to = to;
    m_bands = qMax(1, bands);
    update();
}

void GradientBackground::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int h = height();
    for (int i = 0; i < m_bands; ++i) {
        const double t = m_bands > 1 ? double(i) / (m_bands - 1) : 0.0;
        const QColor c = QColor::fromRgbF(m_from.redF() + (m_to.redF() - m_from.redF()) * t,
                                          m_from.greenF() + (m_to.greenF() - m_from.greenF()) * t,
                                          m_from.blueF() + (m_to.blueF() - m_from.blueF()) * t);
        const int top = h * i / m_bands;
        const int bottom = h * (i + 1) / m_bands;
        p.fillRect(0, top, width(), qMax(1, bottom - top), c);
    }
}

GradientLabel::GradientLabel(QWidget* parent) : QWidget(parent) {}

void GradientLabel::setText(const QString& text)
{
    m_text = text;
    update();
}

void GradientLabel::setColors(const QColor& from, const QColor& to, const QColor& shadow)
{
    m_from = from;
    m_to = to;
    m_shadow = shadow;
    update();
}

void GradientLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addText(0, 0, font(), m_text);
    const QRectF box = path.boundingRect();
    path.translate((width() - box.width()) / 2 - box.left(), (height() - box.height()) / 2 - box.top());
    p.fillPath(path.translated(3, 3), m_shadow);
    QLinearGradient gradient(0, path.boundingRect().top(), 0, path.boundingRect().bottom());
    gradient.setColorAt(0, m_from);
    gradient.setColorAt(1, m_to);
    p.fillPath(path, gradient);
}

GradientCaption::GradientCaption(QWidget* parent) : QWidget(parent) {}

void GradientCaption::setText(const QString& text)
{
    m_text = text;
    update();
}

void GradientCaption::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, QColor(0, 0, 0x80));
    gradient.setColorAt(1, QColor(0x10, 0x84, 0xD0));
    p.fillRect(rect(), gradient);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

LcdLabel::LcdLabel(QWidget* parent) : QWidget(parent) {}

void LcdLabel::setText(const QString& text)
{
    m_text = text;
    update();
}

void LcdLabel::setCharacterCount(int count)
{
    m_characters = qMax(1, count);
    updateGeometry();
    update();
}

QSize LcdLabel::sizeHint() const
{
    return {m_characters * 24, 26};
}

void LcdLabel::paintEvent(QPaintEvent*)
{
    // The text is drawn without smoothing into a grid of 6 x 8 cells per character, each cell
    // then shown as a dot: lit in the label's colour, unlit as a faint dot.
    constexpr int kCellW = 6, kCellH = 8;
    const int columns = m_characters * kCellW;
    QImage cells(columns, kCellH, QImage::Format_ARGB32);
    cells.fill(Qt::transparent);
    {
        QPainter cp(&cells);
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setStyleHint(QFont::Monospace);
        f.setPixelSize(9);
        f.setStyleStrategy(QFont::NoAntialias);
        cp.setFont(f);
        cp.setPen(Qt::white);
        const QString shown = m_text.right(m_characters).rightJustified(m_characters, u' ');
        for (int i = 0; i < m_characters; ++i)
            cp.drawText(QRect(i * kCellW, 0, kCellW, kCellH), Qt::AlignCenter, QString(shown[i]));
    }
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const double dot = qMin(double(width()) / columns, double(height()) / kCellH);
    const double left = (width() - dot * columns) / 2;
    const double top = (height() - dot * kCellH) / 2;
    QColor off = m_on;
    off.setAlpha(40);
    for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < columns; ++x)
            p.fillRect(QRectF(left + x * dot, top + y * dot, dot * 0.8, dot * 0.8),
                       qAlpha(cells.pixel(x, y)) > 127 ? m_on : off);
}

// ---- the window ----

Tfrm_QuarnQuiz::Tfrm_QuarnQuiz(QWidget* parent, kestrix::Dialogs* dialogs)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(new Ui::Tfrm_QuarnQuiz),
      m_dialogs(dialogs)
{
    ui->setupUi(this);
    if (!m_dialogs) {
        m_defaultDialogs = std::make_unique<kestrix::QtDialogs>();
        m_dialogs = m_defaultDialogs.get();
    }
    setWindowState(Qt::WindowMaximized);

    ui->grd_Background->setColors(QColor(0x80, 0x80, 0xFF), Qt::black, 255);
    QFont title(QStringLiteral("Arial"));
    title.setStyleHint(QFont::SansSerif);
    title.setBold(true);
    title.setPixelSize(35);
    ui->grdl_QuarnQUIZ->setFont(title);
    ui->grdl_QuarnQUIZ->setColors(Qt::cyan, Qt::blue, QColor(0, 0, 0x80));
    ui->grdl_QuarnQUIZ->setText(QStringLiteral("Quarn QUIZ"));
    ui->lcd_ScoreLabel->setCharacterCount(6);
    ui->lcd_ScoreLabel->setText(QStringLiteral("Score:"));
    ui->lcd_Score->setCharacterCount(2);
    ui->lcd_Score->setText(QStringLiteral("00"));
    ui->grdpnl_Caption->setText(QStringLiteral("Quarn Quiz"));
    // The text label uses the classic small dialog size (11-pixel letters, 13-pixel lines) that
    // its heights are made for: the four lines of instructions fit in 53 pixels. Set on the label
    // itself, since the window's style sheet keeps fonts from passing down to children.
    QFont text = ui->lbl_Text->font();
    text.setPixelSize(11);
    ui->lbl_Text->setFont(text);
    ui->btn_Close->setEnabled(false);

    ui->lbl_Text->setText(
        QStringLiteral("Welcome to the Quarn Quiz\n\n"
                       "Click on the start buttons to start the quiz.\n"
                       "If you have finished the whole quiz you\n"
                       "will get a code. Write down this code\n"
                       "and email me it. Then you'll be placed\n"
                       "in the high-score list."));

    m_answers = new QButtonGroup(this);
    m_answerLayout = new QVBoxLayout(ui->rg_Questions);
    m_answerLayout->setContentsMargins(10, 4, 8, 4);
    m_answerLayout->setSpacing(0);
    ui->rg_Questions->setVisible(false);
    ui->ed_Code->setVisible(false);

    ui->pp_Form->installEventFilter(this);
    connect(ui->btn_Next, &QPushButton::clicked, this, &Tfrm_QuarnQuiz::btn_NextClick);
    connect(ui->btn_Close, &QToolButton::clicked, this, &Tfrm_QuarnQuiz::btn_CloseClick);
    connect(ui->btn_Stop, &QPushButton::clicked, this, &Tfrm_QuarnQuiz::btn_CloseClick);
}

Tfrm_QuarnQuiz::~Tfrm_QuarnQuiz()
{
    delete ui;
}

int Tfrm_QuarnQuiz::selectedAnswer() const
{
    return m_answers->checkedId();
}

void Tfrm_QuarnQuiz::chooseAnswer(int index)
{
    if (QAbstractButton* button = m_answers->button(index)) button->setChecked(true);
}

void Tfrm_QuarnQuiz::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, &Tfrm_QuarnQuiz::FormActivate);
    }
    placeControls();
}

void Tfrm_QuarnQuiz::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

bool Tfrm_QuarnQuiz::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->pp_Form && event->type() == QEvent::Resize) pp_FormResize();
    return QDialog::eventFilter(watched, event);
}

// Escape and the window manager's close go through the same confirmation as Stop.
void Tfrm_QuarnQuiz::reject()
{
    btn_CloseClick();
}

void Tfrm_QuarnQuiz::FormActivate()
{
    placeControls();
    m_step = 0;
}

// The score sits 36 pixels above the bottom edge and the panel in the middle, whatever size the
// window is maximised to.
void Tfrm_QuarnQuiz::placeControls()
{
    ui->grd_Background->setGeometry(rect());
    ui->grdl_QuarnQUIZ->move((width() - ui->grdl_QuarnQUIZ->width()) / 2, 16);
    ui->lcd_ScoreLabel->move(ui->lcd_ScoreLabel->x(), height() - 36);
    ui->lcd_Score->move(ui->lcd_Score->x(), height() - 36);
    ui->pp_Form->move((width() - ui->pp_Form->width()) / 2, (height() - ui->pp_Form->height()) / 2);
}

void Tfrm_QuarnQuiz::pp_FormResize()
{
    ui->btn_Close->move(ui->pp_Form->width() - 21, ui->btn_Close->y());
    ui->grdpnl_Caption->setGeometry(2, 2, ui->pp_Form->width() - 4, ui->grdpnl_Caption->height());
}

void Tfrm_QuarnQuiz::btn_NextClick()
{
    if (m_step == 0)
        StartQuiz();
    else
        NextQuestion();
}

void Tfrm_QuarnQuiz::btn_CloseClick()
{
    if (m_dialogs->confirm(this, kestrix::MessageIcon::Question, QStringLiteral("Are you sure"),
                           QStringLiteral("Are you sure you want to quit ?"),
                           {kestrix::DialogButton::Yes, kestrix::DialogButton::No}) == kestrix::DialogButton::Yes)
        done(QDialog::Rejected);
}

void Tfrm_QuarnQuiz::setTextBorder(int borderHeight, int labelHeight)
{
    ui->pb_TextBorder->resize(ui->pb_TextBorder->width(), borderHeight);
    ui->lbl_Text->setGeometry(4, (borderHeight - labelHeight) / 2, ui->pb_TextBorder->width() - 8, labelHeight);
}

void Tfrm_QuarnQuiz::StartQuiz()
{
    m_random.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    m_asked.clear();
    ui->btn_Next->setText(QStringLiteral("Next >>"));
    ui->lbl_Text->setText(
        QStringLiteral("Answer the question and click the \"Next >>\"\n"
                       "button to go to the next question\n\n"
                       "You can click the \"Stop\" button to stop the quiz"));
    setTextBorder(68, 53);
    NextQuestion();
}

void Tfrm_QuarnQuiz::NextQuestion()
{
    if (m_step > 0 && selectedAnswer() < 0) {
        m_dialogs->message(this, kestrix::MessageIcon::Information, QStringLiteral("Nothing selected"),
                           QStringLiteral("You have to choose an option"));
        return;
    }
    ++m_step;
    if (m_step >= 2 && m_step <= kLastStep) CheckAnswer();
    if (m_step == kLastStep) {
        FinishQuiz();
        return;
    }
    int number = 0;
    do {
        number = static_cast<int>(m_random.bounded(kQuizQuestionCount));
    } while (m_asked.contains(QString::number(number)));
    m_asked << QString::number(number);
    showQuestion(number);
}

void Tfrm_QuarnQuiz::showQuestion(int number)
{
    m_current = number;
    const QuizQuestion& question = QuizQuestions()[static_cast<std::size_t>(number)];
    while (QLayoutItem* item = m_answerLayout->takeAt(0)) delete item;
    for (QAbstractButton* old : m_answers->buttons()) {
        m_answers->removeButton(old);
        delete old;
    }
    ui->rg_Questions->setTitle(question.question);
    for (int i = 0; i < question.answerCount; ++i) {
        auto* button = new QRadioButton(question.answers[static_cast<std::size_t>(i)], ui->rg_Questions);
        m_answers->addButton(button, i);
        m_answerLayout->addWidget(button);
    }
    m_answerLayout->addStretch();
    ui->rg_Questions->setVisible(true);
}

void Tfrm_QuarnQuiz::CheckAnswer()
{
    const QuizQuestion& question = QuizQuestions()[static_cast<std::size_t>(m_current)];
    if (selectedAnswer() == question.rightAnswer) {
        const int score = ui->lcd_Score->text().toInt() + question.points;
        ui->lcd_Score->setText(QString::number(score));
        // "Congratiolations" is spelt as the quiz has always shown it, on purpose.
        m_dialogs->message(this, kestrix::MessageIcon::Information, QStringLiteral("Congratiolations"),
                           QStringLiteral("The answer was right, you got %1 point(s)").arg(question.points));
    } else {
        m_dialogs->message(this, kestrix::MessageIcon::Error, QStringLiteral("Sorry"),
                           QStringLiteral("The answer was wrong.") + kBoxBreak +
                               QStringLiteral("The right answer was : ") +
                               question.answers[static_cast<std::size_t>(question.rightAnswer)]);
    }
}

void Tfrm_QuarnQuiz::FinishQuiz()
{
    ui->rg_Questions->setVisible(false);
    setTextBorder(108, 100);
    const QString score = ui->lcd_Score->text();
    // "Congratiolations" and "You're code" are the texts the quiz shows, kept on purpose.
    ui->lbl_Text->setText(QStringLiteral("Congratiolations, you've finished the Quarn Quiz") + kBreak + kBreak +
                          QStringLiteral("You got : ") + score + QStringLiteral(" points") + kBreak +
                          QStringLiteral("You're code is :"));
    ui->ed_Code->setText(MakeScoreCode(score, QDateTime::currentDateTime()));
    ui->ed_Code->setCursorPosition(0);
    ui->ed_Code->setVisible(true);
    ui->btn_Next->setVisible(false);
}

}  // namespace varnel
