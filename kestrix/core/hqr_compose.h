#pragma once

#include <cstdint>
#include <vector>

namespace kestrix {

// One slot of an archive composed in memory.
struct ComposedSlot {
    enum class Kind { Entry, Blank, Double };
    Kind kind = Kind::Entry;
    std::uint8_t type = 0;           // Entry: 0 stored, 1 or 2 compressed
    std::uint32_t diskSize = 0;      // Entry: expanded size
    std::vector<std::uint8_t> data;  // Entry: the bytes stored after the header
    std::uint32_t sharesWith = 0;    // Double: 0-based index of an earlier Entry slot

    static ComposedSlot stored(std::vector<std::uint8_t> bytes);
    // An entry with exactly these header values and stored bytes (for damaged or odd entries).
    static ComposedSlot raw(std::uint8_t type, std::uint32_t diskSize, std::vector<std::uint8_t> bytes);
    // Compressed with the suite's encoder (type 1: bias 2, type 2: bias 3).
    static ComposedSlot compressed(const std::vector<std::uint8_t>& bytes, std::uint8_t type);
    static ComposedSlot blank();
    static ComposedSlot doubleOf(std::uint32_t index);
};

// Lays out an archive: the offset table (one slot each, then the file size), then each entry's
// 10-byte header and data back to back. Used for the demo data and by tests.
std::vector<std::uint8_t> composeArchive(const std::vector<ComposedSlot>& slots);

}  // namespace kestrix
