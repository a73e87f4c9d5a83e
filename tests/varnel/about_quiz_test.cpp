// Window tests of Varnel's about box and Quarn Quiz, offscreen.

#include <QDateTime>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "dialogs_double.h"
#include "program_registry.h"
#include "quiz_table.h"
#include "settings_store.h"
#include "ui_unit_about.h"
#include "ui_unit_quiz.h"
#include "unit_about.h"
#include "unit_quiz.h"

using kestrix::DialogButton;
using kestrix::MessageIcon;
using testing_support::DialogKind;
using testing_support::DialogsDouble;
using varnel::QuizQuestion;

namespace {

const QuizQuestion& questionOf(const varnel::Tfrm_QuarnQuiz& quiz)
{
    return varnel::QuizQuestions()[static_cast<std::size_t>(quiz.currentQuestion())];
}

// Answers every question of a started quiz: `pick` chooses the index for each question.
void playThrough(varnel::Tfrm_QuarnQuiz& quiz, const std::function<int(const QuizQuestion&)>& pick)
{
    for (int i = 0; i < varnel::kQuizQuestionCount; ++i) {
        quiz.chooseAnswer(pick(questionOf(quiz)));
        QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
    }
}

// Every line of the quiz's text label is drawn whole within the label's height.
bool textFits(const varnel::Tfrm_QuarnQuiz& quiz)
{
    const QLabel* label = quiz.ui->lbl_Text;
    const QRect needed =
        label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000), int(label->alignment()), label->text());
    return needed.height() <= label->height() && needed.width() <= label->width();
}

int wrongAnswer(const QuizQuestion& q)
{
    return q.answerCount == 1 ? 0 : (q.rightAnswer + 1) % q.answerCount;
}

struct MedallionCall {
    QString helpFile, keyword;
};

}  // namespace

class AboutQuizTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    // quiz
    void quizWelcomeScreen();
    void quizStartsWithoutSelection();
    void quizNextWithoutAnswerKeepsTheQuestion();
    void quizScoresEachAnswer_data();
    void quizScoresEachAnswer();
    void quizFinishes();
    void quizSingleAnswerLowersTheScore();
    void quizStop_data();
    void quizStop();

    // about box
    void aboutFixedTextsAndControls();
    void aboutVersionLabel_data();
    void aboutVersionLabel();
    void aboutPosition_data();
    void aboutPosition();
    void aboutLinksOpenTheirTargets();
    void aboutSystemInformation();
    void aboutInfoStaysAboveTheCredits_data();
    void aboutInfoStaysAboveTheCredits();
    void aboutCreditsStop_data();
    void aboutCreditsStop();
    void aboutMedallion_data();
    void aboutMedallion();
    void aboutBirthday_data();
    void aboutBirthday();
    void aboutDayCount_data();
    void aboutDayCount();

private:
    varnel::AboutServices services(QDate today = QDate(2024, 5, 14));
    QTemporaryDir m_settings;
    QStringList m_opened;
    std::vector<MedallionCall> m_help;
};

void AboutQuizTest::initTestCase()
{
    QVERIFY(m_settings.isValid());
    kestrix::RegistryKey::useFolderForTesting(m_settings.path());
}

varnel::AboutServices AboutQuizTest::services(QDate today)
{
    varnel::AboutServices s;
    s.openLink = [this](const QString& target) { m_opened << target; };
    s.findHelpFile = [](const QString&) { return QString(); };
    s.showHelpKeyword = [this](const QString& file, const QString& keyword, QWidget*) {
        m_help.push_back({file, keyword});
        return true;
    };
    s.today = [today] { return today; };
    return s;
}

// ---- quiz ----

