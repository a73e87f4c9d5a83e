// Text banks: the character tables, the validity test, the offset table, reading in both
// dialects, encoded lengths and offset shifts, the writer's layouts and refusals, round trips and
// the plain-text export.

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include <QDateTime>
#include <QLocale>

#include "operation_observer.h"
#include "test_support.h"
#include "text_bank.h"

using namespace testing_support;
using tessel::TextBankEntry;
using tessel::TextBankLoad;

namespace {

// WriteTextBank's outcome in one value, for the checks below.
struct Written {
    bool ok = false;
    QByteArray bytes;
    QString error;
};

Written writeToBytes(const std::vector<TextBankEntry>& entries, bool quarn1, kestrix::OperationObserver* observer)
{
    Written w;
    w.ok = tessel::WriteTextBank(entries, quarn1, observer, &w.bytes, &w.error);
    return w;
}

// What the core reports, in order: "sound N" for a sound request, the text of each notice.
class Recorder : public kestrix::OperationObserver {
public:
    void notice(const QString& text) override { events << text; }
    void soundRequest(kestrix::Sound sound) override
    {
        events << QStringLiteral("sound %1").arg(kestrix::SoundNumber(sound));
    }
    QStringList events;
};

int wordAt(const QByteArray& bytes, qsizetype at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Test names from the cases' own names.
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& param)
{
    return param.param.name;
}

void putWord(QByteArray& bytes, qsizetype at, int value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// One Quarn 1 text at offset 4: the table [4, size], the characters and their 0 byte.
QByteArray quarn1Bank(const QByteArray& characters)
{
    return words({4, static_cast<int>(4 + characters.size() + 1)}) + characters + '\0';
}

TextBankEntry entry(const QString& text, int frame = -1)
{
    TextBankEntry e;
    e.text = text;
    e.frame = frame;
    e.hasFrame = frame >= 0;
    return e;
}

std::vector<int> offsetsOf(const std::vector<TextBankEntry>& entries)
{
    std::vector<int> out;
    for (const TextBankEntry& e : entries) out.push_back(e.offset);
    return out;
}

std::vector<int> tableOf(const QByteArray& bank, std::size_t count)
{
    std::vector<int> out;
    for (std::size_t i = 0; i < count; ++i) out.push_back(wordAt(bank, static_cast<qsizetype>(2 * i)));
    return out;
}

Bytes toBytes(const QByteArray& b)
{
    return Bytes(b.begin(), b.end());
}

// Compares two entry lists field by field and names the first entry (and character) that differs.
::testing::AssertionResult sameEntries(const std::vector<TextBankEntry>& got, const std::vector<TextBankEntry>& want)
{
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << got.size() << " entries instead of " << want.size();
    for (std::size_t i = 0; i < got.size(); ++i) {
        const TextBankEntry& g = got[i];
        const TextBankEntry& w = want[i];
        if (g == w) continue;
        auto failure = ::testing::AssertionFailure() << "entry " << i + 1 << " differs:";
        if (g.offset != w.offset) failure << " offset " << g.offset << " instead of " << w.offset;
        if (g.frame != w.frame || g.hasFrame != w.hasFrame)
            failure << " frame " << g.frame << "/" << g.hasFrame << " instead of " << w.frame << "/" << w.hasFrame;
        if (g.hasText != w.hasText) failure << " hasText " << g.hasText;
        if (g.text != w.text) {
            qsizetype k = 0;
            while (k < g.text.size() && k < w.text.size() && g.text[k] == w.text[k]) ++k;
            failure << " text differs first at character " << k << " (lengths " << g.text.size() << " and "
                    << w.text.size() << ")";
        }
        return failure;
    }
    return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------------------------
// The character tables

struct GlyphPair {
    std::uint8_t game;
    char16_t shown;
};

// Game code -> displayed character. The characters are the Windows-1252 glyphs the games' table
// names, written as Unicode; each was checked with Python's codec, for instance
// bytes([0x9c]).decode('cp1252') == '\u0153', bytes([0x8c]).decode('cp1252') == '\u0152',
// bytes([0x99]).decode('cp1252') == '\u2122', bytes([0xa9]).decode('cp1252') == '\u00a9'.
constexpr GlyphPair kDecodeTable[] = {
    {0x80, u'\u00C7'}, {0x81, u'\u00FC'}, {0x82, u'\u00E9'}, {0x83, u'\u00E2'}, {0x84, u'\u00E4'}, {0x85, u'\u00E0'},
    {0x87, u'\u00E7'}, {0x88, u'\u00EA'}, {0x89, u'\u00EB'}, {0x8A, u'\u00E8'}, {0x8B, u'\u00EF'}, {0x8C, u'\u00EE'},
    {0x8D, u'\u00EC'}, {0x8E, u'\u00C4'}, {0x90, u'\u00C9'}, {0x91, u'\u00E6'}, {0x92, u'\u00C6'}, {0x93, u'\u00F4'},
    {0x94, u'\u00F6'}, {0x95, u'\u00F2'}, {0x96, u'\u00FB'}, {0x97, u'\u00F9'}, {0x98, u'\u00FF'}, {0x99, u'\u00D6'},
    {0x9A, u'\u00DC'}, {0x9C, u'\u00A3'}, {0xA0, u'\u00E1'}, {0xA1, u'\u00ED'}, {0xA2, u'\u00F3'}, {0xA3, u'\u00FA'},
    {0xA4, u'\u00F1'}, {0xA5, u'\u00D1'}, {0xA8, u'\u00BF'}, {0xAD, u'\u00A1'}, {0xB0, u'\u00E3'}, {0xB1, u'\u00F5'},
    {0xB4, u'\u0153'}, {0xB5, u'\u0152'}, {0xB6, u'\u00C0'}, {0xB7, u'\u00C3'}, {0xB8, u'\u00D5'}, {0xBD, u'\u00A9'},
    {0xBE, u'\u00A4'}, {0xBF, u'\u2122'}, {0xC6, u'\u00E3'}, {0xC7, u'\u00C3'}, {0xE1, u'\u00DF'}, {0xE4, u'\u00F5'},
    {0xF4, u'\u002A'}, {0xF8, u'\u00B0'}, {0xF9, u'\u002A'},
};
static_assert(std::size(kDecodeTable) == 51);

// The code written for a glyph that two game codes share: the first of the pair; "*" is ASCII.
int writtenCodeFor(std::uint8_t game)
{
    switch (game) {
    case 0xC6:
        return 0xB0;
    case 0xC7:
        return 0xB7;
    case 0xE4:
        return 0xB1;
    case 0xF4:
    case 0xF9:
        return 0x2A;
    default:
        return game;
    }
}

TEST(TextBankCharsetTest, DecodesTheFiftyOneGameCodesAndOnlyThem)
{
    std::array<bool, 256> inTable{};
    for (const GlyphPair& p : kDecodeTable) {
        inTable[p.game] = true;
        bool known = false;
        EXPECT_EQ(tessel::GameCharToAnsi(p.game, &known), QChar(p.shown)) << "code " << int{p.game};
        EXPECT_TRUE(known) << "code " << int{p.game};
    }
    for (int code = 0x80; code < 0x100; ++code) {
        if (inTable[static_cast<std::size_t>(code)]) continue;
        bool known = true;
        EXPECT_EQ(tessel::GameCharToAnsi(static_cast<std::uint8_t>(code), &known), QChar(u'\u00D7')) << "code " << code;
        EXPECT_FALSE(known) << "code " << code;
    }

    // The same through the reader: one text holding every code of the table, in table order.
    QByteArray stored;
    QString shown;
    for (const GlyphPair& p : kDecodeTable) {
        stored += static_cast<char>(p.game);
        shown += QChar(p.shown);
    }
    Recorder rec;
    const TextBankLoad load = tessel::readTextBank(quarn1Bank(stored), true, &rec);
    ASSERT_EQ(load.status, TextBankLoad::Status::Loaded);
    ASSERT_EQ(load.entries.size(), 1u);
    EXPECT_EQ(load.entries[0].text, shown);
    EXPECT_TRUE(rec.events.isEmpty()) << rec.events.join(u'|').toStdString();
}

TEST(TextBankCharsetTest, EncodesFortySixGlyphsWithTheChosenCodes)
{
    for (const GlyphPair& p : kDecodeTable) {
        const auto code = tessel::AnsiCharToGame(QChar(p.shown));
        ASSERT_TRUE(code.has_value()) << "glyph of code " << int{p.game};
        EXPECT_EQ(int{*code}, writtenCodeFor(p.game)) << "glyph of code " << int{p.game};
    }
    for (char16_t u = 0; u < 127; ++u) {
        const auto code = tessel::AnsiCharToGame(QChar(u));
        ASSERT_TRUE(code.has_value()) << int{u};
        EXPECT_EQ(int{*code}, int{u});
    }
    int withCode = 0;
    for (int u = 127; u <= 0xFFFF; ++u)
        if (tessel::AnsiCharToGame(QChar(static_cast<char16_t>(u)))) ++withCode;
    EXPECT_EQ(withCode, 46);
    EXPECT_FALSE(tessel::AnsiCharToGame(QChar(u'\u007F')));
    EXPECT_FALSE(tessel::AnsiCharToGame(QChar(u'\u00D7')));  // the glyph of unknown codes
    EXPECT_FALSE(tessel::AnsiCharToGame(QChar(u'\u20AC')));  // Windows-1252 80, not in the games' set
}

TEST(TextBankCharsetTest, FrameKindsOfTheEditor)
{
    const std::pair<int, const char*> expected[] = {
        {1, ": normal"},
        {3, ": big frame"},
        {5, ": no-frame/big picture"},
        {9, ": no frame"},
        {17, ": holomap locations"},
        {33, ": radio"},
        {35, ": radio/big frame"},
        {65, ": inventory description"},
        {129, ": demo text"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(tessel::kFrameKinds[i].value, expected[i].first);
        EXPECT_STREQ(tessel::kFrameKinds[i].label, expected[i].second);
    }
}

// One text's bytes read and written back: what is shown, what is stored again, what is reported.
struct CharacterCase {
    const char* name;
    QByteArray stored;       // the characters of a Quarn 1 text at offset 4, without its 0 byte
    QString shown;           // the display text read from them
    QByteArray writtenBack;  // the characters WriteTextBank stores for `shown`
    QStringList readEvents;
    QStringList writeEvents;
};

void PrintTo(const CharacterCase& c, std::ostream* os)
{
    *os << c.name;
}

QString unsupported(const QString& ch, int code)
{
    return QStringLiteral("Character \"") + ch + QStringLiteral("\" [") + QString::number(code) +
           QStringLiteral("] is not supported in Quarn");
}

std::vector<CharacterCase> characterCases()
{
    return {
        {"SharedGlyphsWriteOneCode",
         raw({0xB0, 0xC6, 0xB7, 0xC7, 0xB1, 0xE4, 0xF4, 0xF9}),
         QString::fromUtf16(u"\u00E3\u00E3\u00C3\u00C3\u00F5\u00F5**"),
         raw({0xB0, 0xB0, 0xB7, 0xB7, 0xB1, 0xB1, 0x2A, 0x2A}),
         {},
         {}},
        {"GlyphsBeyondLatin1",
         raw({0xB4, 0xB5, 0xBF, 0xBD, 0x9C}),
         QString::fromUtf16(u"\u0153\u0152\u2122\u00A9\u00A3"),
         raw({0xB4, 0xB5, 0xBF, 0xBD, 0x9C}),
         {},
         {}},
        {"AsciiStaysItself", QByteArray(" Az09~*!?"), QStringLiteral(" Az09~*!?"), QByteArray(" Az09~*!?"), {}, {}},
        {"ControlBytesVanish",
         raw({'A', 0x01, 0x09, 0x0A, 0x0D, 0x1F, 'B'}),
         QStringLiteral("AB"),
         QByteArray("AB"),
         {},
         {}},
        {"AtIsALineBreak", QByteArray("one@two@"), QStringLiteral("one\r\ntwo\r\n"), QByteArray("one@two@"), {}, {}},
        {"DelIsKeptAndReportedOnWrite",
         raw({'A', 0x7F, 'B'}),
         QString::fromUtf16(u"A\u007FB"),
         raw({'A', 0x7F, 'B'}),
         {},
         {unsupported(QString(QChar(0x7F)), 127)}},
        // Text at 4: 'A' at 4, 86 at 5, 'B' at 6, FF at 7; each message gives the position after its byte.
        {"UnknownCodesShowACrossEach",
         raw({'A', 0x86, 'B', 0xFF}),
         QString::fromUtf16(u"A\u00D7B\u00D7"),
         raw({'A', 0xD7, 'B', 0xD7}),
         {QStringLiteral("sound 25221"),
          QStringLiteral("Please email me with the following message:\n\r\"Unkown character :134 at :6 \"\n\r"
                         "and supply the filename (eg. text008.qbt)"),
          QStringLiteral("sound 25221"),
          QStringLiteral("Please email me with the following message:\n\r\"Unkown character :255 at :8 \"\n\r"
                         "and supply the filename (eg. text008.qbt)")},
         {unsupported(QString(QChar(0xD7)), 215), unsupported(QString(QChar(0xD7)), 215)}},
    };
}

class CharacterTest : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(CharacterTest, ReadsAndWritesBack)
{
    const CharacterCase& c = GetParam();
    Recorder readRec;
    const TextBankLoad load = tessel::readTextBank(quarn1Bank(c.stored), true, &readRec);
    ASSERT_EQ(load.status, TextBankLoad::Status::Loaded);
    ASSERT_EQ(load.entries.size(), 1u);
    EXPECT_EQ(load.entries[0].text, c.shown);
    EXPECT_EQ(readRec.events, c.readEvents);

    Recorder writeRec;
    const Written w = writeToBytes({entry(c.shown)}, true, &writeRec);
    ASSERT_TRUE(w.ok) << w.error.toStdString();
    EXPECT_EQ(w.bytes.mid(4, c.writtenBack.size() + 1), c.writtenBack + '\0');
    EXPECT_EQ(writeRec.events, c.writeEvents);
}

INSTANTIATE_TEST_SUITE_P(TextBank, CharacterTest, ::testing::ValuesIn(characterCases()), caseName<CharacterCase>);

TEST(TextBankCharsetTest, TypedTextIsWrittenAsTheGamesReadIt)
{
    // A typed "@" is a line break in the bank; a lone carriage return is one too; line feeds,
    // tabs and other controls are not stored; a character outside Windows-1252 becomes "?".
    Recorder rec;
    const Written w = writeToBytes({entry(QString::fromUtf16(u"a@b\nc\td\re\u0100\u20AC"))}, true, &rec);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.bytes.mid(4, 10), raw({'a', '@', 'b', 'c', 'd', '@', 'e', '?', 0x80, 0}));
    EXPECT_EQ(rec.events,
              QStringList({unsupported(QString(QChar(0x100)), 256), unsupported(QString(QChar(0x20AC)), 128)}));

    const TextBankLoad back = tessel::readTextBank(w.bytes, true, nullptr);
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].text, QString::fromUtf16(u"a\r\nbcd\r\ne?\u00C7"));
}

// ---------------------------------------------------------------------------------------------
// The validity test and the offset table

struct ValidityCase {
    const char* name;
    QByteArray (*make)();
    bool possible;
    TextBankLoad::Status status;
    const char* message;  // the exact message for a refusal
    std::size_t entries;
};

void PrintTo(const ValidityCase& c, std::ostream* os)
{
    *os << c.name;
}

QByteArray zeros(qsizetype n)
{
    return QByteArray(n, '\0');
}

const ValidityCase kValidityCases[] = {
    {"TwoBytesHoldNoTexts",
     [] {
         return raw({0x02, 0x00});
     },
     true, TextBankLoad::Status::Loaded, "", 0},
    // Size 5 = 05 00, found only at position 1; the word 0x0541 at 0 is an offset, 0 is skipped.
    {"SizeAtAnOddPosition",
     [] {
         return raw({0x41, 0x05, 0x00, 0x00, 0x00});
     },
     true, TextBankLoad::Status::Loaded, "", 1},
    {"SizeBigEndianOnly",
     [] {
         return raw({0x00, 0x05, 0x41, 0x42, 0x43});
     },
     false, TextBankLoad::Status::Invalid, "This does not appear to be a \"possible\" Quarn text file.", 0},
    {"SizeNowhere", [] { return QByteArray("ABCD"); }, false, TextBankLoad::Status::Invalid,
     "This does not appear to be a \"possible\" Quarn text file.", 0},
    {"Empty", [] { return QByteArray(); }, false, TextBankLoad::Status::Invalid,
     "This does not appear to be a \"possible\" Quarn text file.", 0},
    {"OneByte", [] { return raw({0x01}); }, false, TextBankLoad::Status::Invalid,
     "This does not appear to be a \"possible\" Quarn text file.", 0},
    // 65541 = 0x10005: its low 16 bits 05 00 at position 100 make it possible; that word is an offset.
    {"Over65535ByItsLow16Bits",
     [] {
         QByteArray b = zeros(65541);
         putWord(b, 100, 5);
         return b;
     },
     true, TextBankLoad::Status::Loaded, "", 1},
    {"Over65535WithoutItsLow16Bits",
     [] {
         QByteArray b = zeros(65541);
         putWord(b, 100, 6);
         return b;
     },
     false, TextBankLoad::Status::Invalid, "This does not appear to be a \"possible\" Quarn text file.", 0},
    // 4,000,000 = 0x3D0900 and 4,000,001 = 0x3D0901.
    {"ExactlyTheSizeLimit",
     [] {
         QByteArray b = zeros(4000000);
         putWord(b, 10, 0x0900);
         return b;
     },
     true, TextBankLoad::Status::Loaded, "", 1},
    {"OneByteOverTheSizeLimit",
     [] {
         QByteArray b = zeros(4000001);
         putWord(b, 10, 0x0901);
         return b;
     },
     false, TextBankLoad::Status::TooLarge, "This file is to large to open", 0},
};

class ValidityTest : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(ValidityTest, AcceptsOrRefusesWithTheMessage)
{
    const ValidityCase& c = GetParam();
    const QByteArray bytes = c.make();
    EXPECT_EQ(tessel::isPossibleTextBank(bytes), c.possible);
    const TextBankLoad load = tessel::readTextBank(bytes, false, nullptr);
    EXPECT_EQ(load.status, c.status);
    EXPECT_EQ(load.error, QString::fromUtf8(c.message));
    EXPECT_EQ(load.entries.size(), c.entries);
}

INSTANTIATE_TEST_SUITE_P(TextBank, ValidityTest, ::testing::ValuesIn(kValidityCases), caseName<ValidityCase>);

TEST(TextBankLoadTest, LoadTextFileReadsFilesAndRefusesLargeOnes)
{
    TempFolder dir;
    EXPECT_EQ(tessel::LoadTextFile(QString(), true, nullptr).status, TextBankLoad::Status::NoFile);
    EXPECT_EQ(tessel::LoadTextFile(dir.path("missing.qbt"), true, nullptr).status, TextBankLoad::Status::NoFile);

    writeFile(dir.path("small.qbt"), toBytes(quarn1Bank("Harbour")));
    TextBankLoad load = tessel::LoadTextFile(dir.path("small.qbt"), true, nullptr);
    ASSERT_EQ(load.status, TextBankLoad::Status::Loaded);
    ASSERT_EQ(load.entries.size(), 1u);
    EXPECT_EQ(load.entries[0].text, QStringLiteral("Harbour"));

    writeFile(dir.path("huge.qbt"), Bytes(4000001, 0));
    load = tessel::LoadTextFile(dir.path("huge.qbt"), true, nullptr);
    EXPECT_EQ(load.status, TextBankLoad::Status::TooLarge);
    EXPECT_EQ(load.error, QStringLiteral("This file is to large to open"));

    writeFile(dir.path("notes.qbt"), bytesOf("no size here"));
    load = tessel::LoadTextFile(dir.path("notes.qbt"), true, nullptr);
    EXPECT_EQ(load.status, TextBankLoad::Status::Invalid);
    EXPECT_EQ(load.error, QStringLiteral("This does not appear to be a \"possible\" Quarn text file."));
    EXPECT_STREQ(tessel::kInvalidFileTitle, "Invalid file");
}

struct TableCase {
    const char* name;
    QByteArray (*make)();
    std::vector<int> offsets;
    QStringList quarn1Texts;
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.name;
}

const TableCase kTableCases[] = {
    // The word 9 behind the end word is never read.
    {"ZeroWordsSkippedStopAtTheSize",
     [] {
         return words({0, 10, 0, 12, 9}) + QByteArray("a", 2);
     },
     {10},
     {"a"}},
    // [6, 4, size 72]: the word at 4 is the end word 72 = "H" 00, read as a text like any other.
    {"WordPointingIntoTheTable",
     [] {
         QByteArray b = words({6, 4, 72}) + QByteArray("Hi", 3);
         b.resize(72, '\0');
         return b;
     },
     {6, 4},
     {"Hi", "H"}},
    {"OutOfOrderAndRepeated",
     [] {
         return words({10, 8, 10, 12}) + QByteArray("b\0a", 4);
     },
     {10, 8, 10},
     {"a", "b", "a"}},
    // 65540 bytes: no word can hold the size, so every non-zero word up to the end is an offset:
    // the word 4 at 0 that holds the size's low 16 bits, 0xFFFF, the text "far" 0 at 20 itself
    // ("fa" = 0x6166, "r" 0 = 0x72) and the last word 20.
    {"NoEndWordOver65535",
     [] {
         QByteArray b = zeros(65540);
         putWord(b, 0, 4);
         putWord(b, 6, 0xFFFF);
         putWord(b, 65538, 20);
         b.replace(20, 4, "far", 4);
         return b;
     },
     {4, 0xFFFF, 0x6166, 0x72, 20},
     {"", "", "", "", "far"}},
};

class OffsetTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(OffsetTableTest, ReadsTheWordsInFileOrder)
{
    const TableCase& c = GetParam();
    const QByteArray bytes = c.make();
    EXPECT_EQ(tessel::readOffsetTable(bytes), c.offsets);
    const TextBankLoad load = tessel::readTextBank(bytes, true, nullptr);
    ASSERT_EQ(load.status, TextBankLoad::Status::Loaded);
    EXPECT_EQ(offsetsOf(load.entries), c.offsets);
    QStringList texts;
    for (const TextBankEntry& e : load.entries) texts << e.text;
    EXPECT_EQ(texts, c.quarn1Texts);
}

INSTANTIATE_TEST_SUITE_P(TextBank, OffsetTableTest, ::testing::ValuesIn(kTableCases), caseName<TableCase>);

// ---------------------------------------------------------------------------------------------
// Reading texts in the two dialects

TEST(TextBankReadTest, TheDialectDecidesWhatTheFirstByteIs)
{
    // A Quarn 1 bank: "Hello" and "Bye". Read as Quarn 2, each loses its first character to the frame.
    const QByteArray q1 = words({6, 12, 16}) + QByteArray("Hello\0Bye", 10);
    TextBankLoad load = tessel::readTextBank(q1, true, nullptr);
    ASSERT_EQ(load.entries.size(), 2u);
    EXPECT_TRUE(sameEntries(load.entries, {{6, "Hello", -1, true, false}, {12, "Bye", -1, true, false}}));
    load = tessel::readTextBank(q1, false, nullptr);
    EXPECT_TRUE(sameEntries(load.entries, {{6, "ello", 'H', true, true}, {12, "ye", 'B', true, true}}));

    // A Quarn 2 bank: frame 1 "Hi!", frame 33 "Radio". Read as Quarn 1, frame 1 is a control byte
    // and vanishes, frame 33 is "!".
    const QByteArray q2 = words({6, 11, 18}) + QByteArray("\x01Hi!\0\x21Radio", 12);
    load = tessel::readTextBank(q2, false, nullptr);
    EXPECT_TRUE(sameEntries(load.entries, {{6, "Hi!", 1, true, true}, {11, "Radio", 33, true, true}}));
    load = tessel::readTextBank(q2, true, nullptr);
    EXPECT_TRUE(sameEntries(load.entries, {{6, "Hi!", -1, true, false}, {11, "!Radio", -1, true, false}}));
}

struct ReadCase {
    const char* name;
    int offset;
    bool quarn1;
    TextBankEntry expected;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

// 04 00 0B 00 | 09 'o' 'k' 00 | 00 'Y' 'Z': 11 bytes, the last text without its 0 byte.
const QByteArray kEdgeBank = words({4, 11}) + QByteArray("\x09ok\0\0YZ", 7);

const ReadCase kReadCases[] = {
    {"Quarn2FrameThenText", 4, false, {4, "ok", 9, true, true}},
    {"Quarn1DropsTheControlByte", 4, true, {4, "ok", -1, true, false}},
    {"Quarn2FrameZeroRunsToTheEnd", 8, false, {8, "YZ", 0, true, true}},
    {"Quarn1RunsToTheEnd", 9, true, {9, "YZ", -1, true, false}},
    {"Quarn2FrameFromTheLastButOneByte", 9, false, {9, "Z", 'Y', true, true}},
    {"Quarn2AtTheLastByte", 10, false, {10, "", -1, false, false}},
    {"Quarn1AtTheLastByte", 10, true, {10, "", -1, false, false}},
    {"AtTheSize", 11, false, {11, "", -1, false, false}},
    {"FarBeyond", 40000, true, {40000, "", -1, false, false}},
};

class ReadTextAtTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTextAtTest, GivesTextAndFrame)
{
    const ReadCase& c = GetParam();
    EXPECT_TRUE(sameEntries({tessel::ReadTextAt(kEdgeBank, c.offset, c.quarn1, nullptr)}, {c.expected}));
}

INSTANTIATE_TEST_SUITE_P(TextBank, ReadTextAtTest, ::testing::ValuesIn(kReadCases), caseName<ReadCase>);

// ---------------------------------------------------------------------------------------------
// Encoded lengths and offset shifts

struct LengthCase {
    const char* name;
    QString text;
    int bytes;
};

void PrintTo(const LengthCase& c, std::ostream* os)
{
    *os << c.name;
}

const LengthCase kLengthCases[] = {
    {"Empty", QString(), 0},
    {"Ascii", QStringLiteral("Hello"), 5},
    {"LineBreakIsOneByte", QStringLiteral("a\r\nb"), 3},
    {"TableGlyphs", QString::fromUtf16(u"\u00E9\u0153\u2122"), 3},
    {"ControlsCountNothing", QStringLiteral("\t\n\x01"), 0},
    {"LoneCarriageReturn", QStringLiteral("\r"), 1},
    {"WithoutGameCode", QString::fromUtf16(u"\u20AC\u0100\u007F"), 3},
};

class EncodedLengthTest : public ::testing::TestWithParam<LengthCase> {};

// The count matches the bytes the writer stores: the text runs from 6 to its 0 byte, and the
// next text starts right after.
TEST_P(EncodedLengthTest, CountsTheBytesWritten)
{
    const LengthCase& c = GetParam();
    EXPECT_EQ(tessel::EncodedLength(c.text), c.bytes);
    const Written w = writeToBytes({entry(c.text), entry("x")}, true, nullptr);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.bytes.indexOf('\0', 6) - 6, c.bytes);
    EXPECT_EQ(wordAt(w.bytes, 2), 6 + c.bytes + 1);
}

