#pragma once

#include <QImage>
#include <QString>

#include "palette.h"
#include "picture_limits.h"

namespace pictor {

// The developer tool bar's settings: custom dimensions and the break-index line coding.
struct CustomLayout {
    bool custom = false;  // use width, height and start below instead of the file's rules
    int width = 256;      // 0 .. 65535
    int height = 256;
    int begin = 0;            // start offset, 0 .. 65535
    bool breakIndex = false;  // decode with the break-index line coding (with custom on)
    int breakFirst = 0;       // 0 .. 255
    int breakLast = 0;
    QRgb background = qRgb(0, 0, 0);
};

// Outcome of loading a game picture.
struct GameImageLoad {
    enum class Status {
        Nothing,  // empty name or no such file: nothing is shown or said
        Loaded,   // `image` is the picture (8-bit with the palette, or 24-bit in the colour path)
        NoRule,   // no rule names the file's dimensions: the index path shows an empty picture,
                  // the colour path keeps the previous one
        Error,    // `error` says why (bounds, nesting, a palette that failed)
    };
    Status status = Status::Nothing;
    QImage image;
    QString fileName;  // the picture file's name without folder, for the caption
    QString error;
    bool paletteLoaded = false;  // a batch file loaded its palette into the caller's palette
    PaletteLoad paletteLoad;     // that load, for its status text and messages
};

// Widest rows each path handles: 32,768 bytes an 8-bit row, 32,768 bytes a 24-bit row.
constexpr int kMaxIndexWidth = 32768;
constexpr int kMaxColourWidth = 32768 / 3;
// A batch file naming another one is followed this many levels deep at most.
constexpr int kMaxBatchDepth = 4;

// The index path: a full-screen (307,200 bytes: 640 x 480), square (65,536: 256 x 256) or wide
// (131,884: 512 x 256 from byte 812) picture by its size, a sprite by its ".qsp"/".qsr" extension
// (width at byte 8, height at byte 9, pixels from 12), or the custom layout; one palette index a
// pixel, shown with `palette` as colour table. A ".qbc" batch file loads its palette (line 1) into
// `palette` and then its picture (line 2), both relative to its folder. Pixels a short file does
// not hold are 0.
GameImageLoad LoadGameImage(const QString& path, Palette& palette, const CustomLayout& layout);

// The colour path, for dropped files: the same rules, but pixels go through their colours: with
// custom dimensions a 24-bit picture, otherwise a 24-bit picture converted back to 8 bits against
// the palette (an index whose colour repeats at a lower index comes back as the lower one). No
// batch files.
GameImageLoad LoadDroppedImage(const QString& path, const Palette& palette, const CustomLayout& layout);

// "X : width" line feed, carriage return, "Y : height".
QString dimensionText(const QImage& image);

}  // namespace pictor
