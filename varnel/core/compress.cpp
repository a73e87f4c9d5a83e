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
constexpr int kLevels = 6;

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // the hash and the compare only need the same bytes in, whatever the byte order
}

inline std::uint64_t lowBytes(std::uint64_t v, std::size_t n)
{
    return n >= 8 ? v : (v & ((std::uint64_t{1} << (8 * n)) - 1));
}

// Hash of the first `k` bytes at p (k <= 24).
inline std::uint32_t hashBytes(const std::uint8_t* p, std::size_t k)
{
    std::uint64_t h = lowBytes(load64(p), k) * 0x9E3779B97F4A7C15ull;
    if (k > 8) h ^= lowBytes(load64(p + 8), k - 8) * 0xC2B2AE3D27D4EB4Full;
    if (k > 16) h ^= lowBytes(load64(p + 16), k - 16) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    return static_cast<std::uint32_t>((h * 0xD6E8FEB86659FD93ull) >> (64 - kHashBits));
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
        const std::size_t steps[kLevels] = {0, 1, 3, 6, 10, 15};
        for (int j = 0; j < kLevels; ++j) m_levelLength[j] = bias + steps[j];
        m_heads = std::make_unique<std::uint32_t[]>(kLevels << kHashBits);
        std::fill_n(m_heads.get(), kLevels << kHashBits, 0u);
        m_prev = std::make_unique<std::uint32_t[]>(kLevels * kWindow);
        std::fill_n(m_prev.get(), kLevels * kWindow, 0u);
    }

    // Longest match at p (0 when shorter than the minimum) and its distance; then adds p to the
    // chains. Must be called for every position in increasing order.
    std::size_t findAndInsert(std::size_t p, std::size_t* distance)
    {
        const std::size_t cap = std::min(m_maxLength, m_size - p);
        std::uint32_t hashes[kLevels];
        for (int j = 0; j < kLevels; ++j) hashes[j] = hashBytes(m_data + p, m_levelLength[j]);

        std::size_t best = 0;
        std::size_t bestDistance = 0;
        if (cap >= m_minLength && p > 0) {
            for (int j = kLevels - 1; j >= 0; --j) {
                const std::size_t k = m_levelLength[j];
                if (k > cap) continue;
                const std::size_t upper = j + 1 < kLevels ? std::min(cap, m_levelLength[j + 1] - 1) : cap;
                if (best >= upper) break;
                std::uint32_t* prev = m_prev.get() + j * kWindow;
                std::uint32_t link = m_heads[(static_cast<std::size_t>(j) << kHashBits) + hashes[j]];
                while (link != 0) {
                    const std::size_t q = link - 1;
                    if (p - q > kWindow) break;
                    const std::size_t len = matchLength(m_data + p, m_data + q, upper);
                    if (len > best) {
                        best = len;
                        bestDistance = p - q;
                        if (best >= upper) break;
                    }
                    const std::uint32_t next = prev[q & kWindowMask];
                    if (next >= link) break;  // defensive: chains only go back in time
                    link = next;
                }
                if (best >= k) break;
            }
        }

        for (int j = 0; j < kLevels; ++j) {
            if (p + m_levelLength[j] > m_size) break;
            std::uint32_t& head = m_heads[(static_cast<std::size_t>(j) << kHashBits) + hashes[j]];
            m_prev[j * kWindow + (p & kWindowMask)] = head;
            head = static_cast<std::uint32_t>(p + 1);
        }

        if (best < m_minLength) return 0;
        *distance = bestDistance;
        return best;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_minLength;
    std::size_t m_maxLength;
    std::size_t m_levelLength[kLevels];
    std::unique_ptr<std::uint32_t[]> m_heads;
    std::unique_ptr<std::uint32_t[]> m_prev;
};

class StreamWriter {
public:
    explicit StreamWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void literal(std::uint8_t byte)
    {
        startItem(true);
        m_out.push_back(byte);
    }
    void copy(std::size_t distance, std::size_t length, std::size_t bias)
    {
        startItem(false);
        const unsigned word = static_cast<unsigned>(((distance - 1) << 4) | (length - bias));
        m_out.push_back(static_cast<std::uint8_t>(word & 0xFF));
        m_out.push_back(static_cast<std::uint8_t>(word >> 8));
    }

private:
    void startItem(bool isLiteral)
    {
        if (m_bit == 8) {
            m_flagIndex = m_out.size();
            m_out.push_back(0);
            m_bit = 0;
        }
        if (isLiteral) m_out[m_flagIndex] |= static_cast<std::uint8_t>(1u << m_bit);
        ++m_bit;
    }
    std::vector<std::uint8_t>& m_out;
    std::size_t m_flagIndex = 0;
    int m_bit = 8;
};

}  // namespace

std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size, std::uint8_t bias)
{
    std::vector<std::uint8_t> out;
    if (size == 0 || size > kMaxCompressInput || bias < 2 || bias > 3) return out;

    std::vector<std::uint8_t> padded(size + kPadding, 0);
    std::memcpy(padded.data(), data, size);

    // Pass 1: the longest match at every position.
    std::vector<std::uint8_t> lengths(size);
    std::vector<std::uint16_t> distances(size);
    {
        MatchFinder finder(padded.data(), size, bias);
        for (std::size_t p = 0; p < size; ++p) {
            std::size_t distance = 0;
            const std::size_t len = finder.findAndInsert(p, &distance);
            lengths[p] = static_cast<std::uint8_t>(len);
            distances[p] = static_cast<std::uint16_t>(distance);
        }
    }

    // Pass 2, backwards: the cheapest way to code the rest of the input from each position.
    // Any prefix of a match is a match at the same distance, so every length from the minimum
    // up to the longest is a choice. The chosen length replaces `lengths` (0 = literal).
    // Costs in bits: a literal 8 + 1 flag bit, a copy 16 + 1; the stream's size in bytes is the
    // total rounded up to whole bytes, so the least total also gives the least size.
    constexpr std::size_t kRing = 32;
    std::array<std::uint64_t, kRing> cost{};  // cost[(p) % kRing] for p in (current, current+18]
    for (std::size_t p = size; p-- > 0;) {
        std::uint64_t bestCost = cost[(p + 1) % kRing] + 9;
        std::uint8_t choice = 0;
        for (std::size_t len = bias; len <= lengths[p]; ++len) {
            const std::uint64_t c = cost[(p + len) % kRing] + 17;
            if (c <= bestCost) {
                bestCost = c;
                choice = static_cast<std::uint8_t>(len);
            }
        }
        lengths[p] = choice;
        cost[p % kRing] = bestCost;
    }

    // Pass 3: write the chosen items.
    out.reserve(size / 2 + 16);
    StreamWriter writer(out);
    for (std::size_t p = 0; p < size;) {
        if (lengths[p] == 0) {
            writer.literal(data[p]);
            ++p;
        } else {
            writer.copy(distances[p], lengths[p], bias);
            p += lengths[p];
        }
    }
    return out;
}

}  // namespace varnel
