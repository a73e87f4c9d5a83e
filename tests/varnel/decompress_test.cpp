#include "decompress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "memory_stream.h"
#include "test_support.h"

using namespace testing_support;
using varnel::DecodeResult;
using varnel::DecodeStatus;

namespace {

// Deterministic generator for the streams built below.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_x(seed * 2654435761u + 12345u) {}
    std::uint32_t next()
    {
        m_x ^= m_x << 13;
        m_x ^= m_x >> 17;
        m_x ^= m_x << 5;
        return m_x;
    }
    std::size_t below(std::size_t n) { return next() % n; }

private:
    std::uint32_t m_x;
};

struct Decoded {
    Bytes bytes;
    DecodeResult result;
};

// Runs the decoder over allocations of exactly the source's and the output's size, so that
// AddressSanitizer sees any byte read or written outside them. The output starts as 0xCD to show
// that the decoder fills all of it.
Decoded decodeExact(const Bytes& src, std::size_t size, std::uint8_t bias)
{
    const std::unique_ptr<std::uint8_t[]> in(new std::uint8_t[src.size()]);
    if (!src.empty()) std::memcpy(in.get(), src.data(), src.size());
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[size]);
    std::memset(out.get(), 0xCD, size);
    Decoded d;
    d.result = varnel::decompress(out.get(), size, in.get(), src.size(), bias);
    d.bytes.assign(out.get(), out.get() + size);
    return d;
}

// The format read one item and one byte at a time, every access checked: flag byte, then for
// bits 0..7 a literal (bit set) or a copy word (bit clear; length = low nibble + bias, distance =
// high 12 bits + 1), until the output is full. Where the stream ends early or a copy reaches
// before the first byte, it stops and leaves the rest zero.
Decoded referenceDecode(const Bytes& src, std::size_t size, std::uint8_t bias)
{
    Decoded d;
    d.bytes.assign(size, 0);
    std::size_t out = 0;
    std::size_t in = 0;
    DecodeStatus status = DecodeStatus::Ok;
    while (out < size && status == DecodeStatus::Ok) {
        if (in >= src.size()) {
            status = DecodeStatus::SourceTooShort;
            break;
        }
        const unsigned flags = src.at(in++);
        for (int bit = 0; bit < 8 && out < size; ++bit) {
            if ((flags >> bit) & 1) {
                if (in >= src.size()) {
                    status = DecodeStatus::SourceTooShort;
                    break;
                }
                d.bytes.at(out++) = src.at(in++);
                continue;
            }
            if (in + 2 > src.size()) {
                status = DecodeStatus::SourceTooShort;
                break;
            }
            const unsigned word = src.at(in) | (src.at(in + 1) << 8);
            in += 2;
            const std::size_t length = (word & 0x0F) + bias;
            const std::size_t distance = (word >> 4) + 1;
            if (distance > out) {
                status = DecodeStatus::DistanceBeforeStart;
                break;
            }
            for (std::size_t i = 0; i < length && out < size; ++i, ++out) d.bytes.at(out) = d.bytes.at(out - distance);
        }
    }
    d.result.status = status;
    d.result.produced = out;
    d.result.consumed = in;
    return d;
}

