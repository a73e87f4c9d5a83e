#include "many_entries.h"

#include "hqr_compose.h"

namespace bench {

std::vector<std::uint8_t> manyEntryArchive(std::uint32_t count)
{
    constexpr int kPayloads = 61;
    std::vector<kestrix::ComposedSlot> templates[3];
    for (int t = 0; t < kPayloads; ++t) {
        std::vector<std::uint8_t> raw(8 + static_cast<std::size_t>(t * 7) % 64);
        for (std::size_t k = 0; k < raw.size(); ++k) raw[k] = static_cast<std::uint8_t>(t + k / 4);
        templates[0].push_back(kestrix::ComposedSlot::stored(raw));
        templates[1].push_back(kestrix::ComposedSlot::compressed(raw, kestrix::EntryType::Bias2));
        templates[2].push_back(kestrix::ComposedSlot::compressed(raw, kestrix::EntryType::Bias3));
    }
    std::vector<kestrix::ComposedSlot> entries;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) entries.push_back(templates[i % 3][i % kPayloads]);
    return kestrix::composeArchive(entries);
}

}  // namespace bench