INSTANTIATE_TEST_SUITE_P(TextBank, EncodedLengthTest, ::testing::ValuesIn(kLengthCases), caseName<LengthCase>);

TEST(TextBankEditTest, ShiftOffsetsKeepsOffsetsWhereTheWriterPutsTexts)
{
    // "abc", "de", "fghi", "j": table of 10 bytes, texts at 10, 14, 17 and 22.
    const Written first = writeToBytes({entry("abc"), entry("de"), entry("fghi"), entry("j")}, true, nullptr);
    ASSERT_TRUE(first.ok);
    std::vector<TextBankEntry> entries = tessel::readTextBank(first.bytes, true, nullptr).entries;
    ASSERT_EQ(offsetsOf(entries), (std::vector<int>{10, 14, 17, 22}));

    auto edit = [&](std::size_t row, const QString& text) {
        tessel::ShiftOffsets(entries, row, tessel::EncodedLength(text) - tessel::EncodedLength(entries[row].text));
        entries[row].text = text;
        const Written w = writeToBytes(entries, true, nullptr);
        EXPECT_TRUE(w.ok);
        return tessel::readTextBank(w.bytes, true, nullptr).entries;
    };
    // A line break adds one byte: the later offsets move by one, the edited one stays.
    EXPECT_TRUE(sameEntries(edit(1, QStringLiteral("d\r\ne")), entries));
    EXPECT_EQ(offsetsOf(entries), (std::vector<int>{10, 14, 18, 23}));
    // Three characters fewer.
    EXPECT_TRUE(sameEntries(edit(0, QString()), entries));
    EXPECT_EQ(offsetsOf(entries), (std::vector<int>{10, 11, 15, 20}));
    // The last text moves nothing.
    EXPECT_TRUE(sameEntries(edit(3, QStringLiteral("longer text")), entries));
    EXPECT_EQ(offsetsOf(entries), (std::vector<int>{10, 11, 15, 20}));
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(TextBankWriteTest, LayoutsWorkedOutByHand)
{
    // Quarn 1, "Hi" and "Né" line break "x". Table 06 00 09 00 + end; "Hi" 0 at 6; at 9 N é(82) @ x 0
    // up to 14. End = 9 + 2 x 3 + 5 characters = 20, so 6 zero bytes of filler.
    std::vector<TextBankEntry> q1 = {entry("Hi"), entry(QString::fromUtf16(u"N\u00E9\r\nx"))};
    q1[0].offset = 999;  // offsets given are not used: they are recomputed
    Recorder rec;
    Written w = writeToBytes(q1, true, &rec);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.bytes,
              raw({0x06, 0x00, 0x09, 0x00, 0x14, 0x00, 'H', 'i', 0, 'N', 0x82, '@', 'x', 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(rec.events.isEmpty());
    q1[0].offset = 6;
    q1[1].offset = 9;
    EXPECT_TRUE(sameEntries(tessel::readTextBank(w.bytes, true, nullptr).entries, q1));

    // Quarn 2, frame 1 "Ok", frame 33 "", frame 129 "ç". Table of 8; 01 O k 0 at 8; 21 0 at 12;
    // 81 87(ç) 0 at 14, up to 17. End = 14 + 2 x 4 + 1 = 23: 6 bytes of filler.
    std::vector<TextBankEntry> q2 = {entry("Ok", 1), entry("", 33), entry(QString::fromUtf16(u"\u00E7"), 129)};
    w = writeToBytes(q2, false, nullptr);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.bytes, raw({0x08, 0x00, 0x0C, 0x00, 0x0E, 0x00, 0x17, 0x00, 0x01, 'O', 'k', 0,
                            0x21, 0,    0x81, 0x87, 0,    0,    0,    0,    0,    0,   0}));
    q2[0].offset = 8;
    q2[1].offset = 12;
    q2[2].offset = 14;
    EXPECT_TRUE(sameEntries(tessel::readTextBank(w.bytes, false, nullptr).entries, q2));

    // No texts: the end word alone.
    for (bool quarn1 : {true, false}) {
        w = writeToBytes({}, quarn1, nullptr);
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(w.bytes, raw({0x02, 0x00}));
    }
}

TEST(TextBankWriteTest, Quarn2NeedsAFrameForEveryText)
{
    const std::vector<TextBankEntry> noFrame = {entry("a", 1), entry("b", -1)};
    Written w = writeToBytes(noFrame, false, nullptr);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.bytes.isEmpty());
    EXPECT_TRUE(w.error.contains(QStringLiteral("Entry 2"))) << w.error.toStdString();

    w = writeToBytes({entry("a", 256), entry("b", 1)}, false, nullptr);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.error.contains(QStringLiteral("Entry 1"))) << w.error.toStdString();

    // Quarn 1 banks have no frames to need.
    EXPECT_TRUE(writeToBytes(noFrame, true, nullptr).ok);
}

