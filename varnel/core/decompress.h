#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>

namespace kestrix {
class MemoryStream;
}

namespace varnel {

// Why a compressed stream could not be expanded in full.
enum class DecodeStatus : std::uint8_t {
    Ok,
    SourceTooShort,       // the stream ended before the output was full
    DistanceBeforeStart,  // a copy reached back before the first output byte
    SizeTooLarge,         // the declared size exceeds what the packed bytes can possibly produce
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::Ok;
    std::size_t produced = 0;  // output bytes decoded before the stream ended or went wrong
    std::size_t consumed = 0;  // source bytes read
    bool isDamaged() const { return status != DecodeStatus::Ok; }
};

// Expands the compressed stream `src` (flag bytes steering literal and copy items; copy length =
// low nibble + `bias`, distance = high 12 bits + 1) into exactly `dstSize` bytes at `dst`.
// Never reads outside src[0, srcSize) nor writes outside dst[0, dstSize). When the stream is
// damaged, decoding stops at the fault, the rest of the output is zero and the result says why.
DecodeResult decompress(std::uint8_t* dst, std::size_t dstSize, const std::uint8_t* src, std::size_t srcSize,
                        std::uint8_t bias);

// The most output `packedSize` compressed bytes can produce: each group of 1 + 16 bytes yields
// at most 8 x 18 bytes, so 9 x packed + 144 is a safe upper bound. A larger declared size marks
// the input as damaged.
// The games' biases are 2 and 3; a larger one (which the library's export accepts) makes longer
// copies, and the bound grows with it: 8 copies of 15 + bias bytes for every 17 packed bytes.
constexpr std::uint64_t maxExpandedSize(std::uint64_t packedSize, std::uint8_t bias = 3)
{
    return bias <= 3 ? 9 * packedSize + 144 : (packedSize / 17 + 1) * 8 * (15 + std::uint64_t{bias});
}

// Expands `src` into `dst`, which is resized to `declaredSize`, or to maxExpandedSize(srcSize, bias)
// when the declared size is larger than that (reported as SizeTooLarge: such a size is never
// allocated in full). The position of `dst` stays where it was unless it lay beyond the new end.
DecodeResult decompressInto(kestrix::MemoryStream& dst, const std::uint8_t* src, std::size_t srcSize,
                            std::uint64_t declaredSize, std::uint8_t bias);

// A sentence for a damaged stream, such as "the compressed data ends after 120 of 4000 bytes".
QString describeDecodeProblem(const DecodeResult& result, std::uint64_t declaredSize, std::uint64_t packedSize);

}  // namespace varnel