void AboutQuizTest::quizWelcomeScreen()
{
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QVERIFY(QTest::qWaitForWindowExposed(&quiz));
    QCoreApplication::processEvents();

    QCOMPARE(quiz.windowTitle(), QStringLiteral("Do not press Alt+Tab"));
    QVERIFY(quiz.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(quiz.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(quiz.ui->btn_Next->text(), QStringLiteral("Start"));
    QCOMPARE(quiz.ui->btn_Stop->text(), QStringLiteral("Stop"));
    QVERIFY(!quiz.ui->btn_Close->isEnabled());
    QVERIFY(!quiz.ui->rg_Questions->isVisible());
    QVERIFY(!quiz.ui->ed_Code->isVisible());
    QCOMPARE(quiz.ui->lcd_Score->text(), QStringLiteral("00"));
    QCOMPARE(quiz.ui->lcd_ScoreLabel->text(), QStringLiteral("Score:"));
    QCOMPARE(quiz.ui->grdl_QuarnQUIZ->text(), QStringLiteral("Quarn QUIZ"));
    QCOMPARE(quiz.ui->grdpnl_Caption->text(), QStringLiteral("Quarn Quiz"));
    QCOMPARE(quiz.ui->pp_Form->size(), QSize(385, 265));
    QCOMPARE(quiz.ui->pb_TextBorder->height(), 108);
    QCOMPARE(quiz.ui->lbl_Text->text(),
             QStringLiteral("Welcome to the Quarn Quiz\n\nClick on the start buttons to start the quiz.\n"
                            "If you have finished the whole quiz you\nwill get a code. Write down this code\n"
                            "and email me it. Then you'll be placed\nin the high-score list."));
    // Placed by size: the panel in the middle, the score 36 pixels above the bottom edge, the
    // close button 21 pixels left of the panel's right edge.
    QCOMPARE(quiz.ui->pp_Form->pos(), QPoint((quiz.width() - 385) / 2, (quiz.height() - 265) / 2));
    QCOMPARE(quiz.ui->lcd_Score->y(), quiz.height() - 36);
    QCOMPARE(quiz.ui->lcd_ScoreLabel->y(), quiz.height() - 36);
    QCOMPARE(quiz.ui->btn_Close->x(), quiz.ui->pp_Form->width() - 21);
    QCOMPARE(quiz.stepCounter(), 0);
    QVERIFY(textFits(quiz));
}

void AboutQuizTest::quizStartsWithoutSelection()
{
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);

    QVERIFY(dialogs.requests().empty());
    QCOMPARE(quiz.stepCounter(), 1);
    QCOMPARE(quiz.ui->btn_Next->text(), QStringLiteral("Next >>"));
    QCOMPARE(quiz.ui->lbl_Text->text(),
             QStringLiteral("Answer the question and click the \"Next >>\"\nbutton to go to the next question\n\n"
                            "You can click the \"Stop\" button to stop the quiz"));
    QCOMPARE(quiz.ui->lbl_Text->height(), 53);
    QCOMPARE(quiz.ui->pb_TextBorder->height(), 68);
    QVERIFY(textFits(quiz));
    QVERIFY(quiz.ui->rg_Questions->isVisible());
    const QuizQuestion& q = questionOf(quiz);
    QCOMPARE(quiz.ui->rg_Questions->title(), q.question);
    const QList<QRadioButton*> buttons = quiz.ui->rg_Questions->findChildren<QRadioButton*>();
    QCOMPARE(buttons.size(), q.answerCount);
    for (int i = 0; i < q.answerCount; ++i) QCOMPARE(buttons[i]->text(), q.answers[static_cast<std::size_t>(i)]);
    QCOMPARE(quiz.selectedAnswer(), -1);
    QCOMPARE(quiz.askedList(), QStringList{QString::number(quiz.currentQuestion())});
}

void AboutQuizTest::quizNextWithoutAnswerKeepsTheQuestion()
{
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
    const int question = quiz.currentQuestion();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);

    QCOMPARE(dialogs.requests().size(), std::size_t(1));
    QCOMPARE(dialogs.requests()[0].kind, DialogKind::Message);
    QCOMPARE(dialogs.requests()[0].icon, MessageIcon::Information);
    QCOMPARE(dialogs.requests()[0].title, QStringLiteral("Nothing selected"));
    QCOMPARE(dialogs.requests()[0].text, QStringLiteral("You have to choose an option"));
    QCOMPARE(quiz.currentQuestion(), question);
    QCOMPARE(quiz.stepCounter(), 1);
    QCOMPARE(quiz.ui->lcd_Score->text(), QStringLiteral("00"));
}

