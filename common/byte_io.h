#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include <QByteArray>

namespace kestrix {

// Reads little-endian values from a span of bytes it does not own, never outside it. Every file
// format of the suite is parsed through it.
//
// Two ways to read: at the position (u8(), u16(), u32(), bytes(), skip()), which advance it, and at
// an absolute offset (u16At() and the like), which leave it alone. A read at the position that
// does not fit returns 0, reads nothing, leaves the position where it was and marks the reader
// failed, so a parser may read a whole header and check ok() once. The at-offset reads answer
// std::nullopt instead and never mark the reader. Offsets are checked by subtraction, so no offset
// or count from a file can overflow the check.
class ByteReader {
public:
    ByteReader(const void* data, std::size_t size) : m_data(static_cast<const std::uint8_t*>(data)), m_size(size) {}
    explicit ByteReader(const QByteArray& bytes) : ByteReader(bytes.constData(), static_cast<std::size_t>(bytes.size()))
    {
    }
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

    std::size_t size() const { return m_size; }
    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_size - m_position; }
    bool atEnd() const { return m_position == m_size; }
    // False once a read at the position did not fit.
    bool ok() const { return !m_failed; }

    // Whether `count` bytes are there at `offset` (or at the position).
    bool has(std::size_t offset, std::size_t count) const { return offset <= m_size && count <= m_size - offset; }
    bool canRead(std::size_t count) const { return has(m_position, count); }

    // Moves the position; an offset beyond the end fails and leaves it where it was.
    bool seek(std::size_t offset)
    {
        if (offset > m_size) return fail();
        m_position = offset;
        return true;
    }
    bool skip(std::size_t count)
    {
        if (!canRead(count)) return fail();
        m_position += count;
        return true;
    }

    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    // Copies `count` bytes to `out`; false (nothing copied) when they are not all there.
    bool bytes(void* out, std::size_t count)
    {
        if (!canRead(count)) return fail();
        if (count > 0) std::memcpy(out, m_data + m_position, count);
        m_position += count;
        return true;
    }
    // The bytes at the position, for a caller that reads `count` of them in place; null when they
    // are not all there. The position does not move.
    const std::uint8_t* peek(std::size_t count) const { return canRead(count) ? m_data + m_position : nullptr; }

    std::optional<std::uint8_t> u8At(std::size_t offset) const { return valueAt<std::uint8_t>(offset, 1); }
    std::optional<std::uint16_t> u16At(std::size_t offset) const { return valueAt<std::uint16_t>(offset, 2); }
    std::optional<std::uint32_t> u32At(std::size_t offset) const { return valueAt<std::uint32_t>(offset, 4); }
    std::optional<std::int16_t> i16At(std::size_t offset) const
    {
        const auto v = u16At(offset);
        return v ? std::optional<std::int16_t>(static_cast<std::int16_t>(*v)) : std::nullopt;
    }
    // Whether the `count` bytes at `offset` are those of `expected` (a tag such as "RIFF"); false
    // when they are not all there.
    bool equalsAt(std::size_t offset, const void* expected, std::size_t count) const
    {
        return has(offset, count) && (count == 0 || std::memcmp(m_data + offset, expected, count) == 0);
    }

private:
    bool fail()
    {
        m_failed = true;
        return false;
    }
    std::uint32_t take(std::size_t count)
    {
        if (!canRead(count)) {
            fail();
            return 0;
        }
        const std::uint32_t v = load(m_position, count);
        m_position += count;
        return v;
    }
    std::uint32_t load(std::size_t offset, std::size_t count) const
    {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < count; ++i) v |= static_cast<std::uint32_t>(m_data[offset + i]) << (8 * i);
        return v;
    }
    template <typename T>
    std::optional<T> valueAt(std::size_t offset, std::size_t count) const
    {
        if (!has(offset, count)) return std::nullopt;
        return static_cast<T>(load(offset, count));
    }

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_position = 0;
    bool m_failed = false;
};

// Little-endian values into bytes: appended to a growing buffer, or put over bytes already there.
// A put that does not fit is a fault of the caller (the layouts are ours): it writes nothing and
// returns false.
template <typename Buffer>
class BasicByteWriter {
public:
    explicit BasicByteWriter(Buffer& out) : m_out(out) {}

    std::size_t size() const { return static_cast<std::size_t>(m_out.size()); }

    void u8(std::uint8_t v) { append(v, 1); }
    void u16(std::uint16_t v) { append(v, 2); }
    void u32(std::uint32_t v) { append(v, 4); }
    void bytes(const void* data, std::size_t count)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < count; ++i) append(p[i], 1);
    }
    // `count` zero bytes.
    void zeros(std::size_t count)
    {
        // QByteArray::resize leaves the new bytes uninitialised, so they are filled here.
        const auto old = m_out.size();
        m_out.resize(old + static_cast<decltype(m_out.size())>(count));
        std::fill(m_out.begin() + old, m_out.end(), 0);
    }

    bool u8At(std::size_t offset, std::uint8_t v) { return put(offset, v, 1); }
    bool u16At(std::size_t offset, std::uint16_t v) { return put(offset, v, 2); }
    bool u32At(std::size_t offset, std::uint32_t v) { return put(offset, v, 4); }

private:
    void append(std::uint32_t v, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) m_out.push_back(static_cast<typename Buffer::value_type>(v >> (8 * i)));
    }
    bool put(std::size_t offset, std::uint32_t v, std::size_t count)
    {
        const std::size_t n = size();
        if (offset > n || count > n - offset) return false;
        for (std::size_t i = 0; i < count; ++i)
            m_out[static_cast<decltype(m_out.size())>(offset + i)] =
                static_cast<typename Buffer::value_type>((v >> (8 * i)) & 0xFF);
        return true;
    }

    Buffer& m_out;
};

using ByteWriter = BasicByteWriter<std::vector<std::uint8_t>>;
using QByteWriter = BasicByteWriter<QByteArray>;

}  // namespace kestrix
