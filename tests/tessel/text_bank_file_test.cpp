// Text banks on disk: the one message for a load's unknown characters, saving and exporting
// through a temporary file, and what a refused or failed write leaves behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "test_support.h"
#include "text_bank.h"
#include "text_bank_file.h"

using namespace testing_support;
using tessel::TextBankEntry;
using tessel::UnknownCharacter;

namespace {

QString firstMessage(int code, int position)
{
    return QStringLiteral(
               "Please email me with the following message:\n\r\"Unkown character :%1 at :%2 \"\n\r"
               "and supply the filename (eg. text008.qbt)")
        .arg(code)
        .arg(position);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TextBankEntry entry(const QString& text, int frame)
{
    TextBankEntry e;
    e.text = text;
    e.frame = frame;
    e.hasFrame = frame >= 0;
    return e;
}

}  // namespace

struct SummaryCase {
    const char* name;
    std::vector<UnknownCharacter> found;
    QString expected;
};

class UnknownSummaryTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(UnknownSummaryTest, OneMessageForTheLoad)
{
    EXPECT_EQ(tessel::UnknownCharactersMessage(GetParam().found), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Loads, UnknownSummaryTest,
    ::testing::Values(
        SummaryCase{"None", {}, QString()}, SummaryCase{"OneIsTheReadersMessage", {{134, 6}}, firstMessage(134, 6)},
        SummaryCase{"SeveralAreCounted",
                    {{134, 6}, {255, 8}, {134, 20}},
                    firstMessage(134, 6) + QStringLiteral("\n\n3 unknown characters in all, at :6, 8, 20")},
        SummaryCase{"OnlyTheFirstTenPositions",
                    {{200, 1},
                     {200, 2},
                     {200, 3},
                     {200, 4},
                     {200, 5},
                     {200, 6},
                     {200, 7},
                     {200, 8},
                     {200, 9},
                     {200, 10},
                     {200, 11}},
                    firstMessage(200, 1) +
                        QStringLiteral("\n\n11 unknown characters in all, at :1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ...")}),
    [](const ::testing::TestParamInfo<SummaryCase>& p) { return std::string(p.param.name); });

// The load keeps every unknown code with its position, in file order, beside the one-by-one reports.
TEST(TextBankLoad, GathersUnknownCharacters)
{
    const QByteArray bank = words({6, 9, 12}) + QByteArray("A\x86") + '\0' +
                            QByteArray(
                                "\xFF"
                                "B") +
                            '\0';
    const tessel::TextBankLoad load = tessel::readTextBank(bank, true, nullptr);
    ASSERT_EQ(load.status, tessel::TextBankLoad::Status::Loaded);
    const std::vector<UnknownCharacter> expected = {{134, 8}, {255, 10}};
    EXPECT_EQ(load.unknownCharacters, expected);
}

TEST(SaveTextBank, WritesTheBankAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.qbt"));
    const std::vector<TextBankEntry> entries = {entry(QStringLiteral("One"), 1), entry(QStringLiteral("Two"), 0)};
    QString error;
    ASSERT_TRUE(tessel::SaveTextBank(path, entries, false, nullptr, &error)) << error.toStdString();
    QByteArray expected;
    ASSERT_TRUE(tessel::WriteTextBank(entries, false, nullptr, &expected, nullptr));
    EXPECT_EQ(readAll(path), expected);
    const tessel::TextBankLoad back = tessel::LoadTextFile(path, false, nullptr);
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[1].frame, 0);
    EXPECT_EQ(back.entries[1].text, QStringLiteral("Two"));
}

// A refusal or a failed write leaves the file that was there as it was, and no temporary file.
TEST(SaveTextBank, RefusalsLeaveTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.qbt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old bank");
    }
    QString error;
    EXPECT_FALSE(tessel::SaveTextBank(path, {entry(QString(70000, QLatin1Char('x')), 1)}, false, nullptr, &error));
    EXPECT_EQ(error, QString::fromLatin1(tessel::kOver64KMessage));
    EXPECT_FALSE(tessel::SaveTextBank(path, {entry(QStringLiteral("x"), 1), entry(QStringLiteral("y"), -1)}, false,
                                      nullptr, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Entry 2 "))) << error.toStdString();
    EXPECT_FALSE(tessel::SaveTextBank(dir.filePath(QStringLiteral("no/such/folder/x.qbt")),
                                      {entry(QStringLiteral("x"), 1)}, false, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("old bank"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.qbt")});
}

TEST(ExportTextFile, WritesUtf8WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    const std::vector<TextBankEntry> entries = {entry(QString::fromUtf16(u"caf\u00e9\r\nbar"), 1)};
    const QDateTime when(QDate(2024, 5, 14), QTime(9, 30));
    QString error;
    ASSERT_TRUE(tessel::ExportTextFile(path, entries, QStringLiteral("/x/a.qbt"), when, &error));
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes, tessel::ExportToText(entries, QStringLiteral("/x/a.qbt"), when).toUtf8());
    EXPECT_TRUE(bytes.contains("1:\r\ncaf\xC3\xA9\r\nbar\r\n\r\n"));
}
