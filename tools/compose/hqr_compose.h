#pragma once

#include <cstdint>
#include <vector>

#include "hqr_format.h"

namespace kestrix {

// One slot of an archive composed in memory.
struct ComposedSlot {
    enum class Kind { Entry, Blank, Double };
    Kind kind = Kind::Entry;
    EntryType type = EntryType::Stored;  // Entry: as written in its header
    std::uint32_t diskSize = 0;          // Entry: expanded size
    std::vector<std::uint8_t> data;      // Entry: the bytes stored after the header
    std::uint32_t sharesWith = 0;        // Double: 0-based index of an earlier Entry slot

    static ComposedSlot stored(std::vector<std::uint8_t> bytes);
    // An entry with exactly these header values and stored bytes (for damaged or odd entries).
    static ComposedSlot raw(EntryType type, std::uint32_t diskSize, std::vector<std::uint8_t> bytes);
    // Compressed with the suite's encoder with the bias of `type` (Bias2 or Bias3; any other type
    // is a fault of the caller and stores the bytes as they are, under that type).
    static ComposedSlot compressed(const std::vector<std::uint8_t>& bytes, EntryType type);
    static ComposedSlot blank();
    static ComposedSlot doubleOf(std::uint32_t index);
};

// Lays out an archive: the offset table (one slot each, then the file size), then each entry's
// 10-byte header and data back to back. A double naming no earlier slot gets slot 0. Used for the
// demo data, by tests and by the benchmarks.
std::vector<std::uint8_t> composeArchive(const std::vector<ComposedSlot>& entries);

}  // namespace kestrix
