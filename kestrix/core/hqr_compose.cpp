#include "hqr_compose.h"

#include "compress.h"

namespace kestrix {
namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

ComposedSlot ComposedSlot::stored(std::vector<std::uint8_t> bytes)
{
    ComposedSlot s;
    s.diskSize = static_cast<std::uint32_t>(bytes.size());
    s.data = std::move(bytes);
    return s;
}

ComposedSlot ComposedSlot::raw(std::uint8_t type, std::uint32_t diskSize, std::vector<std::uint8_t> bytes)
{
    ComposedSlot s;
    s.type = type;
    s.diskSize = diskSize;
    s.data = std::move(bytes);
    return s;
}

ComposedSlot ComposedSlot::compressed(const std::vector<std::uint8_t>& bytes, std::uint8_t type)
{
    ComposedSlot s;
    s.type = type;
    s.diskSize = static_cast<std::uint32_t>(bytes.size());
    s.data = varnel::compress(bytes.data(), bytes.size(), type == 2 ? 3 : 2);
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

std::vector<std::uint8_t> composeArchive(const std::vector<ComposedSlot>& slots)
{
    const std::size_t tableSize = 4 * (slots.size() + 1);
    std::vector<std::uint8_t> out(tableSize, 0);
    std::vector<std::uint32_t> offsets(slots.size(), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const ComposedSlot& s = slots[i];
        if (s.kind == ComposedSlot::Kind::Blank) continue;
        if (s.kind == ComposedSlot::Kind::Double) {
            offsets[i] = s.sharesWith < i ? offsets[s.sharesWith] : 0;
            continue;
        }
        offsets[i] = static_cast<std::uint32_t>(out.size());
        const std::size_t at = out.size();
        out.resize(at + 10 + s.data.size());
        put32(out, at, s.diskSize);
        put32(out, at + 4, static_cast<std::uint32_t>(s.data.size()));
        out[at + 8] = s.type;
        out[at + 9] = 0;
        std::copy(s.data.begin(), s.data.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 10));
    }
    for (std::size_t i = 0; i < slots.size(); ++i) put32(out, 4 * i, offsets[i]);
    put32(out, 4 * slots.size(), static_cast<std::uint32_t>(out.size()));
    return out;
}

}  // namespace kestrix
