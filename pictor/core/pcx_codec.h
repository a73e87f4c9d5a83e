#pragma once

// PCX reading: 256-colour pictures (8 bits per pixel, 1 plane) and 16-colour pictures (1 bit per
// pixel, 4 planes), run-length coded. The file is converted into a complete BMP file in memory and
// that is handed to Qt's BMP loader.

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

namespace pictor {

// The one error text of every PCX refusal (CR LF between the sentences).
extern const char kPcxRefusal[];

// The header bytes that isPcxHeader looks at.
constexpr int kPcxHeaderCheckSize = 68;

// Whether `bytes` begin with a PCX header of a layout this reader decodes: manufacturer 10 and
// either 8 bits in 1 plane or 1 bit in 4 planes. False for data shorter than its fields. The
// picture's size is not checked here.
bool isPcxHeader(const QByteArray& bytes);

// Converts PCX data (8 bits 1 plane, or 1 bit 4 planes) into a complete BMP file in memory (file
// header, info header, colour table, bottom-up rows); nothing for any other PCX or non-PCX data, a
// header shorter than its fields or with no bytes per line, or a width or height (from Xmin/Xmax,
// Ymin/Ymax) that is not positive or gives more than 64 million pixels. Pixel data that the file
// does not hold (a truncated file) decodes as index 0. A 256-colour picture takes its colour table
// from the 768 bytes after the marker 12 that ends the file, else the table is all black; a
// 16-colour picture takes the 16 colours of its header. Never reads outside `pcx`.
std::optional<QByteArray> pcxToBmp(const QByteArray& pcx);

// pcxToBmp handed to Qt's BMP loader: an 8-bit indexed picture (Format_Indexed8) with 256 or 16
// colours. Returns false with `error` = kPcxRefusal on any failure; `out` is then untouched.
bool loadPcx(const QByteArray& data, QImage* out, QString* error);

// A picture read from PCX data; used like the QImage it is.
class TPCXBitmap : public QImage {
public:
    // Reads the rest of `stream` as a PCX file (loadPcx). On failure returns false with `error`
    // = kPcxRefusal, and the picture keeps what it held.
    bool LoadFromStream(QIODevice* stream, QString* error);
};

}  // namespace pictor
