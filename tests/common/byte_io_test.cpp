#include <cstdint>
#include <limits>
#include <vector>

#include <QByteArray>

#include <gtest/gtest.h>

#include "byte_io.h"

namespace {

using kestrix::ByteReader;

const std::vector<std::uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd)
{
    ByteReader r(kBytes);
    EXPECT_EQ(r.u32(), 0x04030201u);
    EXPECT_EQ(r.i16(), -2);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
    // A read past the end gives 0, keeps the position and marks the reader failed.
    EXPECT_EQ(r.u8(), 0u);
    EXPECT_EQ(r.position(), 6u);
    EXPECT_FALSE(r.ok());
}

TEST(ByteReader, AValueCutByTheEndIsNotReadInPart)
{
    ByteReader r(kBytes);
    ASSERT_TRUE(r.skip(3));
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_EQ(r.position(), 3u);
    EXPECT_FALSE(r.ok());
    std::uint8_t out[4] = {9, 9, 9, 9};
    ByteReader s(kBytes);
    ASSERT_TRUE(s.seek(4));
    EXPECT_FALSE(s.bytes(out, 3));
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(s.peek(3), nullptr);
    EXPECT_NE(s.peek(2), nullptr);
}

struct AtCase {
    const char* name;
    std::size_t offset;
    bool has16;
    bool has32;
};

class ByteReaderAt : public testing::TestWithParam<AtCase> {};

TEST_P(ByteReaderAt, AnswersOnlyWhatLiesInside)
{
    const AtCase& c = GetParam();
    const ByteReader r(kBytes);
    EXPECT_EQ(r.u16At(c.offset).has_value(), c.has16);
    EXPECT_EQ(r.u32At(c.offset).has_value(), c.has32);
    EXPECT_TRUE(r.ok());  // reads at an offset never mark the reader
}

// Offsets near the top of size_t would wrap an offset + count check; the check subtracts instead.
INSTANTIATE_TEST_SUITE_P(Offsets, ByteReaderAt,
                         testing::Values(AtCase{"start", 0, true, true}, AtCase{"lastWord", 4, true, false},
                                         AtCase{"lastByte", 5, false, false}, AtCase{"end", 6, false, false},
                                         AtCase{"huge", std::numeric_limits<std::size_t>::max() - 1, false, false}),
                         [](const testing::TestParamInfo<AtCase>& p) { return std::string(p.param.name); });

TEST(ByteReader, SeekAndSkipRefuseToLeaveTheBytes)
{
    ByteReader r(kBytes);
    EXPECT_TRUE(r.seek(6));
    EXPECT_FALSE(r.seek(7));
    EXPECT_EQ(r.position(), 6u);
    ByteReader s(kBytes);
    ASSERT_TRUE(s.skip(2));
    EXPECT_FALSE(s.skip(std::numeric_limits<std::size_t>::max()));
    EXPECT_EQ(s.position(), 2u);
}

TEST(ByteWriter, AppendsAndPutsLittleEndian)
{
    QByteArray out;
    kestrix::QByteWriter w(out);
    w.u32(0x04030201);
    w.u16(0xFFFE);
    w.zeros(2);
    EXPECT_EQ(out, QByteArray::fromHex("01020304feff0000"));
    EXPECT_TRUE(w.u16At(6, 0x0A0B));
    EXPECT_FALSE(w.u32At(6, 0));  // would run past the end: nothing written
    EXPECT_EQ(out, QByteArray::fromHex("01020304feff0b0a"));

    std::vector<std::uint8_t> v;
    kestrix::ByteWriter vw(v);
    vw.u8(0x80);
    vw.bytes("ab", 2);
    EXPECT_EQ(v, (std::vector<std::uint8_t>{0x80, 'a', 'b'}));
}

}  // namespace