void AboutQuizTest::quizScoresEachAnswer_data()
{
    QTest::addColumn<bool>("right");
    QTest::newRow("rightAnswerAddsItsPoints") << true;
    QTest::newRow("wrongAnswerNamesTheRightOne") << false;
}

// Every question in turn, until the end: the score and the box after each answer.
void AboutQuizTest::quizScoresEachAnswer()
{
    QFETCH(bool, right);
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
    int expected = 0;
    QString expectedText = QStringLiteral("00");
    for (int i = 0; i < varnel::kQuizQuestionCount; ++i) {
        const QuizQuestion& q = questionOf(quiz);
        // The single-answer question has no wrong answer to choose.
        const int pick = right ? q.rightAnswer : wrongAnswer(q);
        const bool counts = pick == q.rightAnswer;
        quiz.chooseAnswer(pick);
        dialogs.clearRequests();
        QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
        QCOMPARE(dialogs.requests().size(), std::size_t(1));
        if (counts) {
            expected += q.points;
            expectedText = QString::number(expected);
            QCOMPARE(dialogs.requests()[0].kind, DialogKind::Message);
            QCOMPARE(dialogs.requests()[0].icon, MessageIcon::Information);
            QCOMPARE(dialogs.requests()[0].title, QStringLiteral("Congratiolations"));
            QCOMPARE(dialogs.requests()[0].text,
                     QStringLiteral("The answer was right, you got %1 point(s)").arg(q.points));
        } else {
            QCOMPARE(dialogs.requests()[0].kind, DialogKind::Message);
            QCOMPARE(dialogs.requests()[0].icon, MessageIcon::Error);
            QCOMPARE(dialogs.requests()[0].title, QStringLiteral("Sorry"));
            QCOMPARE(dialogs.requests()[0].text, QStringLiteral("The answer was wrong.\nThe right answer was : ") +
                                                     q.answers[static_cast<std::size_t>(q.rightAnswer)]);
            // Two lines on screen: a box breaks at a carriage return too, so none may follow.
            const QStringList lines =
                dialogs.requests()[0].text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
            QCOMPARE(lines.size(), 2);
            QVERIFY(!lines[0].isEmpty() && !lines[1].isEmpty());
        }
        QCOMPARE(quiz.ui->lcd_Score->text(), expectedText);
    }
    QCOMPARE(quiz.stepCounter(), varnel::kQuizQuestionCount + 1);
    QCOMPARE(quiz.ui->lcd_Score->text(), right ? QStringLiteral("85") : QStringLiteral("-1"));
}

void AboutQuizTest::quizFinishes()
{
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
    const QDateTime before = QDateTime::currentDateTime();
    playThrough(quiz, [](const QuizQuestion& q) { return q.rightAnswer; });
    const QDateTime after = QDateTime::currentDateTime();

    // Each question once.
    QCOMPARE(quiz.askedList().size(), varnel::kQuizQuestionCount);
    QCOMPARE(QSet<QString>(quiz.askedList().begin(), quiz.askedList().end()).size(), varnel::kQuizQuestionCount);
    QVERIFY(!quiz.ui->rg_Questions->isVisible());
    QVERIFY(!quiz.ui->btn_Next->isVisible());
    QVERIFY(quiz.ui->ed_Code->isVisible());
    QCOMPARE(quiz.ui->pb_TextBorder->height(), 108);
    QCOMPARE(quiz.ui->lbl_Text->text(), QStringLiteral("Congratiolations, you've finished the Quarn Quiz\n\r\n\r"
                                                       "You got : 85 points\n\rYou're code is :"));
    QVERIFY(textFits(quiz));
    // The code carries the second the quiz ended in, somewhere from `before` to `after`.
    const QString code = quiz.ui->ed_Code->text();
    QStringList possible{varnel::MakeScoreCode(QStringLiteral("85"), after)};
    for (QDateTime second = before; second <= after; second = second.addSecs(1))
        possible << varnel::MakeScoreCode(QStringLiteral("85"), second);
    QVERIFY2(possible.contains(code), qPrintable(code));
    QVERIFY(code != varnel::MakeScoreCode(QStringLiteral("85"), before.addSecs(-1)));
    QVERIFY(quiz.isVisible());
}

