#include "compress.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace varnel {
namespace {

constexpr std::size_t kWindow = 4096;
constexpr std::size_t kWindowMask = kWindow - 1;
constexpr int kHashBits = 14;
constexpr std::size_t kPadding = 32;  // zero bytes behind the input, for word-wide reads
constexpr int kLevels = 7;
// Outside the greedy parse's item starts a search walks at most kQuickProbes candidates a level,
// and none when a match of kQuickEnough bytes is already known there.
constexpr int kQuickProbes = 2;
constexpr std::size_t kQuickEnough = 6;

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // the hash and the compare only need the same bytes in, whatever the byte order
}

// Hash of the first `k` bytes (k <= 24) of the three words w0, w1, w2 read at a position: the
// bytes are shifted to the top of a word and multiplied, so the top bits of the product depend
// on all of them.
inline std::uint32_t hashPrefix(std::uint64_t w0, std::uint64_t w1, std::uint64_t w2, std::size_t k)
{
    std::uint64_t h;
    if (k <= 8) {
        h = (w0 << (64 - 8 * k)) * 0x9E3779B97F4A7C15ull;
    } else {
        h = w0 * 0x9E3779B97F4A7C15ull;
        const std::size_t rest = std::min<std::size_t>(k - 8, 8);
        h ^= (w1 << (64 - 8 * rest)) * 0xC2B2AE3D27D4EB4Full;
        if (k > 16) h ^= (w2 << (64 - 8 * (k - 16))) * 0x165667B19E3779F9ull;
        h = (h ^ (h >> 31)) * 0xD6E8FEB86659FD93ull;
    }
    return static_cast<std::uint32_t>(h >> (64 - kHashBits));
}

// Number of equal bytes at a and b, at most `limit` (<= 24; both have 24 readable bytes).
inline std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit)
{
    std::size_t n = 0;
    while (n < limit) {
        const std::uint64_t diff = load64(a + n) ^ load64(b + n);
        if (diff != 0) {
            n += static_cast<std::size_t>(std::countr_zero(diff)) / 8;
            return std::min(n, limit);
        }
        n += 8;
    }
    return limit;
}

// Finds the exact longest match (capped at the longest copy) for every position.
//
// Each level keeps hash chains over the window for one prefix length k. Every earlier position
// whose match is at least k bytes long sits in level k's chain, so after walking that chain the
// best match is exact as soon as it reaches k; otherwise the next shorter level is walked. Long
// chains of short prefixes are walked only when no longer match exists, which keeps typical data
// fast, and the result never depends on hash collisions (every candidate is verified).
class MatchFinder {
public:
    MatchFinder(const std::uint8_t* data, std::size_t size, std::uint8_t bias)
        : m_data(data), m_size(size), m_minLength(bias), m_maxLength(15u + bias)
    {
        const std::size_t steps[kLevels] = {0, 1, 2, 3, 5, 9, 15};
        for (int j = 0; j < kLevels; ++j) m_levelLength[j] = bias + steps[j];
        m_heads = std::make_unique<std::uint32_t[]>(kLevels << kHashBits);
        std::fill_n(m_heads.get(), kLevels << kHashBits, 0u);
        m_prev = std::make_unique<std::uint32_t[]>(kLevels * kWindow);
        std::fill_n(m_prev.get(), kLevels * kWindow, 0u);
        // m_levelFor[n]: the highest level whose prefix length is at most n.
        for (std::size_t n = 0; n < sizeof(m_levelFor); ++n) {
            int j = 0;
            while (j + 1 < kLevels && m_levelLength[j + 1] <= n) ++j;
            m_levelFor[n] = static_cast<std::uint8_t>(j);
        }
    }

