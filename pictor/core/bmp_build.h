#pragma once

// Pieces of an in-memory BMP file, for the PCX and TGA readers: both convert their file into a
// complete BMP (file header, info header, colour table, bottom-up rows) and hand it to Qt's BMP
// loader. Private to those two codecs.

#include <QtGlobal>

namespace pictor::bmp {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

inline void put16(char* at, quint16 value)
{
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

inline void put32(char* at, quint32 value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Bytes of one BMP row of `width` pixels of `bits` each: whole 32-bit words.
constexpr qint64 rowStride(qint64 width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The 14-byte file header: "BM", the file's size, two reserved zeros, where the rows start.
inline void writeFileHeader(char* at, quint32 fileSize, quint32 pixelOffset)
{
    at[0] = 'B';
    at[1] = 'M';
    put32(at + 2, fileSize);
    put32(at + 6, 0);
    put32(at + 10, pixelOffset);
}

// The 40-byte info header of an uncompressed picture whose rows run bottom-up (positive height),
// one plane, resolutions 0, no "important colours" count.
inline void writeInfoHeader(char* at, qint32 width, qint32 height, quint16 bitCount, quint32 imageSize,
                            quint32 colorsUsed)
{
    put32(at, kInfoHeaderSize);
    put32(at + 4, static_cast<quint32>(width));
    put32(at + 8, static_cast<quint32>(height));
    put16(at + 12, 1);
    put16(at + 14, bitCount);
    put32(at + 16, 0);
    put32(at + 20, imageSize);
    put32(at + 24, 0);
    put32(at + 28, 0);
    put32(at + 32, colorsUsed);
    put32(at + 36, 0);
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
