#pragma once

#include <QImage>
#include <QString>

namespace pictor {

// Reads the JPEG at `path` at full scale with libjpeg's most accurate settings into `out` as a
// 24-bit picture (Format_RGB888); greyscale files come out as RGB with equal components.
// On any failure (missing file, not a JPEG, damaged or cut data, an image of more than 64 Mi pixels,
// a colour space libjpeg cannot turn into RGB) returns false, leaves `out` untouched and sets `error`
// to a text naming the file and libjpeg's reason. Nothing is printed and the program never exits.
bool readJpeg(const QString& path, QImage* out, QString* error);

// Writes `image` to `path` as a colour JPEG (three components, YCbCr) at quality 100 with every
// component at full resolution (4:4:4), so each channel stays within a few steps of the picture.
// Any format is accepted: it is converted to 24-bit RGB first, an indexed picture through its colour
// table. Returns false with `error` set for an empty picture, one larger than JPEG allows (65500
// pixels a side) or a file that cannot be written; the file is written whole or not at all.
bool writeJpeg(const QImage& image, const QString& path, QString* error);

}  // namespace pictor
