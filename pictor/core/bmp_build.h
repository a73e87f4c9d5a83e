#pragma once

// Pieces of an in-memory BMP file, for the PCX and TGA readers: both convert their file into a
// complete BMP (file header, info header, colour table, bottom-up rows) and hand it to Qt's BMP
// loader. Private to those two codecs.

#include <QByteArray>
#include <QtGlobal>

#include "byte_io.h"

namespace pictor::bmp {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

// Bytes of one BMP row of `width` pixels of `bits` each: whole 32-bit words.
constexpr qint64 rowStride(qint64 width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The 14-byte file header at the start of `file` (already that long): "BM", the file's size, two
// reserved zeros, where the rows start.
inline void writeFileHeader(QByteArray& file, quint32 fileSize, quint32 pixelOffset)
{
    kestrix::QByteWriter w(file);
    [[maybe_unused]] const bool fits =
        w.u8At(0, 'B') && w.u8At(1, 'M') && w.u32At(2, fileSize) && w.u32At(6, 0) && w.u32At(10, pixelOffset);
    Q_ASSERT(fits);
}

// The 40-byte info header, at `at` in `file` (already that long), of an uncompressed picture whose
// rows run bottom-up (positive height), one plane, resolutions 0, no "important colours" count.
inline void writeInfoHeader(QByteArray& file, std::size_t at, qint32 width, qint32 height, quint16 bitCount,
                            quint32 imageSize, quint32 colorsUsed)
{
    kestrix::QByteWriter w(file);
    [[maybe_unused]] const bool fits = w.u32At(at, kInfoHeaderSize) && w.u32At(at + 4, static_cast<quint32>(width)) &&
                                       w.u32At(at + 8, static_cast<quint32>(height)) && w.u16At(at + 12, 1) &&
                                       w.u16At(at + 14, bitCount) && w.u32At(at + 16, 0) &&
                                       w.u32At(at + 20, imageSize) && w.u32At(at + 24, 0) && w.u32At(at + 28, 0) &&
                                       w.u32At(at + 32, colorsUsed) && w.u32At(at + 36, 0);
    Q_ASSERT(fits);
}

// A colour table of `count` entries (blue, green, red, 0) from `count` triples of red, green, blue.
// The fourth byte of each entry is left as it is (the caller's buffer starts zeroed).
inline void writeColorTableFromRgb(char* table, const char* rgb, int count)
{
    for (int i = 0; i < count; ++i) {
        table[4 * i] = rgb[3 * i + 2];
        table[4 * i + 1] = rgb[3 * i + 1];
        table[4 * i + 2] = rgb[3 * i];
    }
}

}  // namespace pictor::bmp