// Writes items into a stream by hand.
class StreamBuilder {
public:
    void literal(std::uint8_t byte)
    {
        item(true);
        m_bytes.push_back(byte);
    }
    void copy(std::size_t distance, unsigned nibble)
    {
        item(false);
        const unsigned word = static_cast<unsigned>((distance - 1) << 4) | nibble;
        m_bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    const Bytes& bytes() const { return m_bytes; }

private:
    void item(bool isLiteral)
    {
        if (m_bit == 8) {
            m_flagAt = m_bytes.size();
            m_bytes.push_back(0);
            m_bit = 0;
        }
        if (isLiteral) m_bytes[m_flagAt] |= static_cast<std::uint8_t>(1u << m_bit);
        ++m_bit;
    }
    Bytes m_bytes;
    std::size_t m_flagAt = 0;
    int m_bit = 8;
};

// A well-formed stream of random items that produces at least `size` bytes with `bias`. Copy
// distances cover every branch a decoder may take: 1, 2..7, 8..15, 16 and more, up to the whole
// window. When `badDistanceAt` is not 0, the first copy once that many bytes exist reaches one
// byte before the start (it must be below 4096 for such a distance to exist).
Bytes randomStream(std::size_t size, std::uint8_t bias, std::uint32_t seed, std::size_t badDistanceAt = 0)
{
    Rng rng(seed);
    StreamBuilder s;
    std::size_t out = 0;
    bool injected = false;
    while (out < size) {
        if (out == 0 || rng.below(3) == 0) {
            s.literal(static_cast<std::uint8_t>(rng.next() >> 8));
            ++out;
            continue;
        }
        const unsigned nibble = static_cast<unsigned>(rng.below(16));
        if (badDistanceAt != 0 && !injected && out >= badDistanceAt) {
            s.copy(out + 1, nibble);
            injected = true;
        } else {
            const std::size_t window = std::min<std::size_t>(out, 4096);
            std::size_t distance = 0;
            switch (rng.below(4)) {
            case 0:
                distance = 1 + rng.below(7);
                break;
            case 1:
                distance = 8 + rng.below(8);
                break;
            case 2:
                distance = 16 + rng.below(48);
                break;
            default:
                distance = 1 + rng.below(4096);
                break;
            }
            s.copy(std::min(distance, window), nibble);
        }
        out += nibble + bias;
    }
    return s.bytes();
}

std::string hexOf(const Bytes& bytes)
{
    std::string s;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

// 4096 literal bytes 0, 1, 2, ... then one copy word 0xFFF0: 2 bytes from 4096 back.
Bytes farthestCopyStream()
{
    StreamBuilder s;
    for (int i = 0; i < 4096; ++i) s.literal(static_cast<std::uint8_t>(i * 7 + 3));
    s.copy(4096, 0);
    return s.bytes();
}

Bytes farthestCopyOutput()
{
    Bytes b;
    for (int i = 0; i < 4096; ++i) b.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    b.push_back(b[0]);
    b.push_back(b[1]);
    return b;
}

}  // namespace

// Streams made by hand with the output they must give, whole or damaged.
struct HandCase {
    const char* name;
    Bytes stream;
    std::uint8_t bias;
    Bytes expected;  // the whole output, its size is the decompressed size
    DecodeStatus status;
    std::size_t produced;
    std::size_t consumed;
};

class HandMadeStreamTest : public ::testing::TestWithParam<HandCase> {};

TEST_P(HandMadeStreamTest, DecodesToTheExpectedBytes)
{
    const HandCase& c = GetParam();
    const Decoded d = decodeExact(c.stream, c.expected.size(), c.bias);
    EXPECT_EQ(d.bytes, c.expected) << "got      " << hexOf(d.bytes) << "\nexpected " << hexOf(c.expected)
                                   << "\nfirst difference at " << firstDifference(d.bytes, c.expected);
    EXPECT_EQ(d.result.status, c.status);
    EXPECT_EQ(d.result.produced, c.produced);
    EXPECT_EQ(d.result.consumed, c.consumed);
}

namespace {

Bytes repeated(std::uint8_t byte, std::size_t count)
{
    return Bytes(count, byte);
}

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const DecodeStatus Ok = DecodeStatus::Ok;
const DecodeStatus Short = DecodeStatus::SourceTooShort;
const DecodeStatus Before = DecodeStatus::DistanceBeforeStart;

}  // namespace

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Items, HandMadeStreamTest,
    ::testing::Values(
        // Flag 03: literal, literal, copy W = 0x0012 (length 2 + bias, distance 2).
        HandCase{"workedExampleBias2", {0x03, 0x61, 0x62, 0x12, 0x00}, 2,
                 {0x61, 0x62, 0x61, 0x62, 0x61, 0x62}, Ok, 6, 5},
        HandCase{"workedExampleBias3", {0x03, 0x61, 0x62, 0x12, 0x00}, 3,
                 {0x61, 0x62, 0x61, 0x62, 0x61, 0x62, 0x61}, Ok, 7, 5},
        HandCase{"sizeZeroReadsNothing", {0x00, 0x00, 0x00}, 2, {}, Ok, 0, 0},
        HandCase{"sizeZeroOfEmptySource", {}, 3, {}, Ok, 0, 0},
        HandCase{"word0000Bias2RepeatsTheLastByteTwice", {0x01, 0x78, 0x00, 0x00}, 2,
                 repeated(0x78, 3), Ok, 3, 4},
        HandCase{"word000FBias3RepeatsTheLastByte18Times", {0x01, 0x78, 0x0F, 0x00}, 3,
                 repeated(0x78, 19), Ok, 19, 4},
        HandCase{"wordFFF0Bias2CopiesFrom4096Back", farthestCopyStream(), 2,
                 farthestCopyOutput(), Ok, 4098, farthestCopyStream().size()},
        // Once the output is full the remaining items are not read: here they would be a copy from
        // before the start and then bytes the source does not have.
        HandCase{"fullMidGroupIgnoresTheRestOfTheGroup", {0x01, 0x61, 0xFF, 0xFF}, 2,
                 {0x61}, Ok, 1, 2},
        HandCase{"fullMidGroupIgnoresMissingLiterals", {0xFF, 0x61, 0x62}, 2,
                 {0x61, 0x62}, Ok, 2, 3},
        // Five literals, then a copy of 17 from distance 5 into the last 3 bytes of the output.
        HandCase{"copyIsCutAtTheEndOfTheOutput", {0x1F, 'a', 'b', 'c', 'd', 'e', 0x4F, 0x00}, 2,
                 bytesOf("abcdeabc"), Ok, 8, 8},
        HandCase{"nextGroupStartsAfterEightItems", concat({0xFF}, concat(bytesOf("01234567"), {0x00, 0x70, 0x00})), 2,
                 bytesOf("0123456701"), Ok, 10, 12},
        HandCase{"emptySource", {}, 2,
                 repeated(0, 4), Short, 0, 0},
        HandCase{"sourceEndsBeforeALiteral", {0xFF, 0x61, 0x62}, 2,
                 {0x61, 0x62, 0, 0, 0}, Short, 2, 3},
        // A lone half of a copy word is not counted as read.
        HandCase{"sourceEndsInsideACopyWord", {0x03, 0x61, 0x62, 0x12}, 2,
                 {0x61, 0x62, 0, 0, 0, 0}, Short, 2, 3},
        HandCase{"sourceEndsBeforeAFlagByte", concat({0xFF}, bytesOf("01234567")), 2,
                 concat(bytesOf("01234567"), {0}), Short, 8, 9},
        HandCase{"copyFromAnEmptyOutput", {0x00, 0x00, 0x00}, 2,
                 {0, 0, 0}, Before, 0, 3},
        HandCase{"copyOneByteBeforeTheStart", {0x03, 0x61, 0x62, 0x22, 0x00}, 2,
                 {0x61, 0x62, 0, 0, 0, 0}, Before, 2, 5}),
    [](const ::testing::TestParamInfo<HandCase>& param) { return std::string(param.param.name); });