    // Longest match at p (0 when shorter than the minimum) and its distance; then adds p to the
    // chains. Must be called for every position in increasing order. `known` is a match length
    // already known to exist at `*distance` (0 for none): the search only looks for longer ones.
    // With `exact` false the search is cut short (see kQuickProbes), so the result may fall
    // short of the longest match (it is always a real one).
    std::size_t findAndInsert(std::size_t p, std::size_t known, std::size_t* distance, bool exact)
    {
        const std::size_t cap = std::min(m_maxLength, m_size - p);

        // Add p to every chain first: the heads it replaces are where the walks below start, so
        // each head is read once and all reads are issued together. Overwriting the link slot of
        // p loses only the link of the position 4096 back, whose successors are out of reach.
        const std::uint64_t w0 = load64(m_data + p), w1 = load64(m_data + p + 8), w2 = load64(m_data + p + 16);
        std::uint32_t starts[kLevels];
        for (int j = 0; j < kLevels; ++j) {
            std::uint32_t& head =
                m_heads[(static_cast<std::size_t>(j) << kHashBits) + hashPrefix(w0, w1, w2, m_levelLength[j])];
            starts[j] = head;
            if (p + m_levelLength[j] <= m_size) {
                m_prev[j * kWindow + (p & kWindowMask)] = head;
                head = static_cast<std::uint32_t>(p + 1);
            }
        }

        std::size_t best = std::min(known, cap);
        std::size_t bestDistance = best > 0 ? *distance : 0;
        if (cap >= m_minLength && p > 0 && best < cap && (exact || best < kQuickEnough)) {
            int j = m_levelFor[std::max(best + 1, m_minLength)];
            for (;;) {
                if (m_levelLength[j] > cap) break;
                const std::uint32_t* prev = m_prev.get() + j * kWindow;
                std::uint32_t link = starts[j];
                int climb = j;
                int budget = exact ? INT32_MAX : kQuickProbes;
                while (link != 0 && budget-- > 0) {
                    const std::size_t q = link - 1;
                    if (p - q > kWindow) break;
                    const std::size_t len = matchLength(m_data + p, m_data + q, cap);
                    if (len > best) {
                        best = len;
                        bestDistance = p - q;
                        climb = m_levelFor[std::min(best + 1, sizeof(m_levelFor) - 1)];
                        if (best >= cap || climb > j) break;
                    }
                    const std::uint32_t next = prev[q & kWindowMask];
                    if (next >= link) break;  // chains only go back in time
                    link = next;
                }
                if (best >= cap || climb <= j) break;
                j = climb;
            }
        }

        *distance = bestDistance;
        return best < m_minLength ? 0 : best;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_minLength;
    std::size_t m_maxLength;
    std::size_t m_levelLength[kLevels];
    std::uint8_t m_levelFor[32];
    std::unique_ptr<std::uint32_t[]> m_heads;
    std::unique_ptr<std::uint32_t[]> m_prev;
};

// Writes items into a buffer sized for the worst case (9 bytes per 8 input bytes, plus a flag).
class StreamWriter {
public:
    explicit StreamWriter(std::uint8_t* out) : m_begin(out), m_out(out) {}
    void literal(std::uint8_t byte)
    {
        startItem(true);
        *m_out++ = byte;
    }
    void copy(std::size_t distance, std::size_t length, std::size_t bias)
    {
        startItem(false);
        const unsigned word = static_cast<unsigned>(((distance - 1) << 4) | (length - bias));
        *m_out++ = static_cast<std::uint8_t>(word & 0xFF);
        *m_out++ = static_cast<std::uint8_t>(word >> 8);
    }
    std::size_t size() const { return static_cast<std::size_t>(m_out - m_begin); }

private:
    void startItem(bool isLiteral)
    {
        if (m_bit == 8) {
            m_flag = m_out++;
            *m_flag = 0;
            m_bit = 0;
        }
        if (isLiteral) *m_flag |= static_cast<std::uint8_t>(1u << m_bit);
        ++m_bit;
    }
    std::uint8_t* m_begin;
    std::uint8_t* m_out;
    std::uint8_t* m_flag = nullptr;
    int m_bit = 8;
};

}  // namespace

