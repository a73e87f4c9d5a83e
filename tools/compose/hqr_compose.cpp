#include "hqr_compose.h"

#include "compress.h"

namespace kestrix {

ComposedSlot ComposedSlot::stored(std::vector<std::uint8_t> bytes)
{
    ComposedSlot s;
    s.diskSize = static_cast<std::uint32_t>(bytes.size());
    s.data = std::move(bytes);
    return s;
}

ComposedSlot ComposedSlot::raw(EntryType type, std::uint32_t diskSize, std::vector<std::uint8_t> bytes)
{
    ComposedSlot s;
    s.type = type;
    s.diskSize = diskSize;
    s.data = std::move(bytes);
    return s;
}

ComposedSlot ComposedSlot::compressed(const std::vector<std::uint8_t>& bytes, EntryType type)
{
    ComposedSlot s;
    s.type = type;
    s.diskSize = static_cast<std::uint32_t>(bytes.size());
    s.data = isCompressed(type) ? varnel::compress(bytes.data(), bytes.size(), lengthBias(type)) : bytes;
    return s;
}

ComposedSlot ComposedSlot::blank()
{
    ComposedSlot s;
    s.kind = Kind::Blank;
    return s;
}

ComposedSlot ComposedSlot::doubleOf(std::uint32_t index)
{
    ComposedSlot s;
    s.kind = Kind::Double;
    s.sharesWith = index;
    return s;
}

std::vector<std::uint8_t> composeArchive(const std::vector<ComposedSlot>& entries)
{
    std::vector<std::uint8_t> out;
    ByteWriter writer(out);
    writer.zeros(kSlotSize * (entries.size() + 1));
    std::vector<std::uint32_t> offsets(entries.size(), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ComposedSlot& s = entries[i];
        if (s.kind == ComposedSlot::Kind::Blank) continue;
        if (s.kind == ComposedSlot::Kind::Double) {
            offsets[i] = s.sharesWith < i ? offsets[s.sharesWith] : 0;
            continue;
        }
        offsets[i] = static_cast<std::uint32_t>(writer.size());
        writeEntryHeader(writer, {s.diskSize, static_cast<std::uint32_t>(s.data.size()), s.type});
        out.insert(out.end(), s.data.begin(), s.data.end());
    }
    for (std::size_t i = 0; i < entries.size(); ++i) writer.u32At(kSlotSize * i, offsets[i]);
    writer.u32At(kSlotSize * entries.size(), static_cast<std::uint32_t>(writer.size()));
    return out;
}

}  // namespace kestrix