struct LimitCase {
    const char* name;
    bool quarn1;
    int firstLetters;  // a first text of this many letters, or none when 0
    int lastBreaks;    // the last text: this many line breaks, then lastLetters letters
    int lastLetters;
    bool fits;
};

void PrintTo(const LimitCase& c, std::ostream* os)
{
    *os << c.name;
}

// Quarn 1, one text: end = 4 + 2 x 2 + length. Quarn 2, two texts: the last starts at
// 6 + 1 + 1000 + 1 = 1008, end = 1008 + 2 x 3 + 2 x breaks + letters.
const LimitCase kLimitCases[] = {
    {"Quarn1AtTheLimit", true, 0, 0, 65527, true},
    {"Quarn1OneOver", true, 0, 0, 65528, false},
    {"Quarn2LineBreaksCountTwiceAtTheLimit", false, 1000, 1000, 62521, true},
    {"Quarn2LineBreaksCountTwiceOneOver", false, 1000, 1000, 62522, false},
};

class WriteLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(WriteLimitTest, RefusesAbove65535Bytes)
{
    const LimitCase& c = GetParam();
    std::vector<TextBankEntry> entries;
    const int frame = c.quarn1 ? -1 : 1;
    if (c.firstLetters > 0) entries.push_back(entry(QString(c.firstLetters, u'a'), frame));
    entries.push_back(entry(QStringLiteral("\r\n").repeated(c.lastBreaks) + QString(c.lastLetters, u'b'), frame));