std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size, std::uint8_t bias)
{
    std::vector<std::uint8_t> out;
    if (size == 0 || size > kMaxCompressInput || bias < 2 || bias > 3) return out;

    const std::unique_ptr<std::uint8_t[]> padded(new std::uint8_t[size + kPadding]);
    std::memcpy(padded.get(), data, size);
    std::memset(padded.get() + size, 0, kPadding);

    // A copy never takes more bytes than the literals it replaces, so the output is at most one
    // flag byte per 8 input bytes larger than the input.
    out.resize(size + size / 8 + 1);
    StreamWriter writer(out.data());
    MatchFinder finder(padded.get(), size, bias);

    // The input is parsed in blocks of about kBlock bytes, so the working arrays stay small.
    //
    // Pass 1 finds a match at every position. The search is exact where a greedy longest-match
    // parse starts an item; elsewhere it starts from the previous match, one byte shorter, and
    // walks only a few candidates. Every block ends where a greedy item starts, so the greedy
    // parse of each block stays within it and is one of the choices of pass 2: the result is
    // never larger than the greedy parse, at a fraction of the cost of exact searches everywhere.
    constexpr std::size_t kBlock = 32 * 1024;
    constexpr std::size_t kSlack = 32;  // a block overruns kBlock by less than one longest copy
    std::vector<std::uint8_t> lengths(kBlock + kSlack);
    std::vector<std::uint16_t> distances(kBlock + kSlack);
    std::size_t greedyNext = 0;
    std::size_t carried = 0;
    std::size_t distance = 0;
    for (std::size_t blockStart = 0; blockStart < size;) {
        std::size_t p = blockStart;
        for (; p < size; ++p) {
            const bool exact = p == greedyNext;
            if (exact && p - blockStart >= kBlock) break;
            const std::size_t len = finder.findAndInsert(p, carried, &distance, exact);
            if (exact) greedyNext = p + std::max<std::size_t>(len, 1);
            lengths[p - blockStart] = static_cast<std::uint8_t>(len);
            distances[p - blockStart] = static_cast<std::uint16_t>(distance);
            carried = len > bias ? len - 1 : 0;
        }
        const std::size_t blockSize = p - blockStart;

        // Pass 2, backwards: the cheapest way to code the rest of the block from each position.
        // Any prefix of a match is a match at the same distance, so every length from the
        // minimum up to the one found is a choice (matches are cut at the block's end). The
        // chosen length replaces `lengths` (0 = literal). Costs in bits: a literal 8 + 1 flag
        // bit, a copy 16 + 1; the stream's size in bytes is the total rounded up to whole bytes,
        // so the least total also gives the least size.
        constexpr std::size_t kRing = 32;
        std::array<std::uint64_t, kRing> cost{};  // cost[i % kRing] for the next 18 positions
        for (std::size_t i = blockSize; i-- > 0;) {
            const std::size_t longest = std::min<std::size_t>(lengths[i], blockSize - i);
            std::uint64_t bestCost = cost[(i + 1) % kRing] + 9;
            std::uint8_t choice = 0;
            for (std::size_t len = bias; len <= longest; ++len) {
                const std::uint64_t c = cost[(i + len) % kRing] + 17;
                if (c <= bestCost) {
                    bestCost = c;
                    choice = static_cast<std::uint8_t>(len);
                }
            }
            lengths[i] = choice;
            cost[i % kRing] = bestCost;
        }

        // Pass 3: write the chosen items.
        for (std::size_t i = 0; i < blockSize;) {
            if (lengths[i] == 0) {
                writer.literal(data[blockStart + i]);
                ++i;
            } else {
                writer.copy(distances[i], lengths[i], bias);
                i += lengths[i];
            }
        }
        blockStart = p;
    }
    out.resize(writer.size());
    return out;
}

}  // namespace varnel