// clang-format on

// Long streams run mostly through the decoder's unchecked fast loop and end in its checked loop;
// both must give exactly what the one-byte-at-a-time reading of the format gives, for every bias
// the decoder accepts, and stop at the same place when the stream is damaged.
struct PathCase {
    const char* name;
    std::size_t size;
    std::uint8_t bias;
    std::uint32_t seed;
    int keepPercent;            // of the stream's bytes; below 100 cuts it short
    std::size_t badDistanceAt;  // see randomStream
    bool garbage;               // random bytes instead of a well-formed stream
};

class DecoderPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DecoderPathTest, AgreesWithTheReferenceDecoder)
{
    const PathCase& c = GetParam();
    Bytes stream = c.garbage ? randomBytes(c.size / 4, c.seed) : randomStream(c.size, c.bias, c.seed, c.badDistanceAt);
    stream.resize(stream.size() * static_cast<std::size_t>(c.keepPercent) / 100);

    const Decoded expected = referenceDecode(stream, c.size, c.bias);
    const Decoded got = decodeExact(stream, c.size, c.bias);
    ASSERT_EQ(got.bytes.size(), expected.bytes.size());
    const std::size_t at = firstDifference(got.bytes, expected.bytes);
    EXPECT_EQ(at, expected.bytes.size()) << "first difference at output byte " << at << ": got " << int(got.bytes[at])
                                         << ", expected " << int(expected.bytes[at]);
    EXPECT_EQ(got.result.status, expected.result.status);
    EXPECT_EQ(got.result.produced, expected.result.produced);
    EXPECT_EQ(got.result.consumed, expected.result.consumed);
    // The cases are chosen so that the stream ends the way the name says.
    if (c.garbage) return;
    if (c.keepPercent < 100)
        EXPECT_EQ(expected.result.status, DecodeStatus::SourceTooShort);
    else if (c.badDistanceAt != 0)
        EXPECT_EQ(expected.result.status, DecodeStatus::DistanceBeforeStart);
    else
        EXPECT_EQ(expected.result.status, DecodeStatus::Ok);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    LongStreams, DecoderPathTest,
    ::testing::Values(PathCase{"bias2", 300000, 2, 1, 100, 0, false},
                      PathCase{"bias3", 300000, 3, 2, 100, 0, false},
                      PathCase{"bias0ZeroLengthCopies", 100000, 0, 3, 100, 0, false},
                      PathCase{"bias1", 100000, 1, 4, 100, 0, false},
                      PathCase{"bias4", 100000, 4, 5, 100, 0, false},
                      PathCase{"bias10", 100000, 10, 6, 100, 0, false},
                      PathCase{"bias17", 100000, 17, 7, 100, 0, false},
                      PathCase{"bias18", 100000, 18, 8, 100, 0, false},
                      PathCase{"bias255", 300000, 255, 9, 100, 0, false},
                      PathCase{"bias2CutShort", 100000, 2, 10, 70, 0, false},
                      PathCase{"bias3CutShort", 100000, 3, 11, 99, 0, false},
                      PathCase{"bias2DistanceBeforeStartInTheFastLoop", 100000, 2, 12, 100, 3000, false},
                      PathCase{"bias3DistanceBeforeStartEarly", 100000, 3, 13, 100, 20, false},
                      PathCase{"garbageBias2", 100000, 2, 14, 100, 0, true},
                      PathCase{"garbageBias3", 100000, 3, 15, 100, 0, true}),
    [](const ::testing::TestParamInfo<PathCase>& param) { return std::string(param.param.name); });
