#pragma once

// TGA reading and writing for 8-bit colour-mapped pictures: uncompressed pixel indices with a colour
// map of 256 entries of 24 bits. Reading converts the file into a complete BMP file in memory and
// hands that to Qt's BMP loader.

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

namespace pictor {

// The size of a TGA header.
constexpr int kTgaHeaderSize = 18;

// Whether `bytes` begin with the 18-byte header of a picture this reader reads: no image ID, a
// colour map of 256 entries of 24 bits, uncompressed colour-mapped pixels of 8 bits. The same
// checks as tgaToBmp's; false for data shorter than the header.
bool isTgaHeader(const QByteArray& bytes);

// Converts an uncompressed colour-mapped 8-bit TGA (256 colours of 24 bits) into a complete BMP
// file (1078 bytes of headers and colour table, then bottom-up rows padded to 4 bytes). The header
// checks run in this order and the first failure sets its text in `error`: image ID length 0,
// colour map type 1, image type 1, colour map length 256 (else `notice` first receives the length
// in decimal, then the error is "Incorrect number of colors"), entry size 24, pixel depth 8. Header
// bytes that a file shorter than 18 bytes lacks count as 0. Then a picture without pixels, one of
// more than 64 million pixels, or a file shorter than 786 + width x height bytes is refused with an
// error naming the sizes. The pixel rows start at byte 786 whatever the row order (descriptor bit 5
// set: top row first), so an extension area or footer after them is ignored. Returns false with
// `bmp` untouched on failure; never reads outside `tga`.
bool tgaToBmp(const QByteArray& tga, QByteArray* bmp, QString* error, QString* notice = nullptr);

// tgaToBmp handed to Qt's BMP loader: an 8-bit indexed picture (Format_Indexed8) with 256 colours.
// On failure returns false with the error (and notice) of tgaToBmp; `out` is then untouched.
bool loadTga(const QByteArray& data, QImage* out, QString* error, QString* notice = nullptr);

// Writes an 8-bit picture with its colour table as a TGA: the header (type 1, colour map of 256
// entries of 24 bits from index 0, origin 0, the picture's size, 8 bits a pixel, descriptor 0x20
// for top-left origin), the colour map as blue, green, red (a table of fewer than 256 colours is
// padded with black; alpha is dropped), then the rows top to bottom with no padding: 786 + width x
// height bytes in `out`. Errors: "Unsupported format. Only 8bit images are supported" for a picture
// that is not 8 bits a pixel, "Invalid image data" for an empty picture or one without a colour
// table, and a text naming the size for one wider or higher than 65535 pixels.
bool saveTga(const QImage& image, QByteArray* out, QString* error);

// A picture read from or written as a TGA file; used like the QImage it is.
class TTGAimage : public QImage {
public:
    TTGAimage() = default;
    explicit TTGAimage(const QImage& image) : QImage(image) {}

    // Reads the rest of `stream` as a TGA file (loadTga). On failure returns false with `error`
    // (and `notice`) set, and the picture keeps what it held.
    bool LoadFromStream(QIODevice* stream, QString* error, QString* notice = nullptr);
    // Writes the picture to `stream` as a TGA file (saveTga). Returns false with `error` set on
    // failure; "TGA writing error" when the stream does not take every byte.
    bool SaveToStream(QIODevice* stream, QString* error) const;
};

}  // namespace pictor