    const Written w = writeToBytes(entries, c.quarn1, nullptr);
    if (!c.fits) {
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.bytes.isEmpty());
        EXPECT_EQ(w.error, QStringLiteral("Can not save file, data is over 64KB large."));
        EXPECT_STREQ(tessel::kOver64KMessage, "Can not save file, data is over 64KB large.");
        return;
    }
    ASSERT_TRUE(w.ok) << w.error.toStdString();
    ASSERT_EQ(w.bytes.size(), 65535);
    EXPECT_EQ(wordAt(w.bytes, 2 * static_cast<qsizetype>(entries.size())), 65535);
    // Filler from the last text's 0 byte to the end is zero.
    const int lastStart = wordAt(w.bytes, 2 * static_cast<qsizetype>(entries.size() - 1));
    const qsizetype dataEnd = lastStart + (c.quarn1 ? 0 : 1) + c.lastBreaks + c.lastLetters + 1;
    EXPECT_EQ(w.bytes.mid(dataEnd), zeros(65535 - dataEnd));
    const TextBankLoad back = tessel::readTextBank(w.bytes, c.quarn1, nullptr);
    ASSERT_EQ(back.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back.entries[i].text, entries[i].text) << "entry " << i + 1;
        EXPECT_EQ(back.entries[i].frame, entries[i].frame) << "entry " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(TextBank, WriteLimitTest, ::testing::ValuesIn(kLimitCases), caseName<LimitCase>);

