#include "StreamSearch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QIODevice>

#include "memory_stream.h"

namespace kestrix {
namespace {

constexpr std::size_t kChunkSize = 32768;

// Offset of the first start position in `data` where the pattern matches, or `size` when none.
std::size_t findIn(const std::uint8_t* data, std::size_t size, const std::uint8_t* pattern, std::size_t length,
                   CompareRoutine compare)
{
    if (length == 0 || size < length) return size;
    if (compare == compareExact) {
        // memmem finds the same first match as trying every start position in turn, only faster.
        const void* hit = memmem(data, size, pattern, length);
        return hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data) : size;
    }
    const std::size_t last = size - length;
    for (std::size_t i = 0; i <= last; ++i)
        if (compare(data + i, pattern, length)) return i;
    return size;
}

std::uint8_t upperAscii(std::uint8_t c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
}

}  // namespace

bool compareExact(const std::uint8_t* streamBytes, const std::uint8_t* pattern, std::size_t length)
{
    for (std::size_t i = length; i-- > 0;)
        if (streamBytes[i] != pattern[i]) return false;
    return true;
}

bool compareNoCase(const std::uint8_t* streamBytes, const std::uint8_t* pattern, std::size_t length)
{
    for (std::size_t i = length; i-- > 0;)
        if (streamBytes[i] != pattern[i] && upperAscii(streamBytes[i]) != pattern[i]) return false;
    return true;
}

bool isValidTextSearchType(std::int8_t type)
{
    return type != 0 && type >= -2 && type <= 2;
}

bool isValidIntegerSearchType(std::int8_t type)
{
    return type != 0 && type >= -3 && type <= 3;
}

QString invalidSearchTypeMessage(std::int8_t type)
{
    return QStringLiteral("Invalid search type : %1").arg(static_cast<std::uint8_t>(type));
}

bool SearchStream(MemoryStream& stream, const std::uint8_t* pattern, std::size_t length, CompareRoutine compare)
{
    const std::size_t start = stream.position();
    const std::size_t left = stream.size() - start;
    if (length == 0 || left < length) return false;
    const std::size_t hit = findIn(stream.data() + start, left, pattern, length, compare);
    if (hit == left) return false;
    stream.setPosition(start + hit);
    return true;
}

bool SearchStream(QIODevice& stream, const std::uint8_t* pattern, std::size_t length, CompareRoutine compare)
{
    const qint64 start = stream.pos();
    if (length == 0 || stream.size() - start < static_cast<qint64>(length)) return false;

    // The buffer holds the last length-1 bytes of the previous chunk in front of the new one,
    // so a match across the chunk edge is seen whole.
    const std::size_t chunk = std::max(kChunkSize, length);
    std::vector<std::uint8_t> buffer(chunk + length - 1);
    std::size_t carried = 0;
    qint64 bufferStart = start;  // file offset of buffer[0]
    for (;;) {
        const qint64 got = stream.read(reinterpret_cast<char*>(buffer.data()) + carried, static_cast<qint64>(chunk));
        if (got <= 0) break;
        const std::size_t filled = carried + static_cast<std::size_t>(got);
        const std::size_t hit = findIn(buffer.data(), filled, pattern, length, compare);
        if (hit < filled) {
            stream.seek(bufferStart + static_cast<qint64>(hit));
            return true;
        }
        carried = std::min(filled, length - 1);
        std::memmove(buffer.data(), buffer.data() + filled - carried, carried);
        bufferStart += static_cast<qint64>(filled - carried);
    }
    stream.seek(start);
    return false;
}

bool SearchBytes(MemoryStream& stream, const std::uint8_t* pattern, std::size_t length)
{
    return SearchStream(stream, pattern, length, compareExact);
}

bool SearchBytes(QIODevice& stream, const std::uint8_t* pattern, std::size_t length)
{
    return SearchStream(stream, pattern, length, compareExact);
}

bool textPattern(const std::string& text, std::int8_t type, SearchPattern* pattern, QString* error)
{
    if (!isValidTextSearchType(type)) {
        if (error) *error = invalidSearchTypeMessage(type);
        return false;
    }
    SearchPattern p;
    p.bytes = text;
    if (type == 1 || type == -1) {
        for (char& c : p.bytes) c = static_cast<char>(upperAscii(static_cast<std::uint8_t>(c)));
        p.compare = compareNoCase;
    }
    if (type < 0) std::reverse(p.bytes.begin(), p.bytes.end());
    *pattern = std::move(p);
    return true;
}

bool integerPattern(std::int32_t value, std::int8_t type, SearchPattern* pattern, QString* error)
{
    if (!isValidIntegerSearchType(type)) {
        if (error) *error = invalidSearchTypeMessage(type);
        return false;
    }
    const int magnitude = type < 0 ? -type : type;
    const int count = magnitude == 3 ? 4 : magnitude;  // 1, 2 or 4 bytes
    const auto v = static_cast<std::uint32_t>(value);
    SearchPattern p;
    for (int i = 0; i < count; ++i) p.bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    if (type < 0) std::reverse(p.bytes.begin(), p.bytes.end());
    *pattern = std::move(p);
    return true;
}

namespace {
template <typename Stream>
bool searchFor(Stream& stream, const SearchPattern& p)
{
    return SearchStream(stream, reinterpret_cast<const std::uint8_t*>(p.bytes.data()), p.bytes.size(), p.compare);
}
}  // namespace

bool SearchText(MemoryStream& stream, const std::string& text, std::int8_t type, QString* error)
{
    SearchPattern p;
    return textPattern(text, type, &p, error) && searchFor(stream, p);
}

bool SearchText(QIODevice& stream, const std::string& text, std::int8_t type, QString* error)
{
    SearchPattern p;
    return textPattern(text, type, &p, error) && searchFor(stream, p);
}

bool SearchInteger(MemoryStream& stream, std::int32_t value, std::int8_t type, QString* error)
{
    SearchPattern p;
    return integerPattern(value, type, &p, error) && searchFor(stream, p);
}

bool SearchInteger(QIODevice& stream, std::int32_t value, std::int8_t type, QString* error)
{
    SearchPattern p;
    return integerPattern(value, type, &p, error) && searchFor(stream, p);
}

}  // namespace kestrix
