#include "quiz_table.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <map>
#include <string>

using varnel::QuizQuestion;

namespace {

QByteArray hex(const QByteArray& bytes)
{
    return bytes.toHex().toUpper();
}

}  // namespace

// Worked by hand, key 40613 = 0x9EA5:
//   "A" 0x41 XOR 0x9E = 0xDF; key = ((40613 + 223) * 52845 + 11719) mod 65536
//                                  = 2157990139 mod 65536 = 20731 = 0x50FB
//   "B" 0x42 XOR 0x50 = 0x12; key = ((20731 + 18) * 52845 + 11719) mod 65536
//                                  = 1096492624 mod 65536 = 9808 = 0x2650
//   "C" 0x43 XOR 0x26 = 0x65
struct ScrambleCase {
    const char* name;
    QByteArray plain;
    quint16 key;
    QByteArray expectedHex;
};

class ScrambleTextTest : public ::testing::TestWithParam<ScrambleCase> {};

TEST_P(ScrambleTextTest, MatchesTheHandWorkedBytes)
{
    const ScrambleCase& c = GetParam();
    const QByteArray out = varnel::ScrambleText(c.plain, c.key);
    EXPECT_EQ(out.size(), c.plain.size());
    EXPECT_EQ(hex(out).toStdString(), c.expectedHex.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrambleTextTest,
    ::testing::Values(ScrambleCase{"threeLetters", "ABC", 40613, "DF1265"}, ScrambleCase{"emptyText", "", 40613, ""},
                      // Key 0: the first byte goes through unchanged; key = (0x41 * 52845 + 11719)
                      // mod 65536 = 3446644 mod 65536 = 38772 = 0x9774, high byte 0x97; 0x41 ^ 0x97 = 0xD6.
                      ScrambleCase{"keyZero", "AA", 0, "41D6"},
                      // The high byte of 0xFFFF is 0xFF: 0x00 becomes 0xFF.
                      ScrambleCase{"zeroByteUnderFullKey", QByteArray(1, '\0'), 0xFFFF, "FF"}),
    [](const ::testing::TestParamInfo<ScrambleCase>& param) { return std::string(param.param.name); });

// The score code of 5 March 2024, 21:07:09, in a German system locale (short date "dd.MM.yy",
// time with seconds "HH:mm:ss"): plain text "05.03.24,21:07:09==85", 21 bytes. By hand, the first
// three:
//   "0" 0x30 XOR 0x9E = 0xAE; key = ((40613 + 174) * 52845 + 11719) mod 65536 = 0xCE1E
//   "5" 0x35 XOR 0xCE = 0xFB; key = ((52766 + 251) * 52845 + 11719) mod 65536 = 0x796C
//   "." 0x2E XOR 0x79 = 0x57
// The whole code was checked with an independent five-line Python version of the same rule.
TEST(ScoreCodeTest, HandWorkedCode)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDateTime when(QDate(2024, 3, 5), QTime(21, 7, 9));
    EXPECT_EQ(varnel::ScoreCodePlainText(QStringLiteral("85"), when, german).toStdString(), "05.03.24,21:07:09==85");
    EXPECT_EQ(varnel::MakeScoreCode(QStringLiteral("85"), when, german).toStdString(),
              "AEFB57DFEE51EC866182747790B0FBAC2DA68AD329");
    // A negative score changes only the last bytes; one second later changes the code from the
    // seconds on.
    EXPECT_EQ(varnel::MakeScoreCode(QStringLiteral("-1"), when, german).toStdString(),
              "AEFB57DFEE51EC866182747790B0FBAC2DA68AC691");
    EXPECT_EQ(varnel::MakeScoreCode(QStringLiteral("85"), when.addSecs(1), german).toStdString(),
              "AEFB57DFEE51EC866182747790B0FBADD32C8E53BB");
}

struct TimeCase {
    const char* name;
    QLocale locale;
    const char* plainText;  // of score 85 at 2024-03-05 21:07:09
};

class ScoreCodeTimeTest : public ::testing::TestWithParam<TimeCase> {};

// Every locale's time carries the seconds and never the zone name, whichever side of the time
// the locale writes the zone on.
TEST_P(ScoreCodeTimeTest, TimeWithSecondsWithoutZone)
{
    const TimeCase& c = GetParam();
    const QDateTime when(QDate(2024, 3, 5), QTime(21, 7, 9));
    const QString plain = varnel::ScoreCodePlainText(QStringLiteral("85"), when, c.locale);
    EXPECT_EQ(plain.toStdString(), c.plainText);
    EXPECT_FALSE(plain.contains(when.timeZoneAbbreviation())) << plain.toStdString();
    // The same second gives the same code, the next second another one.
    const QString code = varnel::MakeScoreCode(QStringLiteral("85"), when, c.locale);
    EXPECT_EQ(code, varnel::MakeScoreCode(QStringLiteral("85"), when.addMSecs(999), c.locale));
    EXPECT_NE(code, varnel::MakeScoreCode(QStringLiteral("85"), when.addSecs(1), c.locale));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ScoreCodeTimeTest,
    ::testing::Values(
        TimeCase{"german", QLocale(QLocale::German, QLocale::Germany), "05.03.24,21:07:09==85"},
        TimeCase{"usEnglishTwelveHours", QLocale(QLocale::English, QLocale::UnitedStates), "3/5/24,9:07:09 PM==85"},
        TimeCase{"finnishDots", QLocale(QLocale::Finnish, QLocale::Finland), "5.3.2024,21.07.09==85"},
        // The zone name comes first in this locale's time format.
        TimeCase{"chineseZoneInFront", QLocale(QLocale::Chinese, QLocale::China), "2024/3/5,21:07:09==85"},
        TimeCase{"japaneseUnits", QLocale(QLocale::Japanese, QLocale::Japan), "2024/03/05,21時07分09秒==85"},
        // The zone name in brackets: the empty brackets go too.
        TimeCase{"persianZoneInBrackets", QLocale(QLocale::Persian, QLocale::Iran), "۲۰۲۴/۳/۵,۲۱:۰۷:۰۹==85"}),
    [](const ::testing::TestParamInfo<TimeCase>& param) { return std::string(param.param.name); });