// Banks whose offsets do not match what the writer makes: written again, every offset is
// recomputed, so the texts lie back to back behind the table.
struct OddBankCase {
    const char* name;
    bool quarn1;
    QByteArray (*make)();
    std::vector<int> readOffsets;
    QStringList texts;
    std::vector<int> frames;
    std::vector<int> writtenOffsets;
};

void PrintTo(const OddBankCase& c, std::ostream* os)
{
    *os << c.name;
}

const OddBankCase kOddBankCases[] = {
    {"Gaps",
     true,
     [] {
         return words({6, 12, 16}) + QByteArray("ab\0zzzcd\0q", 10);
     },
     {6, 12},
     {"ab", "cd"},
     {-1, -1},
     {6, 9}},
    {"SharedBytes",
     true,
     [] {
         return words({8, 8, 9, 13}) + QByteArray("xyz\0", 5);
     },
     {8, 8, 9},
     {"xyz", "xyz", "yz"},
     {-1, -1, -1},
     {8, 12, 16}},
    {"ZeroWords",
     true,
     [] {
         return words({0, 8, 0, 10}) + QByteArray("k", 2);
     },
     {8},
     {"k"},
     {-1},
     {4}},
    {"OutOfOrder",
     true,
     [] {
         return words({9, 6, 12}) + QByteArray("b\0xa\0", 6);
     },
     {9, 6},
     {"a", "b"},
     {-1, -1},
     {6, 8}},
    {"ControlBytesDropped",
     true,
     [] {
         return words({6, 11, 14}) + QByteArray(
                                         "a\x01\x02"
                                         "b\0c\0",
                                         8);
     },
     {6, 11},
     {"ab", "c"},
     {-1, -1},
     {6, 9}},
    {"Quarn2Gaps",
     false,
     [] {
         return words({6, 12, 16}) + QByteArray(
                                         "\x01"
                                         "a\0zzz\x03"
                                         "b\0",
                                         10);
     },
     {6, 12},
     {"a", "b"},
     {1, 3},
     {6, 9}},
};

