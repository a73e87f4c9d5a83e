#pragma once

#include <QImage>
#include <QString>

namespace pictor {

// The two comment blocks every GIF we write carries before its image, in this order.
extern const char kGifCreatorComment[];
extern const char kGifSecondComment[];

// Reads the first image of the GIF at `path` into `out` as an 8-bit indexed picture (Format_Indexed8)
// of the image's own size. Its colour table is the image's local colour map if it has one, else the
// global map, with as many entries as the map holds (a power of two); an index beyond the map shows
// black. Later images are skipped, but the file must still run to its trailer.
// On any failure (missing file, not a GIF, damaged or cut data, an image of more than 64 Mi pixels,
// no colour map at all) returns false, leaves `out` untouched and sets `error` to a text naming the
// file and the reason. Never reads outside the file's data.
bool readGif(const QString& path, QImage* out, QString* error);

// Writes `image` to `path` as a GIF89a with the two comment blocks above ahead of the image.
// An 8-bit indexed picture keeps its indices and colour table (padded with black to 256 entries; an
// empty table is taken as Qt takes it, a grey ramp); any other picture is first converted to 8 bits
// by Qt, which picks the palette. Returns false with `error` set for an empty picture, one wider or
// higher than 65535 pixels, or a file that cannot be written; the file is written whole or not at
// all, so a failure leaves an earlier file of that name as it was.
bool writeGif(const QImage& image, const QString& path, QString* error);

}  // namespace pictor
