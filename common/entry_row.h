#pragma once

#include <cstdint>

#include "hqr_format.h"

namespace kestrix {

// One row of the extractor's entry list. Offsets and sizes are unsigned 32-bit throughout,
// so archives up to 4 GiB with offsets above 2^31 are listed correctly.
struct EntryRow {
    std::uint32_t number = 0;            // "Nr": 1-based list position or slot number
    std::uint32_t offset = 0;            // absolute offset of the entry header
    std::uint32_t archiveSize = 0;       // bytes stored after the 10-byte header
    std::uint32_t diskSize = 0;          // bytes after expansion
    EntryType type = EntryType::Stored;  // as stored: 0, 1 or 2 (other values behave as 0)

    bool isCompressed() const { return kestrix::isCompressed(type); }
    // Length bias for the decoder: 2 for type 1, 3 for type 2, 0 for a stored entry.
    std::uint8_t lengthBias() const { return kestrix::lengthBias(type); }

    friend bool operator==(const EntryRow&, const EntryRow&) = default;
};

}  // namespace kestrix