// clang-format on

// Every prefix of a valid stream decodes without a fault, and what it produces is the start of the
// whole output, followed by zeros.
TEST(DecoderTruncationTest, EveryPrefixGivesAPrefixOfTheOutput)
{
    for (const std::uint8_t bias : {std::uint8_t{2}, std::uint8_t{3}}) {
        SCOPED_TRACE(::testing::Message() << "bias " << int(bias));
        const std::size_t size = 3000;
        const Bytes stream = randomStream(size, bias, 40 + bias);
        const Decoded full = decodeExact(stream, size, bias);
        ASSERT_EQ(full.result.status, DecodeStatus::Ok);
        ASSERT_EQ(full.result.consumed, stream.size());

        std::size_t lastProduced = 0;
        for (std::size_t cut = 0; cut < stream.size(); ++cut) {
            const Decoded part =
                decodeExact(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)), size, bias);
            ASSERT_EQ(part.result.status, DecodeStatus::SourceTooShort) << "prefix of " << cut << " bytes";
            ASSERT_LE(part.result.consumed, cut);
            ASSERT_GE(part.result.produced, lastProduced) << "prefix of " << cut << " bytes";
            ASSERT_LT(part.result.produced, size);
            lastProduced = part.result.produced;
            const auto producedEnd = part.bytes.begin() + static_cast<std::ptrdiff_t>(part.result.produced);
            ASSERT_TRUE(std::equal(part.bytes.begin(), producedEnd, full.bytes.begin()))
                << "prefix of " << cut << " bytes differs at "
                << firstDifference(Bytes(part.bytes.begin(), producedEnd), full.bytes);
            ASSERT_TRUE(std::all_of(producedEnd, part.bytes.end(), [](std::uint8_t b) { return b == 0; }))
                << "prefix of " << cut << " bytes leaves non-zero bytes after the " << part.result.produced
                << " it produced";
        }
    }
}