void AboutQuizTest::quizSingleAnswerLowersTheScore()
{
    DialogsDouble dialogs;
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
    playThrough(quiz, wrongAnswer);
    QCOMPARE(quiz.ui->lcd_Score->text(), QStringLiteral("-1"));
    QVERIFY(quiz.ui->lbl_Text->text().contains(QStringLiteral("You got : -1 points")));
}

void AboutQuizTest::quizStop_data()
{
    QTest::addColumn<int>("answered");  // -1 welcome, 0 first question, 35 result
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("escape");
    QTest::newRow("welcomeNo") << -1 << false << false;
    QTest::newRow("welcomeYes") << -1 << true << false;
    QTest::newRow("questionYes") << 0 << true << false;
    QTest::newRow("resultYes") << 35 << true << false;
    QTest::newRow("escapeAsksToo") << 0 << false << true;
}

void AboutQuizTest::quizStop()
{
    QFETCH(int, answered);
    QFETCH(bool, yes);
    QFETCH(bool, escape);
    DialogsDouble dialogs;
    dialogs.scriptButton(yes ? DialogButton::Yes : DialogButton::No);
    varnel::Tfrm_QuarnQuiz quiz(nullptr, &dialogs);
    quiz.show();
    QVERIFY(QTest::qWaitForWindowExposed(&quiz));
    if (answered >= 0) {
        QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
        for (int i = 0; i < answered; ++i) {
            quiz.chooseAnswer(questionOf(quiz).rightAnswer);
            QTest::mouseClick(quiz.ui->btn_Next, Qt::LeftButton);
        }
    }
    dialogs.clearRequests();
    if (escape)
        QTest::keyClick(&quiz, Qt::Key_Escape);
    else
        QTest::mouseClick(quiz.ui->btn_Stop, Qt::LeftButton);

    QCOMPARE(dialogs.requests().size(), std::size_t(1));
    QCOMPARE(dialogs.requests()[0].kind, DialogKind::Confirm);
    QCOMPARE(dialogs.requests()[0].icon, MessageIcon::Question);
    QCOMPARE(dialogs.requests()[0].buttons, (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));
    QCOMPARE(dialogs.requests()[0].parent, &quiz);
    QCOMPARE(dialogs.requests()[0].title, QStringLiteral("Are you sure"));
    QCOMPARE(dialogs.requests()[0].text, QStringLiteral("Are you sure you want to quit ?"));
    QCOMPARE(quiz.isVisible(), !yes);
    QVERIFY(!quiz.ui->btn_Close->isEnabled());
}

// ---- about box ----

