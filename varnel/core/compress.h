#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnel {

// Largest input compress() accepts: positions are kept in 32 bits.
constexpr std::uint64_t kMaxCompressInput = 0xFFFFFFF0u;

// Compresses `size` bytes into the stream format that decompress() expands, with length bias
// `bias` (2 for entry type 1 and saved games, 3 for entry type 2; copy lengths bias .. bias + 15,
// distances 1 .. 4096). The parse is optimal for the format's item costs (9 bits a literal,
// 17 bits a copy) over the exact longest match at every position, so the output is never larger
// than a greedy longest-match parse would give. Only biases 2 and 3 and inputs up to kMaxCompressInput
// are accepted (otherwise the result is empty); memory use is about 3 bytes per input byte.
std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size, std::uint8_t bias);

}  // namespace varnel
