// The stream decoder. Input: byte 0 picks the length bias (bit 0: 2 or 3), bytes 1-3 the
// declared size (24 bits), the rest is the compressed stream. The decoder must agree with a
// plain one-item-at-a-time decoder written here from the format, never touch bytes outside its
// buffers (both are allocated to their exact sizes) and zero what it could not produce.
// The whole input also goes through the encoder and back.

#include <algorithm>
#include <cstring>
#include <memory>

#include "compress.h"
#include "decompress.h"
#include "fuzz_check.h"
#include "memory_stream.h"

namespace {

// The format, one item at a time: a flag byte steers eight items, low bit first; 1 is a literal
// byte, 0 a copy word (little-endian: distance = high 12 bits + 1, length = low 4 bits + bias).
varnel::DecodeResult referenceDecode(std::uint8_t* dst, std::size_t dstSize, const std::uint8_t* src,
                                     std::size_t srcSize, std::size_t bias)
{
    varnel::DecodeResult r;
    std::size_t out = 0;
    std::size_t in = 0;
    std::memset(dst, 0, dstSize);
    while (out < dstSize && r.status == varnel::DecodeStatus::Ok) {
        if (in == srcSize) {
            r.status = varnel::DecodeStatus::SourceTooShort;
            break;
        }
        const unsigned flags = src[in++];
        for (int bit = 0; bit < 8 && out < dstSize; ++bit) {
            if (flags & (1u << bit)) {
                if (in == srcSize) {
                    r.status = varnel::DecodeStatus::SourceTooShort;
                    break;
                }
                dst[out++] = src[in++];
                continue;
            }
            if (srcSize - in < 2) {
                r.status = varnel::DecodeStatus::SourceTooShort;
                break;
            }
            const unsigned word = src[in] | (src[in + 1] << 8);
            in += 2;
            const std::size_t distance = (word >> 4) + 1;
            if (distance > out) {
                r.status = varnel::DecodeStatus::DistanceBeforeStart;
                break;
            }
            for (std::size_t n = (word & 15) + bias; n > 0 && out < dstSize; --n, ++out) dst[out] = dst[out - distance];
        }
    }
    r.produced = out;
    r.consumed = in;
    return r;
}

void checkRoundTrip(const std::uint8_t* data, std::size_t size, std::uint8_t bias)
{
    if (size == 0) return;
    const std::vector<std::uint8_t> packed = varnel::compress(data, size, bias);
    FUZZ_CHECK(!packed.empty() && packed.size() <= size + size / 8 + 1);
    const std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[size]);
    const varnel::DecodeResult r = varnel::decompress(back.get(), size, packed.data(), packed.size(), bias);
    FUZZ_CHECK(r.status == varnel::DecodeStatus::Ok && r.produced == size && r.consumed == packed.size());
    if (std::memcmp(back.get(), data, size) != 0) {
        const auto at = std::mismatch(back.get(), back.get() + size, data).first - back.get();
        std::fprintf(stderr, "round trip with bias %d differs first at byte %td of %zu\n", bias, at, size);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const std::uint8_t bias = (data[0] & 1) ? 3 : 2;
    const std::uint64_t declared = data[1] | (data[2] << 8) | (data[3] << 16);
    const std::uint8_t* src = data + 4;
    const std::size_t srcSize = size - 4;

    // A size beyond what the stream can produce is cut to a little over that bound: the tail
    // is all zero anyway, and the buffer stays small.
    const std::size_t dstSize = static_cast<std::size_t>(std::min(declared, varnel::maxExpandedSize(srcSize) + 64));
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[dstSize]);
    std::memset(out.get(), 0xA5, dstSize);  // what the decoder leaves alone shows up below
    const varnel::DecodeResult r = varnel::decompress(out.get(), dstSize, src, srcSize, bias);
    FUZZ_CHECK(r.produced <= dstSize && r.consumed <= srcSize);
    FUZZ_CHECK(r.isDamaged() == (r.produced < dstSize));
    FUZZ_CHECK(std::all_of(out.get() + r.produced, out.get() + dstSize, [](std::uint8_t b) { return b == 0; }));

    const std::unique_ptr<std::uint8_t[]> expected(new std::uint8_t[dstSize]);
    const varnel::DecodeResult e = referenceDecode(expected.get(), dstSize, src, srcSize, bias);
    if (r.status != e.status || r.produced != e.produced || r.consumed != e.consumed) {
        std::fprintf(stderr, "decoder: status %d, produced %zu, consumed %zu; reference: %d, %zu, %zu\n",
                     static_cast<int>(r.status), r.produced, r.consumed, static_cast<int>(e.status), e.produced,
                     e.consumed);
        std::abort();
    }
    FUZZ_CHECK(std::memcmp(out.get(), expected.get(), dstSize) == 0);

    // The MemoryStream entry point: resized to the declared size, or to the bound when that is
    // smaller (reported as SizeTooLarge); the same bytes as the plain call.
    kestrix::MemoryStream stream;
    const varnel::DecodeResult s = varnel::decompressInto(stream, src, srcSize, declared, bias);
    const bool tooLarge = declared > varnel::maxExpandedSize(srcSize);
    FUZZ_CHECK((s.status == varnel::DecodeStatus::SizeTooLarge) == tooLarge);
    FUZZ_CHECK(stream.size() == std::min(declared, varnel::maxExpandedSize(srcSize)));
    if (!tooLarge) {
        FUZZ_CHECK(s.status == r.status && s.produced == r.produced);
        FUZZ_CHECK(dstSize == 0 || std::memcmp(stream.data(), out.get(), dstSize) == 0);
    }

    checkRoundTrip(data, size, bias);
    return 0;
}
