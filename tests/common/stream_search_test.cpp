#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include "StreamSearch.h"
#include "memory_stream.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

MemoryStream streamOf(const Bytes& bytes, std::size_t position = 0)
{
    MemoryStream s(bytes);
    s.setPosition(position);
    return s;
}

Bytes bytesAt(std::size_t size, std::size_t at, const Bytes& pattern)
{
    Bytes b(size, 0x11);
    std::copy(pattern.begin(), pattern.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
}

}  // namespace

// The byte patterns that the typed searches look for.
struct PatternCase {
    const char* name;
    bool isText;
    std::string text;
    std::int32_t value;
    std::int8_t type;
    Bytes expected;
};

class SearchPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(SearchPatternTest, BuildsTheBytesOfTheType)
{
    const PatternCase& c = GetParam();
    SearchPattern p;
    QString error;
    ASSERT_TRUE(c.isText ? textPattern(c.text, c.type, &p, &error) : integerPattern(c.value, c.type, &p, &error))
        << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(Bytes(p.bytes.begin(), p.bytes.end()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Types, SearchPatternTest,
                         ::testing::Values(PatternCase{"int3", false, "", 1000, 3, {0xE8, 0x03, 0x00, 0x00}},
                                           PatternCase{"intMinus3", false, "", 1000, -3, {0x00, 0x00, 0x03, 0xE8}},
                                           PatternCase{"int2", false, "", 0x12345678, 2, {0x78, 0x56}},
                                           PatternCase{"intMinus2", false, "", 0x12345678, -2, {0x56, 0x78}},
                                           PatternCase{"int1", false, "", 1000, 1, {0xE8}},
                                           PatternCase{"intMinus1", false, "", 1000, -1, {0xE8}},
                                           PatternCase{"negativeInt", false, "", -2, 3, {0xFE, 0xFF, 0xFF, 0xFF}},
                                           PatternCase{"text2", true, "SmK", 0, 2, {'S', 'm', 'K'}},
                                           PatternCase{"text1Upper", true, "smk", 0, 1, {'S', 'M', 'K'}},
                                           PatternCase{"textMinus2", true, "abc", 0, -2, {'c', 'b', 'a'}},
                                           PatternCase{"textMinus1", true, "abc", 0, -1, {'C', 'B', 'A'}}),
                         [](const ::testing::TestParamInfo<PatternCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(StreamSearchTest, InvalidTypesReportTheMessageWithTheUnsignedByte)
{
    struct Case {
        bool isText;
        std::int8_t type;
        const char* message;
    };
    const Case cases[] = {{true, 0, "Invalid search type : 0"},     {true, 3, "Invalid search type : 3"},
                          {true, -3, "Invalid search type : 253"},  {false, 4, "Invalid search type : 4"},
                          {false, -4, "Invalid search type : 252"}, {false, 0, "Invalid search type : 0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        // "an" and the byte 1 are both in the stream: only the type can make the search fail.
        MemoryStream s(bytesOf("\x01nything and more"));
        QString error;
        EXPECT_FALSE(c.isText ? isValidTextSearchType(c.type) : isValidIntegerSearchType(c.type));
        EXPECT_FALSE(c.isText ? SearchText(s, "an", c.type, &error) : SearchInteger(s, 1, c.type, &error));
        EXPECT_EQ(error, QString::fromLatin1(c.message));
        EXPECT_EQ(s.position(), 0u);

        // The pattern builders say the same and leave the pattern alone.
        SearchPattern p;
        p.bytes = "untouched";
        QString patternError;
        EXPECT_FALSE(c.isText ? textPattern("an", c.type, &p, &patternError)
                              : integerPattern(1, c.type, &p, &patternError));
        EXPECT_EQ(patternError, QString::fromLatin1(c.message));
        EXPECT_EQ(p.bytes, "untouched");
    }
    // The same stream with valid types: found, and no message.
    MemoryStream s(bytesOf("\x01nything and more"));
    QString error;
    EXPECT_TRUE(SearchText(s, "an", 2, &error));
    EXPECT_TRUE(error.isEmpty());
    s.setPosition(0);
    EXPECT_TRUE(SearchInteger(s, 1, 1, &error));
    EXPECT_EQ(s.position(), 0u);
    EXPECT_TRUE(error.isEmpty());
}

TEST(StreamSearchTest, MemoryStreamFindsFromItsPositionAndStaysPutWhenNothingIsFound)
{
    MemoryStream s = streamOf(bytesAt(300, 150, {0xE8, 0x03, 0x00, 0x00}), 100);
    ASSERT_TRUE(SearchInteger(s, 1000, 3));
    EXPECT_EQ(s.position(), 150u);

    // A match before the position is not found; the position stays where the search started.
    MemoryStream later = streamOf(bytesAt(300, 50, {0xE8, 0x03, 0x00, 0x00}), 100);
    EXPECT_FALSE(SearchInteger(later, 1000, 3));
    EXPECT_EQ(later.position(), 100u);

    // Fewer bytes left than the pattern is long.
    MemoryStream shortStream = streamOf({1, 2, 3});
    EXPECT_FALSE(SearchInteger(shortStream, 0x00030201, 3));
    EXPECT_EQ(shortStream.position(), 0u);

    // A pattern of length 0 is never found.
    MemoryStream any = streamOf({1, 2, 3});
    EXPECT_FALSE(SearchBytes(any, nullptr, 0));
    EXPECT_FALSE(SearchText(any, "", 2));
}

TEST(StreamSearchTest, CaseInsensitiveTextFoldsOnlyAsciiLettersOfTheStream)
{
    for (const char* hay : {"xxSMKxx", "xxsmkxx", "xxSmkxx"}) {
        MemoryStream s(bytesOf(hay));
        ASSERT_TRUE(SearchText(s, "smk", 1)) << hay;
        EXPECT_EQ(s.position(), 2u) << hay;
    }
    MemoryStream exact(bytesOf("xxsmkxxSMK"));
    ASSERT_TRUE(SearchText(exact, "SMK", 2));
    EXPECT_EQ(exact.position(), 7u);

    // Only a-z fold: an accented capital in the stream is not its small letter, and "[" (one
    // above "Z") is not "{".
    MemoryStream accented(Bytes{'c', 'a', 'f', 0xC9});
    EXPECT_FALSE(SearchText(accented, "caf\xE9", 1));
    MemoryStream brackets(bytesOf("{"));
    EXPECT_FALSE(SearchText(brackets, "[", 1));
}

TEST(StreamSearchTest, ReversedTextFindsTheMirroredBytes)
{
    MemoryStream s(bytesOf("....KMS..."));
    ASSERT_TRUE(SearchText(s, "smk", -1));
    EXPECT_EQ(s.position(), 4u);
}

TEST(StreamSearchTest, FileStreamFindsPatternsAcrossChunkEdges)
{
    TempFolder dir;
    const Bytes pattern = bytesOf("XMIDFORM");
    // Matches starting in every position around the 32768-byte chunk edge, and at the file's end.
    for (std::size_t at : {0u, 32760u, 32761u, 32764u, 32767u, 32768u, 65530u, 99992u}) {
        const QString path = dir.path(QStringLiteral("f%1.bin").arg(at));
        writeFile(path, bytesAt(100000, at, pattern));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(SearchText(f, "XMIDFORM", 2)) << at;
        EXPECT_EQ(f.pos(), static_cast<qint64>(at));
    }
}

TEST(StreamSearchTest, FileStreamLeavesThePositionWhenNotFound)
{
    TempFolder dir;
    writeFile(dir.path("a.bin"), Bytes(70000, 7));
    QFile f(dir.path("a.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    f.seek(123);
    EXPECT_FALSE(SearchText(f, "SMK", 2));
    EXPECT_EQ(f.pos(), 123);
    // A case-insensitive search on a device goes through the same chunked path.
    f.seek(0);
    EXPECT_FALSE(SearchText(f, "SMK", 1));
}

TEST(StreamSearchTest, DeviceAndMemoryAgreeOnRandomData)
{
    const Bytes data = randomBytes(150000, 7, 4);
    const Bytes pattern(data.begin() + 90000, data.begin() + 90009);
    MemoryStream mem(data);
    QByteArray raw(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer dev(&raw);
    ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
    for (std::size_t from : {0u, 40000u, 89999u, 90000u}) {
        mem.setPosition(from);
        dev.seek(static_cast<qint64>(from));
        const bool a = SearchBytes(mem, pattern.data(), pattern.size());
        const bool b = SearchBytes(dev, pattern.data(), pattern.size());
        ASSERT_EQ(a, b);
        EXPECT_EQ(static_cast<qint64>(mem.position()), dev.pos()) << from;
    }
}