TEST(ScoreCodeTest, SameSecondSameCodeTwiceThePlainLength)
{
    const QLocale locale = QLocale::system();
    const QDateTime when(QDate(2031, 12, 31), QTime(23, 59, 58));
    const QString code = varnel::MakeScoreCode(QStringLiteral("42"), when, locale);
    EXPECT_EQ(code, varnel::MakeScoreCode(QStringLiteral("42"), when.addMSecs(500), locale));
    EXPECT_NE(code, varnel::MakeScoreCode(QStringLiteral("42"), when.addSecs(1), locale));
    EXPECT_EQ(code.size(), 2 * varnel::ScoreCodePlainText(QStringLiteral("42"), when, locale).toUtf8().size());
    EXPECT_NE(code, varnel::MakeScoreCode(QStringLiteral("43"), when, locale));
    EXPECT_TRUE(
        std::all_of(code.begin(), code.end(), [](QChar ch) { return ch.isDigit() || (ch >= u'A' && ch <= u'F'); }));
}

// The table's make-up is fixed: counts of answers and of points, the best score, and the
// particular questions the quiz is known by.
TEST(QuizTableTest, MakeUp)
{
    const auto& table = varnel::QuizQuestions();
    std::map<int, int> byAnswers;
    std::map<int, int> byPoints;
    int best = 0;
    for (const QuizQuestion& q : table) {
        ++byAnswers[q.answerCount];
        ++byPoints[q.points];
        best += q.points;
        EXPECT_GE(q.answerCount, 1) << q.question.toStdString();
        EXPECT_LE(q.answerCount, 6) << q.question.toStdString();
        EXPECT_GE(q.rightAnswer, 0) << q.question.toStdString();
        EXPECT_LT(q.rightAnswer, q.answerCount) << q.question.toStdString();
        EXPECT_FALSE(q.question.isEmpty());
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(q.answers[static_cast<std::size_t>(i)].isEmpty(), i >= q.answerCount)
                << q.question.toStdString() << " answer " << i;
    }
    EXPECT_EQ(table.size(), 35u);
    EXPECT_EQ(byAnswers, (std::map<int, int>{{1, 1}, {2, 4}, {3, 11}, {4, 11}, {5, 3}, {6, 5}}));
    EXPECT_EQ(byPoints, (std::map<int, int>{{-1, 1}, {1, 3}, {2, 20}, {3, 8}, {4, 1}, {5, 1}, {10, 1}}));
    EXPECT_EQ(best, 85);
}

TEST(QuizTableTest, KnownQuestions)
{
    const auto& table = varnel::QuizQuestions();
    const auto find = [&](auto predicate) { return std::find_if(table.begin(), table.end(), predicate); };

    const auto jackpot =
        find([](const QuizQuestion& q) { return q.question == "Is the jackpot a good or a bad thing ?"; });
    ASSERT_NE(jackpot, table.end());
    EXPECT_EQ(jackpot->answerCount, 3);
    EXPECT_EQ(jackpot->answers[0], "Good");
    EXPECT_EQ(jackpot->answers[1], "Bad");
    EXPECT_EQ(jackpot->answers[2], "Don't know");
    EXPECT_EQ(jackpot->rightAnswer, 1);
    EXPECT_EQ(jackpot->points, 3);

    // The single answer costs a point when chosen.
    const auto single = find([](const QuizQuestion& q) { return q.answerCount == 1; });
    ASSERT_NE(single, table.end());
    EXPECT_EQ(single->points, -1);
    EXPECT_EQ(single->rightAnswer, 0);

    // Exactly one question holds two identical answers "...", the second of which is right.
    int twins = 0;
    for (const QuizQuestion& q : table) {
        QStringList used(q.answers.begin(), q.answers.begin() + q.answerCount);
        if (used.removeDuplicates() == 0) continue;
        ++twins;
        EXPECT_EQ(used.size(), q.answerCount - 1) << q.question.toStdString();
        EXPECT_EQ(q.answers[static_cast<std::size_t>(q.rightAnswer)], "...");
        EXPECT_EQ(q.answers.begin() + q.rightAnswer,
                  std::find(q.answers.begin() + q.rightAnswer, q.answers.end(), QStringLiteral("...")));
        EXPECT_NE(std::find(q.answers.begin(), q.answers.begin() + q.rightAnswer, QStringLiteral("...")),
                  q.answers.begin() + q.rightAnswer)
            << "the right one is the second of the two";
    }
    EXPECT_EQ(twins, 1);

    // Some answer texts are shared by several questions, and no two questions are the same.
    QSet<QString> questions;
    std::map<QString, int> answerUse;
    for (const QuizQuestion& q : table) {
        questions.insert(q.question);
        QSet<QString> own;
        for (int i = 0; i < q.answerCount; ++i) own.insert(q.answers[static_cast<std::size_t>(i)]);
        for (const QString& a : own) ++answerUse[a];
    }
    EXPECT_EQ(questions.size(), 35);
    EXPECT_TRUE(std::any_of(answerUse.begin(), answerUse.end(), [](const auto& kv) { return kv.second > 1; }));
}
