// Editing one text of a loaded bank: later offsets follow the change in encoded length, the
// frame follows the editor's choice, and characters the games lack are reported.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "operation_observer.h"
#include "text_bank.h"

using tessel::TextBankEntry;

namespace {

// The notices an edit gives, in order.
class Notices : public kestrix::OperationObserver {
public:
    void notice(const QString& text) override { texts << text; }
    void soundRequest(kestrix::Sound) override { ADD_FAILURE() << "an edit plays no sound"; }
    QStringList texts;
};

QString unsupported(char16_t ch, int code)
{
    return QStringLiteral("Character \"") + QChar(ch) + QStringLiteral("\" [") + QString::number(code) +
           QStringLiteral("] is not supported in Quarn");
}

// A bank as loaded: "abc", "de", "fghi", written and read again so that the offsets are the
// reader's. Quarn 2 frames 1, 3, 9: texts at 8, 13, 17. Quarn 1: at 8, 12, 15.
std::vector<TextBankEntry> loadedBank(bool quarn1)
{
    std::vector<TextBankEntry> entries(3);
    const char* texts[] = {"abc", "de", "fghi"};
    const int frames[] = {1, 3, 9};
    for (int i = 0; i < 3; ++i) {
        entries[i].text = QString::fromLatin1(texts[i]);
        entries[i].frame = quarn1 ? -1 : frames[i];
        entries[i].hasFrame = !quarn1;
    }
    QByteArray bytes;
    EXPECT_TRUE(tessel::WriteTextBank(entries, quarn1, nullptr, &bytes, nullptr));
    return tessel::readTextBank(bytes, quarn1, nullptr).entries;
}

std::vector<int> offsetsOf(const std::vector<TextBankEntry>& entries)
{
    std::vector<int> out;
    for (const TextBankEntry& e : entries) out.push_back(e.offset);
    return out;
}

std::vector<int> framesOf(const std::vector<TextBankEntry>& entries)
{
    std::vector<int> out;
    for (const TextBankEntry& e : entries) out.push_back(e.frame);
    return out;
}

struct EditCase {
    const char* name;
    bool quarn1;
    std::size_t row;
    QString text;
    int frame;
    std::vector<int> offsets;
    std::vector<int> frames;
    QStringList notices;
};

const EditCase kEditCases[] = {
    {"SameLength", false, 1, QStringLiteral("DE"), 3, {8, 13, 17}, {1, 3, 9}, {}},
    {"Longer", false, 0, QStringLiteral("abcdef"), 1, {8, 16, 20}, {1, 3, 9}, {}},
    {"Shorter", false, 1, QString(), 3, {8, 13, 15}, {1, 3, 9}, {}},
    {"LineBreakIsOneByte", false, 0, QStringLiteral("a\r\nbc"), 1, {8, 14, 18}, {1, 3, 9}, {}},
    {"UnsupportedCharacters",
     false,
     1,
     QString::fromUtf16(u"d\u0100\u20ACe"),
     3,
     {8, 13, 19},
     {1, 3, 9},
     {unsupported(u'\u0100', 256), unsupported(u'\u20AC', 128)}},
    {"GameCharactersGiveNoNotice", false, 1, QString::fromUtf16(u"d\u00E9\u00E3e"), 3, {8, 13, 19}, {1, 3, 9}, {}},
    {"FrameOnly", false, 1, QStringLiteral("de"), 33, {8, 13, 17}, {1, 33, 9}, {}},
    {"NoFrameChosenKeepsTheFrame", false, 2, QStringLiteral("fghi"), -1, {8, 13, 17}, {1, 3, 9}, {}},
    {"LastRowMovesNothing", false, 2, QStringLiteral("fghijklm"), 129, {8, 13, 17}, {1, 3, 129}, {}},
    {"Quarn1IgnoresTheFrame", true, 0, QStringLiteral("ab"), 33, {8, 11, 14}, {-1, -1, -1}, {}},
};

class TextEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(TextEditTest, AppliesTextFrameAndShift)
{
    const EditCase& c = GetParam();
    std::vector<TextBankEntry> entries = loadedBank(c.quarn1);
    const std::vector<TextBankEntry> before = entries;
    Notices notices;
    ASSERT_TRUE(tessel::ApplyTextEdit(entries, c.row, c.text, c.frame, c.quarn1, &notices));

    EXPECT_EQ(offsetsOf(entries), c.offsets);
    EXPECT_EQ(framesOf(entries), c.frames);
    EXPECT_EQ(notices.texts, c.notices);
    EXPECT_EQ(entries[c.row].text, c.text);
    EXPECT_TRUE(entries[c.row].hasText);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (i != c.row) {
            EXPECT_EQ(entries[i].text, before[i].text) << "row " << i;
        }

    // The offsets are where the writer puts the texts: the written bank reads back the same.
    QByteArray bytes;
    ASSERT_TRUE(tessel::WriteTextBank(entries, c.quarn1, nullptr, &bytes, nullptr));
    const std::vector<TextBankEntry> reread = tessel::readTextBank(bytes, c.quarn1, nullptr).entries;
    EXPECT_EQ(offsetsOf(reread), c.offsets);
    EXPECT_EQ(framesOf(reread), c.frames);
    if (c.notices.isEmpty()) {
        EXPECT_EQ(reread[c.row].text, c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(TextBank, TextEditTest, ::testing::ValuesIn(kEditCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(TextEditRangeTest, RowOutsideTheListChangesNothing)
{
    std::vector<TextBankEntry> entries = loadedBank(false);
    const std::vector<TextBankEntry> before = entries;
    Notices notices;
    EXPECT_FALSE(tessel::ApplyTextEdit(entries, 3, QString::fromUtf16(u"x\u0100"), 1, false, &notices));
    EXPECT_EQ(entries, before);
    EXPECT_TRUE(notices.texts.isEmpty());
    std::vector<TextBankEntry> none;
    EXPECT_FALSE(tessel::ApplyTextEdit(none, 0, QStringLiteral("x"), 1, false, nullptr));
}

}  // namespace
