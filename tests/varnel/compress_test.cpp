#include "compress.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "decompress.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// Text-like data: words of a small vocabulary in pseudo-random order, with punctuation and lines.
Bytes text(std::size_t size, std::uint32_t seed)
{
    static const char* const kWords[] = {"the",   "river", "of",   "stone",  "window", "a",     "little",
                                         "house", "and",   "into", "green",  "market", "under", "bridge",
                                         "with",  "quiet", "road", "number", "to",     "north"};
    const Bytes picks = randomBytes(size, seed);
    Bytes out;
    for (std::size_t i = 0; out.size() < size; ++i) {
        const std::string word = kWords[picks[i % picks.size()] % std::size(kWords)];
        out.insert(out.end(), word.begin(), word.end());
        const std::uint8_t p = picks[(i * 7 + 3) % picks.size()];
        out.push_back(p < 20 ? '.' : p < 40 ? ',' : p < 48 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

// For each period 1..20, `each` bytes repeating a random pattern of that length.
Bytes periodic(std::size_t each)
{
    Bytes out;
    for (std::size_t period = 1; period <= 20; ++period) {
        const Bytes pattern = randomBytes(period, static_cast<std::uint32_t>(100 + period));
        for (std::size_t i = 0; i < each; ++i) out.push_back(pattern[i % period]);
    }
    return out;
}

// Random bytes, then the same bytes again `distance` bytes later: the only long matches in the
// input lie exactly at that distance.
Bytes repeatAtDistance(std::size_t distance)
{
    Bytes out = randomBytes(distance, static_cast<std::uint32_t>(distance));
    const Bytes again(out.begin(), out.begin() + 3000);
    out.insert(out.end(), again.begin(), again.end());
    return out;
}

// Runs of one byte, 1 to 1000 long.
Bytes runs(std::size_t size)
{
    const Bytes r = randomBytes(2 * size, 77);
    Bytes out;
    for (std::size_t i = 0; out.size() < size; i += 2) {
        const std::size_t length = 1 + (r[i] * 256u + r[i + 1]) % 1000;
        out.insert(out.end(), length, r[i + 1]);
    }
    out.resize(size);
    return out;
}

// Segments of every kind above, so that the encoder's internal blocks meet all of them.
Bytes mixed(std::size_t size)
{
    Bytes out;
    for (std::uint32_t i = 0; out.size() < size; ++i) {
        Bytes part;
        switch (i % 5) {
        case 0:
            part = text(5000 + i * 13, i);
            break;
        case 1:
            part = randomBytes(3000 + i * 7, i);
            break;
        case 2:
            part = Bytes(2000 + i, 0);
            break;
        case 3:
            part = randomBytes(4000, i, 2);
            break;
        default:
            part = periodic(150);
            break;
        }
        out.insert(out.end(), part.begin(), part.end());
    }
    out.resize(size);
    return out;
}

// Size of the stream a greedy parse gives: at each position the longest match (up to the longest
// copy) over distances 1..4096 is taken when it reaches the bias, else a literal. Every earlier
// position in the window that starts with the same byte is tried, which covers every distance a
// match can have. A literal costs 1 byte, a copy 2, and each 8 items a flag byte.
std::size_t greedySize(const Bytes& data, std::size_t bias)
{
    std::array<std::vector<std::size_t>, 256> seen;
    std::size_t inserted = 0;
    std::size_t bytes = 0;
    std::size_t items = 0;
    for (std::size_t p = 0; p < data.size();) {
        for (; inserted < p; ++inserted) seen[data[inserted]].push_back(inserted);
        const std::size_t limit = std::min<std::size_t>(15 + bias, data.size() - p);
        std::size_t best = 0;
        const std::vector<std::size_t>& candidates = seen[data[p]];
        for (auto it = candidates.rbegin(); it != candidates.rend() && p - *it <= 4096 && best < limit; ++it) {
            std::size_t length = 0;
            while (length < limit && data[*it + length] == data[p + length]) ++length;
            best = std::max(best, length);
        }
        if (best >= bias) {
            bytes += 2;
            p += best;
        } else {
            bytes += 1;
            p += 1;
        }
        ++items;
    }
    return bytes + (items + 7) / 8;
}

}  // namespace

struct InputCase {
    const char* name;
    Bytes (*make)();
};

const InputCase kRoundTripInputs[] = {
    {"empty", [] { return Bytes{}; }},
    {"oneByte", [] { return Bytes{0x41}; }},
    {"threeEqualBytes",
     [] {
         return Bytes{7, 7, 7};
     }},
    {"zeros100000", [] { return Bytes(100000, 0); }},
    {"random256Alphabet", [] { return randomBytes(100000, 1); }},
    {"random2LetterAlphabet", [] { return randomBytes(100000, 2, 2); }},
    {"text", [] { return text(100000, 3); }},
    {"periods1To20", [] { return periodic(2000); }},
    {"matchesAtDistance4096", [] { return repeatAtDistance(4096); }},
    {"matchesAtDistance4097", [] { return repeatAtDistance(4097); }},
    {"longRuns", [] { return runs(100000); }},
    {"mixedOverManyBlocks", [] { return mixed(200000); }},
};

class RoundTripTest : public ::testing::TestWithParam<std::tuple<InputCase, int>> {};

TEST_P(RoundTripTest, DecodingTheOutputGivesTheInput)
{
    const Bytes input = std::get<0>(GetParam()).make();
    const auto bias = static_cast<std::uint8_t>(std::get<1>(GetParam()));
    const Bytes packed = varnel::compress(input.data(), input.size(), bias);
    // A copy never costs more than the literals it replaces: at most a flag byte per 8 bytes more.
    EXPECT_LE(packed.size(), input.size() + input.size() / 8 + 1);

    Bytes output(input.size());
    const varnel::DecodeResult r = varnel::decompress(output.data(), output.size(), packed.data(), packed.size(), bias);
    EXPECT_EQ(r.status, varnel::DecodeStatus::Ok);
    EXPECT_EQ(r.consumed, packed.size()) << "the stream carries bytes the decoder never reads";
    const std::size_t at = firstDifference(output, input);
    EXPECT_EQ(at, input.size()) << "first difference at byte " << at << " of " << input.size() << ": got "
                                << int(output[at]) << ", expected " << int(input[at]);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RoundTripTest,
                         ::testing::Combine(::testing::ValuesIn(kRoundTripInputs), ::testing::Values(2, 3)),
                         [](const ::testing::TestParamInfo<std::tuple<InputCase, int>>& param) {
                             return std::string(std::get<0>(param.param).name) + "_bias" +
                                    std::to_string(std::get<1>(param.param));
                         });

// The optimal parse must never lose to the simple greedy one. Sizes stay small enough for the
// greedy search, which tries every candidate, to run quickly under the sanitizers.
const InputCase kGreedyInputs[] = {
    {"text64k", [] { return text(65536, 5); }},
    {"random2LetterAlphabet16k", [] { return randomBytes(16384, 6, 2); }},
    {"random4LetterAlphabet32k", [] { return randomBytes(32768, 7, 4); }},
    {"random256Alphabet8k", [] { return randomBytes(8192, 8); }},
    {"periods1To20", [] { return periodic(1500); }},
    {"matchesAtDistance4096", [] { return repeatAtDistance(4096); }},
    {"zeros64k", [] { return Bytes(65536, 0); }},
    {"longRuns", [] { return runs(40000); }},
    {"mixed64k", [] { return mixed(65536); }},
};

class GreedyBoundTest : public ::testing::TestWithParam<std::tuple<InputCase, int>> {};

TEST_P(GreedyBoundTest, OutputIsNoLargerThanAGreedyParse)
{
    const Bytes input = std::get<0>(GetParam()).make();
    const auto bias = static_cast<std::uint8_t>(std::get<1>(GetParam()));
    const Bytes packed = varnel::compress(input.data(), input.size(), bias);
    EXPECT_LE(packed.size(), greedySize(input, bias)) << "input of " << input.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Inputs, GreedyBoundTest,
                         ::testing::Combine(::testing::ValuesIn(kGreedyInputs), ::testing::Values(2, 3)),
                         [](const ::testing::TestParamInfo<std::tuple<InputCase, int>>& param) {
                             return std::string(std::get<0>(param.param).name) + "_bias" +
                                    std::to_string(std::get<1>(param.param));
                         });

// The bound above is only as good as the greedy count it compares with.
TEST(GreedyReferenceTest, CountsItemsAndFlagBytes)
{
    // a, b, c, then one copy of 6 from distance 3: 3 + 2 bytes and one flag byte.
    EXPECT_EQ(greedySize(bytesOf("abcabcabc"), 2), 6u);
    // One literal, then copies of 17, 17, 17, 17, 17 and 14 from distance 1: 1 + 12 bytes, 1 flag.
    EXPECT_EQ(greedySize(Bytes(100, 0), 2), 14u);
    // With bias 3 a match of 2 is no copy: 9 literals and 2 flag bytes.
    EXPECT_EQ(greedySize(bytesOf("abxabyabz"), 3), 11u);
    // 17 bytes repeated from 4096 back cost one copy; from 4097 back they are out of reach.
    for (const std::size_t distance : {std::size_t{4096}, std::size_t{4097}}) {
        const Bytes head = randomBytes(distance, 11);
        Bytes repeated = head;
        repeated.insert(repeated.end(), head.begin(), head.begin() + 17);
        const std::size_t added = greedySize(repeated, 2) - greedySize(head, 2);
        if (distance == 4096)
            EXPECT_LE(added, 3u);
        else
            EXPECT_GE(added, 15u);
    }
}

TEST(CompressTest, OnlyBiases2And3AreAccepted)
{
    const Bytes input = text(1000, 9);
    for (const int bias : {0, 1, 4, 17, 255}) {
        EXPECT_TRUE(varnel::compress(input.data(), input.size(), static_cast<std::uint8_t>(bias)).empty())
            << "bias " << bias;
    }
    for (const int bias : {2, 3}) {
        EXPECT_FALSE(varnel::compress(input.data(), input.size(), static_cast<std::uint8_t>(bias)).empty())
            << "bias " << bias;
        EXPECT_TRUE(varnel::compress(input.data(), 0, static_cast<std::uint8_t>(bias)).empty()) << "bias " << bias;
    }
}
