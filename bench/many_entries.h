#pragma once

#include <cstdint>
#include <vector>

namespace bench {

// An archive of `count` small entries: stored, type 1 and type 2 in turn, 8 to 71 bytes each. The
// entries are drawn from 61 payloads per type compressed once, so building takes no noticeable time.
std::vector<std::uint8_t> manyEntryArchive(std::uint32_t count);

}  // namespace bench