void AboutQuizTest::aboutFixedTextsAndControls()
{
    varnel::Tfrm_About about(nullptr, services());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Kestrix"));
    QVERIFY(about.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(about.size(), QSize(492, 304));
    QCOMPARE(about.ui->grdl_Title->text(), QStringLiteral("Kestrix"));
    QCOMPARE(about.ui->lbl_Email->text(), QStringLiteral("email:"));
    QCOMPARE(about.ui->lbl_Internet->text(), QStringLiteral("internet:"));
    QCOMPARE(about.ui->lbl_Version->text(), QStringLiteral("version: 1.2.2.10"));
    const std::pair<QToolButton*, std::pair<const char*, const char*>> buttons[] = {
        {about.ui->sb_Info, {"iNFO", "Show information"}},
        {about.ui->sb_Credits, {"CREDiTS", "Show the credits"}},
        {about.ui->sb_Exit, {"EXiT", "Close this screen"}},
    };
    for (const auto& [button, texts] : buttons) {
        QCOMPARE(button->text(), QString::fromLatin1(texts.first));
        QCOMPARE(button->toolTip(), QString::fromLatin1(texts.second));
    }
    QCOMPARE(about.ui->sp_Credits->toolTip(), QStringLiteral("Click to stop the credits"));
    QCOMPARE(about.ui->sb_CloseInfo->text(), QStringLiteral("Close info"));
    QCOMPARE(about.ui->lbl_Info->text(), QStringLiteral("System information"));
    QVERIFY(!about.ui->mr_Medallion->toolTip().isEmpty());

    // Sizes, the pictures, and what is hidden at creation.
    QCOMPARE(about.ui->sp_Credits->size(), QSize(201, 177));
    QCOMPARE(about.ui->sp_Credits->stepInterval(), 40);
    QCOMPARE(about.ui->pp_Info->size(), QSize(265, 174));
    QCOMPARE(about.ui->lb_Info->size(), QSize(257, 148));
    QCOMPARE(about.ui->gif_BackGround->pixmap().size(), QSize(492, 304));
    QCOMPARE(about.ui->gif_Logo->pixmap().size(), QSize(50, 49));
    QCOMPARE(about.ui->gif_Medallion->pixmap().size(), QSize(41, 49));
    QVERIFY(!about.ui->sp_Credits->isVisible());
    QVERIFY(!about.ui->pp_Info->isVisible());
    QVERIFY(!about.ui->gif_Cake->isVisible());
    QVERIFY(!about.ui->gif_Medallion->isVisible());
    QCOMPARE(about.palette().color(QPalette::WindowText), QColor(0xD4, 0xD4, 0xD4));

    // The credits: their fixed lines in order, the last five back to front.
    const QStringList credits = about.ui->sp_Credits->lines();
    QCOMPARE(credits.mid(0, 6), (QStringList{"", "", "", "", "Kestrix", "_______"}));
    const auto at = [&](const char* line) { return credits.indexOf(QString::fromUtf8(line)); };
    const char* ordered[] = {"thanx:",
                             "greetz to:",
                             "(if you think you",
                             "should be on this",
                             "list, than email me)",
                             "--code--",
                             "--graphix--",
                             "--moral support--",
                             "--internet--",
                             "--finance--",
                             "--location--",
                             "--software--",
                             "--sound--",
                             "--not worth mentioning--",
                             "you may close this",
                             "screen any time",
                             "by pressing",
                             "Alt+F4",
                             "·T·H·E· ·E·N·D·",
                             "A prisoner has escaped! ",
                             "Sound the alarm!",
                             "Tomorrow on this channel:"};
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i) {
        QVERIFY2(at(ordered[i]) >= 0, ordered[i]);
        QVERIFY2(at(ordered[i]) < at(ordered[i + 1]), ordered[i + 1]);
    }
    const int notWorth = at("--not worth mentioning--");
    QCOMPARE(credits.mid(notWorth + 1, 8), QStringList(8, QStringLiteral("...")));
    QCOMPARE(credits.size() - credits.lastIndexOf(QStringLiteral("Tomorrow on this channel:")), 7);
    QCOMPARE(credits.last(), QStringLiteral("ffo gningis yevloT"));
}

void AboutQuizTest::aboutVersionLabel_data()
{
    QTest::addColumn<QString>("stored");  // null: no value
    QTest::addColumn<QString>("label");
    QTest::newRow("withoutTheValue") << QString() << QStringLiteral("version: 1.2.2.10");
    QTest::newRow("withTheValue") << QStringLiteral("1.3.0") << QStringLiteral("version: 1.3.0");
    QTest::newRow("emptyValue") << QStringLiteral("") << QStringLiteral("version: ");
}

void AboutQuizTest::aboutVersionLabel()
{
    QFETCH(QString, stored);
    QFETCH(QString, label);
    kestrix::RegistryKey settings = kestrix::RegistryKey::settings();
    settings.deleteValue(QStringLiteral("version"));
    if (!stored.isNull()) settings.writeText(QStringLiteral("VERSION"), stored);  // names compare without case
    settings.flush();
    varnel::Tfrm_About about(nullptr, services());
    about.readVersionSetting();
    QCOMPARE(about.ui->lbl_Version->text(), label);
    settings.deleteValue(QStringLiteral("version"));
}