// decompressInto: the destination's size, position and status for declared sizes around the cap.
struct IntoCase {
    const char* name;
    Bytes stream;
    std::uint64_t declaredSize;
    std::size_t initialSize;  // of the destination, filled with 0xAA
    std::size_t initialPosition;
    std::size_t expectedSize;
    std::size_t expectedPosition;
    DecodeStatus status;
    Bytes expectedStart;  // the destination's first bytes; the rest must be zero
    std::uint8_t bias = 2;
};

class DecompressIntoTest : public ::testing::TestWithParam<IntoCase> {};

TEST_P(DecompressIntoTest, SizesAndPositionsTheDestination)
{
    const IntoCase& c = GetParam();
    kestrix::MemoryStream dst(Bytes(c.initialSize, 0xAA));
    dst.setPosition(c.initialPosition);
    const DecodeResult r = varnel::decompressInto(dst, c.stream.data(), c.stream.size(), c.declaredSize, c.bias);
    EXPECT_EQ(r.status, c.status);
    ASSERT_EQ(dst.size(), c.expectedSize);
    EXPECT_EQ(dst.position(), c.expectedPosition);
    ASSERT_GE(dst.size(), c.expectedStart.size());
    EXPECT_TRUE(std::equal(c.expectedStart.begin(), c.expectedStart.end(), dst.bytes().begin()));
    EXPECT_TRUE(std::all_of(dst.bytes().begin() + static_cast<std::ptrdiff_t>(c.expectedStart.size()),
                            dst.bytes().end(), [](std::uint8_t b) { return b == 0; }));
}

namespace {

const Bytes kWorked = {0x03, 0x61, 0x62, 0x12, 0x00};
const Bytes kWorkedOut = {0x61, 0x62, 0x61, 0x62, 0x61, 0x62};
constexpr std::size_t kWorkedCap = 9 * 5 + 144;

// The stream that expands most per byte (with bias 3): one literal, then copies of 18 from
// distance 1 only; 16 + 17 * 20 bytes.
Bytes densestStream()
{
    StreamBuilder s;
    s.literal(0x42);
    for (int i = 0; i < 7 + 8 * 20; ++i) s.copy(1, 15);
    return s.bytes();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Destinations, DecompressIntoTest,
    ::testing::Values(IntoCase{"exactSizeKeepsThePosition", kWorked, 6, 50, 4, 6, 4, DecodeStatus::Ok, kWorkedOut},
                      IntoCase{"positionBeyondTheNewEndMovesToIt", kWorked, 6, 50, 20, 6, 6, DecodeStatus::Ok,
                               kWorkedOut},
                      IntoCase{"growingKeepsThePosition", kWorked, 6, 2, 2, 6, 2, DecodeStatus::Ok, kWorkedOut},
                      IntoCase{"sizeZeroEmptiesTheDestination", kWorked, 0, 50, 10, 0, 0, DecodeStatus::Ok, {}},
                      IntoCase{"sizeAtTheCapIsDecoded", kWorked, kWorkedCap, 0, 0, kWorkedCap, 0,
                               DecodeStatus::SourceTooShort, kWorkedOut},
                      IntoCase{"sizeAboveTheCapIsCutToIt", kWorked, kWorkedCap + 1, 0, 0, kWorkedCap, 0,
                               DecodeStatus::SizeTooLarge, kWorkedOut},
                      IntoCase{"hugeSizeIsNeverAllocated", kWorked, 0xFFFFFFFFFFull, 300, 250, kWorkedCap, kWorkedCap,
                               DecodeStatus::SizeTooLarge, kWorkedOut},
                      IntoCase{"emptySourceWithASize", {}, 10, 0, 0, 10, 0, DecodeStatus::SourceTooShort, {}},
                      IntoCase{"densestStreamFitsUnderTheCap", densestStream(), 1 + 18 * (7 + 8 * 20), 0, 0,
                               1 + 18 * (7 + 8 * 20), 0, DecodeStatus::Ok, repeated(0x42, 1 + 18 * (7 + 8 * 20)), 3}),
    [](const ::testing::TestParamInfo<IntoCase>& param) { return std::string(param.param.name); });
