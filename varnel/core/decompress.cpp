#include "decompress.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "memory_stream.h"

namespace varnel {
namespace {

// Appends `length` bytes taken `distance` bytes back, with the effect of copying one byte at a
// time (a copy may overlap the bytes it produces). Writes up to 24 bytes past the copy: the
// caller guarantees the room, and later items overwrite them. Lengths beyond 18 only occur with
// biases above 3, which the export accepts, so the wide copies loop instead of stopping there.
inline void copyMatchFast(std::uint8_t* out, std::size_t distance, std::size_t length)
{
    const std::uint8_t* from = out - distance;
    if (distance >= 16) {
        std::memcpy(out, from, 16);
        for (std::size_t i = 16; i < length; i += 16) std::memcpy(out + i, from + i, 16);
    } else if (distance >= 8) {
        for (std::size_t i = 0; i < length; i += 8) std::memcpy(out + i, from + i, 8);
    } else if (distance == 1) {
        std::memset(out, *from, 24);
        if (length > 24) std::memset(out + 24, *from, length - 24);
    } else {
        for (std::size_t i = 0; i < length; ++i) out[i] = from[i];
    }
}

}  // namespace

DecodeResult decompress(std::uint8_t* dst, std::size_t dstSize, const std::uint8_t* src, std::size_t srcSize,
                        std::uint8_t bias)
{
    DecodeResult r;
    std::size_t out = 0;
    std::size_t in = 0;

    // Fast loop: while a whole group (1 + 16 source bytes, plus the 8 bytes a literal run may
    // read ahead) and its output (at most 8 longest copies, plus what the wide copies write
    // ahead) fit in the buffers, items are decoded without bounds checks. A run of literal bits
    // is copied in one go.
    const std::size_t room = 8 * (15 + static_cast<std::size_t>(bias)) + 32;
    while (dstSize - out >= room && srcSize - in >= 25) {
        unsigned flags = src[in++];
        int remaining = 8;
        for (;;) {
            const int literals = std::countr_one(flags);  // bits above `remaining` are zero
            std::memcpy(dst + out, src + in, 8);
            out += static_cast<std::size_t>(literals);
            in += static_cast<std::size_t>(literals);
            remaining -= literals;
            if (remaining <= 0) break;
            flags >>= literals + 1;
            --remaining;
            const unsigned word = src[in] | (static_cast<unsigned>(src[in + 1]) << 8);
            const std::size_t distance = (word >> 4) + 1;
            if (distance > out) {
                r.status = DecodeStatus::DistanceBeforeStart;
                r.produced = out;
                r.consumed = in + 2;
                std::memset(dst + out, 0, dstSize - out);
                return r;
            }
            in += 2;
            const std::size_t length = (word & 0x0F) + bias;
            copyMatchFast(dst + out, distance, length);
            out += length;
            if (remaining == 0) break;
        }
    }

    // Careful loop for the last groups: every read and write is checked.
    while (out < dstSize) {
        if (in >= srcSize) {
            r.status = DecodeStatus::SourceTooShort;
            break;
        }
        unsigned flags = src[in++];
        for (int bit = 0; bit < 8 && out < dstSize; ++bit, flags >>= 1) {
            if (flags & 1) {
                if (in >= srcSize) {
                    r.status = DecodeStatus::SourceTooShort;
                    break;
                }
                dst[out++] = src[in++];
                continue;
            }
            if (srcSize - in < 2) {
                r.status = DecodeStatus::SourceTooShort;
                break;
            }
            const unsigned word = src[in] | (static_cast<unsigned>(src[in + 1]) << 8);
            const std::size_t distance = (word >> 4) + 1;
            if (distance > out) {
                r.status = DecodeStatus::DistanceBeforeStart;
                in += 2;
                break;
            }
            in += 2;
            // A copy that would run past the end of the output is cut at it.
            const std::size_t length = std::min<std::size_t>((word & 0x0F) + bias, dstSize - out);
            for (std::size_t i = 0; i < length; ++i, ++out) dst[out] = dst[out - distance];
        }
        if (r.status != DecodeStatus::Ok) break;
    }
    r.produced = out;
    r.consumed = in;
    if (out < dstSize) std::memset(dst + out, 0, dstSize - out);
    return r;
}

DecodeResult decompressInto(kestrix::MemoryStream& dst, const std::uint8_t* src, std::size_t srcSize,
                            std::uint64_t declaredSize, std::uint8_t bias)
{
    const std::uint64_t cap = maxExpandedSize(srcSize, bias);
    const bool tooLarge = declaredSize > cap;
    const std::size_t size = static_cast<std::size_t>(tooLarge ? cap : declaredSize);
    const std::size_t position = dst.position();
    dst.setSize(size);
    dst.setPosition(position);
    DecodeResult r = decompress(dst.data(), size, src, srcSize, bias);
    if (tooLarge) r.status = DecodeStatus::SizeTooLarge;
    return r;
}

QString describeDecodeProblem(const DecodeResult& result, std::uint64_t declaredSize, std::uint64_t packedSize)
{
    switch (result.status) {
    case DecodeStatus::Ok:
        return {};
    case DecodeStatus::SourceTooShort:
        return QStringLiteral("the compressed data ends after %1 of %2 bytes").arg(result.produced).arg(declaredSize);
    case DecodeStatus::DistanceBeforeStart:
        return QStringLiteral("a copy at output byte %1 reaches back before the start of the data")
            .arg(result.produced);
    case DecodeStatus::SizeTooLarge:
        return QStringLiteral("the declared size of %1 bytes is more than %2 compressed bytes can hold")
            .arg(declaredSize)
            .arg(packedSize);
    }
    return {};
}

}  // namespace varnel