void AboutQuizTest::aboutPosition_data()
{
    QTest::addColumn<QRect>("caller");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("centredOnTheCaller") << QRect(100, 50, 801, 601) << QPoint(100 + 400 - 246, 50 + 300 - 152);
    QTest::newRow("nearTheTopLeftCorner") << QRect(0, 0, 300, 200) << QPoint(0, 0);
    QTest::newRow("onlyTheTopClamped") << QRect(500, -40, 400, 300) << QPoint(500 + 200 - 246, 0);
}

void AboutQuizTest::aboutPosition()
{
    QFETCH(QRect, caller);
    QFETCH(QPoint, expected);
    QCOMPARE(varnel::AboutPosition(caller, QSize(492, 304)), expected);
}

void AboutQuizTest::aboutLinksOpenTheirTargets()
{
    m_opened.clear();
    varnel::Tfrm_About about(nullptr, services());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    for (varnel::LinkLabel* link : {about.ui->lnk_Email, about.ui->lnk_Home, about.ui->lnk_FanSite}) {
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0xC6, 0xC4, 0xB5));
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(link->isVisited());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
    }
    QCOMPARE(m_opened, (QStringList{"mailto:tolvey@example.org", "https://www.example.org/kestrix",
                                    "https://quarn-fans.example.org"}));
}

void AboutQuizTest::aboutSystemInformation()
{
    QTemporaryDir machine;
    QFile release(machine.filePath(QStringLiteral("os-release")));
    QVERIFY(release.open(QIODevice::WriteOnly));
    release.write("PRETTY_NAME=\"Islandix 7\"\n");
    release.close();
    // Programs register only into a settings key that exists; write the values as they would leave them.
    kestrix::RegistryKey::settings().writeText(kestrix::ProgramValueName(0),
                                               QStringLiteral("\"Kestrix\",\"/opt/k/Kestrix\""));
    kestrix::RegistryKey::settings().writeText(kestrix::ProgramValueName(2),
                                               QStringLiteral("\"Tessel\",\"/opt/k/Tessel\""));

    varnel::AboutServices s = services();
    s.systemSources = [&] {
        varnel::SystemSources src;
        src.osReleasePath = release.fileName();
        src.windowsFolder = QStringLiteral("/etc");
        return src;
    };
    s.varnelVersion = [] { return QStringLiteral("1.3.0"); };
    varnel::Tfrm_About about(nullptr, s);
    about.show();
    QTest::mouseClick(about.ui->sb_Info, Qt::LeftButton);
    QVERIFY(about.ui->pp_Info->isVisible());

    QStringList items;
    for (int i = 0; i < about.ui->lb_Info->count(); ++i) items << about.ui->lb_Info->item(i)->text();
    QCOMPARE(items.value(7), QStringLiteral("Islandix 7"));
    QCOMPARE(items.value(11), QStringLiteral("Windows directory : /etc"));
    QVERIFY(items.value(14).startsWith(QStringLiteral("Screen size : ")));
    // The registered programs come from the settings; their files do not exist, so no version.
    QCOMPARE(items.mid(18), (QStringList{"Kestrix", "Path : /opt/k/Kestrix", "Version : unknown", "", "Tessel",
                                         "Path : /opt/k/Tessel", "Version : unknown", "", "Varnel", "Version : 1.3.0",
                                         "", "Qt", QStringLiteral("Version : ") + qVersion(), ""}));

    // The list scrolls sideways over 500 pixels; longer lines are cut, not shortened with "...".
    QCoreApplication::processEvents();
    QCOMPARE(about.ui->lb_Info->horizontalScrollBar()->maximum() + about.ui->lb_Info->viewport()->width(), 500);
    QCOMPARE(about.ui->lb_Info->textElideMode(), Qt::ElideNone);

    // Filling again empties the list first.
    QTest::mouseClick(about.ui->sb_CloseInfo, Qt::LeftButton);
    QVERIFY(!about.ui->pp_Info->isVisible());
    QTest::mouseClick(about.ui->sb_Info, Qt::LeftButton);
    QCOMPARE(about.ui->lb_Info->count(), items.size());
    kestrix::RegistryKey::settings().deleteValue(kestrix::ProgramValueName(0));
    kestrix::RegistryKey::settings().deleteValue(kestrix::ProgramValueName(2));
}

