#pragma once

#include <cstdint>

#include "byte_io.h"

namespace kestrix {

// The layout of a resource archive, shared by the reader, the builder and the writer that tests
// use: an offset table of 32-bit slots (0 for a blank, the file size after the last), then each
// entry as a 10-byte header followed by its stored bytes.

// Size of the header in front of every entry's data: disk size, archive size, type (2 bytes).
constexpr std::uint32_t kEntryHeaderSize = 10;
// Entries stored with more bytes than this are not read whole into memory, and the builder never
// stores a compressed entry larger than this (it could not be expanded).
constexpr std::uint32_t kMaxInMemoryEntry = 4000000;
// Size of one slot of the offset table.
constexpr std::uint32_t kSlotSize = 4;

// Compression type of an archive entry: 0 stored, 1 compressed with length bias 2,
// 2 compressed with length bias 3. Any other value is kept as it was read and treated as stored.
enum class EntryType : std::uint8_t { Stored = 0, Bias2 = 1, Bias3 = 2 };

// Whether entries of this type are compressed (types 1 and 2).
constexpr bool isCompressed(EntryType type)
{
    return type == EntryType::Bias2 || type == EntryType::Bias3;
}

// Length bias for the decoder: 2 for type 1, 3 for type 2, 0 for every other type.
constexpr std::uint8_t lengthBias(EntryType type)
{
    return type == EntryType::Bias2 ? 2 : type == EntryType::Bias3 ? 3 : 0;
}

// The number stored in the archive for `type` (what the list shows, 7 for a type of 7).
constexpr int typeNumber(EntryType type)
{
    return static_cast<int>(type);
}

// The header in front of an entry's stored bytes.
struct EntryHeader {
    std::uint32_t diskSize = 0;     // bytes after expansion
    std::uint32_t archiveSize = 0;  // bytes stored after the header
    EntryType type = EntryType::Stored;
};

// Reads an entry header at the reader's position. Only the type's low byte is taken; the high
// byte is skipped unread. A header that does not fit leaves `reader` failed (reader.ok() is
// false) and gives an all-zero header.
inline EntryHeader readEntryHeader(ByteReader& reader)
{
    EntryHeader header;
    if (!reader.canRead(kEntryHeaderSize)) {
        reader.skip(kEntryHeaderSize);  // marks the reader failed
        return header;
    }
    header.diskSize = reader.u32();
    header.archiveSize = reader.u32();
    header.type = static_cast<EntryType>(reader.u8());
    reader.skip(1);
    return header;
}

// Appends an entry header to `writer` (a ByteWriter or QByteWriter); the type's high byte is 0.
template <typename Writer>
void writeEntryHeader(Writer& writer, const EntryHeader& header)
{
    writer.u32(header.diskSize);
    writer.u32(header.archiveSize);
    writer.u16(static_cast<std::uint16_t>(header.type));
}

}  // namespace kestrix