class OddBankTest : public ::testing::TestWithParam<OddBankCase> {};

TEST_P(OddBankTest, WritingRecomputesEveryOffset)
{
    const OddBankCase& c = GetParam();
    const TextBankLoad load = tessel::readTextBank(c.make(), c.quarn1, nullptr);
    ASSERT_EQ(load.status, TextBankLoad::Status::Loaded);
    ASSERT_EQ(offsetsOf(load.entries), c.readOffsets);

    const Written w = writeToBytes(load.entries, c.quarn1, nullptr);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(tableOf(w.bytes, c.writtenOffsets.size()), c.writtenOffsets);

    std::vector<TextBankEntry> expected;
    for (std::size_t i = 0; i < c.writtenOffsets.size(); ++i)
        expected.push_back({c.writtenOffsets[i], c.texts[static_cast<qsizetype>(i)], c.frames[i], true, !c.quarn1});
    const TextBankLoad back = tessel::readTextBank(w.bytes, c.quarn1, nullptr);
    EXPECT_TRUE(sameEntries(back.entries, expected));
    // Written again, the bank stays the same byte for byte.
    const Written again = writeToBytes(back.entries, c.quarn1, nullptr);
    EXPECT_EQ(firstDifference(toBytes(again.bytes), toBytes(w.bytes)), static_cast<std::size_t>(w.bytes.size()));
    EXPECT_EQ(again.bytes.size(), w.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(TextBank, OddBankTest, ::testing::ValuesIn(kOddBankCases), caseName<OddBankCase>);

// Generated banks in both dialects: every character the games can show, line breaks, empty
// texts, all frame values. Offsets are laid out back to back behind the table by counting the
// bytes each generated piece takes, so read(write(x)) must give x.
TEST(TextBankWriteTest, RoundTripsGeneratedBanks)
{
    QString alphabet;
    for (char16_t u = 32; u <= 127; ++u)
        if (u != u'@') alphabet += QChar(u);
    for (const GlyphPair& p : kDecodeTable)
        if (p.shown != u'*') alphabet += QChar(p.shown);

    for (bool quarn1 : {true, false}) {
        for (std::uint32_t seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(testing::Message() << (quarn1 ? "Quarn 1" : "Quarn 2") << " seed " << seed);
            const Bytes r = randomBytes(4096, seed);
            std::size_t k = 0;
            auto next = [&] { return r[k++ % r.size()]; };
            const std::size_t n = next() % 40;
            std::vector<TextBankEntry> entries(n);
            std::vector<int> lengths(n);  // bytes of each text
            for (std::size_t i = 0; i < n; ++i) {
                const int chars = next() % 60;
                for (int j = 0; j < chars; ++j) {
                    if (next() % 9 == 0) {
                        entries[i].text += QStringLiteral("\r\n");
                    } else {
                        entries[i].text += alphabet[next() % alphabet.size()];
                    }
                    ++lengths[i];
                }
                entries[i].frame = quarn1 ? -1 : next();
                entries[i].hasFrame = !quarn1;
            }
            int at = 2 * static_cast<int>(n + 1);
            for (std::size_t i = 0; i < n; ++i) {
                entries[i].offset = at;
                at += (quarn1 ? 0 : 1) + lengths[i] + 1;
            }

            Recorder rec;
            const Written w = writeToBytes(entries, quarn1, &rec);
            ASSERT_TRUE(w.ok) << w.error.toStdString();
            // DEL is the only character of the alphabet without a game code.
            for (const QString& e : rec.events) EXPECT_EQ(e, unsupported(QString(QChar(0x7F)), 127));
            const TextBankLoad back = tessel::readTextBank(w.bytes, quarn1, nullptr);
            ASSERT_EQ(back.status, TextBankLoad::Status::Loaded);
            EXPECT_TRUE(sameEntries(back.entries, entries));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The plain-text export

TEST(TextBankExportTest, ListsEveryRowUnderTheHeader)
{
    const QDateTime when(QDate(2031, 3, 9), QTime(14, 5, 7));
    const QLocale locale = QLocale::system();
    const QString header = QStringLiteral("/data/banks/harbour.qbt\r\n") +
                           locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral("  ") +
                           locale.toString(when.time(), QLocale::ShortFormat) +
                           QStringLiteral("    (Turn \"Word Wrap\" on)\r\n\r\n");

    const std::vector<TextBankEntry> rows = {entry("The ferry leaves at dawn."), entry("Two\r\nlines"), entry("")};
    EXPECT_EQ(tessel::ExportToText(rows, QStringLiteral("/data/banks/harbour.qbt"), when),
              header + QStringLiteral("1:\r\nThe ferry leaves at dawn.\r\n\r\n"
                                      "2:\r\nTwo\r\nlines\r\n\r\n"
                                      "3:\r\n\r\n\r\n"));
    EXPECT_EQ(tessel::ExportToText({}, QStringLiteral("/data/banks/harbour.qbt"), when), header);
}

}  // namespace