void AboutQuizTest::aboutInfoStaysAboveTheCredits_data()
{
    QTest::addColumn<bool>("infoFirst");
    QTest::newRow("infoThenCredits") << true;
    QTest::newRow("creditsThenInfo") << false;
}

// The two panels overlap; whichever was opened last, the information panel lies on top.
void AboutQuizTest::aboutInfoStaysAboveTheCredits()
{
    QFETCH(bool, infoFirst);
    varnel::Tfrm_About about(nullptr, services());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QToolButton* first = infoFirst ? about.ui->sb_Info : about.ui->sb_Credits;
    QToolButton* second = infoFirst ? about.ui->sb_Credits : about.ui->sb_Info;
    QTest::mouseClick(first, Qt::LeftButton);
    QTest::mouseClick(second, Qt::LeftButton);
    QVERIFY(about.ui->sp_Credits->isVisible());
    QVERIFY(about.ui->pp_Info->isVisible());
    const QRect overlap = about.ui->pp_Info->geometry() & about.ui->sp_Credits->geometry();
    QVERIFY(!overlap.isEmpty());
    QWidget* top = about.childAt(overlap.center());
    QVERIFY(top);
    QVERIFY2(top == about.ui->pp_Info || about.ui->pp_Info->isAncestorOf(top), qPrintable(top->objectName()));
}

void AboutQuizTest::aboutCreditsStop_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("clickOnTheCredits") << QStringLiteral("click");
    QTest::newRow("lowerX") << QStringLiteral("x");
    QTest::newRow("upperXOnAChild") << QStringLiteral("X");
    QTest::newRow("runToTheEnd") << QStringLiteral("end");
    QTest::newRow("windowCloses") << QStringLiteral("close");
}

void AboutQuizTest::aboutCreditsStop()
{
    QFETCH(QString, how);
    varnel::Tfrm_About about(nullptr, services());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    varnel::CreditsScroller* credits = about.ui->sp_Credits;
    QTest::mouseClick(about.ui->sb_Credits, Qt::LeftButton);
    QVERIFY(credits->isVisible());
    QVERIFY(credits->isPlaying());
    QCOMPARE(credits->offset(), 0);
    for (int i = 0; i < 30; ++i) credits->step();
    QSignalSpy stopped(credits, &varnel::CreditsScroller::stopPlay);

    if (how == QLatin1String("click")) {
        QTest::mouseClick(credits, Qt::LeftButton);
    } else if (how == QLatin1String("x")) {
        QTest::keyClick(&about, 'x');
    } else if (how == QLatin1String("X")) {
        QTest::keyClick(about.ui->lb_Info, 'X', Qt::ShiftModifier);
    } else if (how == QLatin1String("end")) {
        int steps = 0;
        while (credits->isPlaying() && steps < 100000) {
            credits->step();
            ++steps;
        }
        // It went the whole way: every line passed the top.
        QCOMPARE(credits->offset(),
                 credits->height() + credits->fontMetrics().height() * static_cast<int>(credits->lines().size()));
    } else {
        about.close();
    }
    QCOMPARE(stopped.size(), 1);
    QVERIFY(!credits->isPlaying());
    QVERIFY(!credits->isVisible());

    // "x" when nothing scrolls does nothing.
    QTest::keyClick(&about, 'x');
    QCOMPARE(stopped.size(), 1);
}

void AboutQuizTest::aboutMedallion_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::NoModifier) << false;
    QTest::newRow("leftWithShift") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << false;
    QTest::newRow("rightWithoutShift") << int(Qt::RightButton) << int(Qt::NoModifier) << false;
    QTest::newRow("rightWithControl") << int(Qt::RightButton) << int(Qt::ControlModifier) << false;
    QTest::newRow("rightWithShift") << int(Qt::RightButton) << int(Qt::ShiftModifier) << true;
    QTest::newRow("rightWithShiftAndControl")
        << int(Qt::RightButton) << int(Qt::ShiftModifier | Qt::ControlModifier) << true;
}

void AboutQuizTest::aboutMedallion()
{
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    m_help.clear();
    varnel::Tfrm_About about(nullptr, services());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(about.ui->mr_Medallion, &enter);
    QVERIFY(about.ui->gif_Medallion->isVisible());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(about.ui->mr_Medallion, &leave);
    QVERIFY(!about.ui->gif_Medallion->isVisible());

    QVERIFY(about.helpFile().isEmpty());
    QTest::mouseRelease(about.ui->mr_Medallion, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
    const QString expectedFile = QCoreApplication::applicationDirPath() + QStringLiteral("/kestrix.hlp");
    QCOMPARE(about.helpFile(), expectedFile);
    QCOMPARE(m_help.size(), std::size_t(opens ? 1 : 0));
    if (opens) {
        QCOMPARE(m_help[0].helpFile, expectedFile);
        QCOMPARE(m_help[0].keyword, QStringLiteral("EasterEgg"));
    }
}

void AboutQuizTest::aboutBirthday_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("birthday");
    QTest::newRow("birthday") << QDate(2024, varnel::kBirthDate.month(), varnel::kBirthDate.day()) << true;
    QTest::newRow("dayAfter") << varnel::kBirthDate.addDays(1).addYears(40) << false;
    QTest::newRow("sameDayOtherMonth") << QDate(2024, varnel::kBirthDate.month() % 12 + 1, varnel::kBirthDate.day())
                                       << false;
}

void AboutQuizTest::aboutBirthday()
{
    QFETCH(QDate, today);
    QFETCH(bool, birthday);
    varnel::Tfrm_About about(nullptr, services(today));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    varnel::CreditsScroller* credits = about.ui->sp_Credits;
    QCOMPARE(credits->isVisible(), birthday);
    QCOMPARE(credits->isPlaying(), birthday);
    QCOMPARE(about.ui->gif_Cake->isVisible(), birthday);
    if (!birthday) {
        QCOMPARE(credits->lines(), varnel::CreditLines());
        return;
    }
    QCOMPARE(about.ui->gif_Cake->pixmap().isNull(), false);
    const int age = today.year() - varnel::kBirthDate.year();
    QCOMPARE(credits->lines(),
             (QStringList{"", "Happy birthday to me...", "", "", "It's my birthday today",
                          QStringLiteral("I'm now %1 years old").arg(age), "", "", "", "press X to stop", ""}));
    // It repeats without end; X stops it.
    const int travel = credits->height() + credits->fontMetrics().height() * 11;
    for (int i = 0; i < 3 * travel; ++i) credits->step();
    QVERIFY(credits->isPlaying());
    QTest::keyClick(&about, 'X', Qt::ShiftModifier);
    QVERIFY(!credits->isPlaying());
    QVERIFY(!credits->isVisible());
}

void AboutQuizTest::aboutDayCount_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("label");
    QTest::newRow("birthDay") << varnel::kBirthDate << QStringLiteral("the Tolvey is 0 days old");
    QTest::newRow("nextDay") << varnel::kBirthDate.addDays(1) << QStringLiteral("the Tolvey is 1 days old");
    // 23 October 1981 to 23 October 1984 spans 29 February 1984.
    QTest::newRow("threeYearsWithALeapDay")
        << varnel::kBirthDate.addYears(3) << QStringLiteral("the Tolvey is 1096 days old");
}

void AboutQuizTest::aboutDayCount()
{
    QFETCH(QDate, today);
    QFETCH(QString, label);
    varnel::Tfrm_About about(nullptr, services(today));
    about.show();
    QCOMPARE(about.ui->lbl_Tolvey->text(), QStringLiteral("a Tolvey Productions release"));
    QTest::mouseDClick(about.ui->lbl_Tolvey, Qt::LeftButton);
    QCOMPARE(about.ui->lbl_Tolvey->text(), label);
}

QTEST_MAIN(AboutQuizTest)
#include "about_quiz_test.moc"
