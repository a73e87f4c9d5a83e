#include "game_image.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "byte_io.h"

namespace pictor {
namespace {

constexpr qint64 kFullScreenSize = 307200;
constexpr qint64 kSquareSize = 65536;
constexpr qint64 kWideSize = 131884;
constexpr qint64 kWideStart = 812;
constexpr qint64 kSpriteStart = 12;

struct Geometry {
    bool matched = false;
    int width = 0;
    int height = 0;
    qint64 start = 0;
};

// Width, height and start offset of a picture file: the sprite header, then the size rules
// (which win over it), then the custom layout (which wins over everything).
Geometry geometryOf(QFile& file, const CustomLayout& layout)
{
    Geometry g;
    const QString suffix = QFileInfo(file.fileName()).suffix().toLower();
    if (suffix == QLatin1String("qsr") || suffix == QLatin1String("qsp")) {
        file.seek(0);
        const QByteArray header = file.read(10);
        const kestrix::ByteReader reader(header);  // a short file gives 0 for the bytes it lacks
        g = {true, reader.u8At(8).value_or(0), reader.u8At(9).value_or(0), kSpriteStart};
    }
    const qint64 size = file.size();
    if (size == kFullScreenSize) g = {true, 640, 480, 0};
    if (size == kSquareSize) g = {true, 256, 256, 0};
    if (size == kWideSize) g = {true, 512, 256, kWideStart};
    if (layout.custom) g = {true, layout.width, layout.height, layout.begin};
    return g;
}

QString boundsError(const QString& path, const Geometry& g, int maxWidth, int bytesPerPixel)
{
    if (g.width > maxWidth)
        return QStringLiteral("%1: rows of %2 pixels (%3 bytes) are wider than the %4 bytes a row can hold here")
            .arg(path)
            .arg(g.width)
            .arg(static_cast<qint64>(g.width) * bytesPerPixel)
            .arg(32768);
    if (static_cast<qint64>(g.width) * g.height > kMaxPixels)
        return QStringLiteral("%1: a picture of %2 x %3 pixels is larger than the %4 pixels this view allows")
            .arg(path)
            .arg(g.width)
            .arg(g.height)
            .arg(kMaxPixels);
    return {};
}

// The rows of the picture, `width` bytes each from `start`; bytes the file does not hold are 0.
QByteArray readRows(QFile& file, const Geometry& g)
{
    const qint64 want = static_cast<qint64>(g.width) * g.height;
    QByteArray rows(want, '\0');
    if (want > 0 && g.start < file.size() && file.seek(g.start)) {
        const qint64 got = file.read(rows.data(), want);
        Q_UNUSED(got);  // a short read leaves zeros behind it: missing pixels show index 0
    }
    return rows;
}

// The break-index line coding: a byte in the band [first, last] starts a new line, the byte after
// it is the new x; any other byte is a pixel at (x, y), x counting on. Runs to the end of the
// file; pixels outside the picture are dropped. `plot(x, y, byte)` stores one pixel.
template <typename Plot>
void decodeBreakIndex(const QByteArray& data, qint64 begin, const CustomLayout& layout, int width, int height,
                      Plot plot)
{
    int x = 0, y = 0;
    for (qint64 at = begin; at < data.size(); ++at) {
        const auto b = static_cast<unsigned char>(data[at]);
        if (b >= layout.breakFirst && b <= layout.breakLast) {
            ++y;
            if (++at >= data.size()) break;
            x = static_cast<unsigned char>(data[at]);
            continue;
        }
        if (x >= 0 && x < width && y >= 0 && y < height) plot(x, y, b);
        ++x;
    }
}

// Opens a picture file and works out its geometry, checked against the row bounds. False with `r`
// saying why (an error, or no rule for the file) when there is nothing to read.
bool openWithGeometry(const QString& path, const CustomLayout& layout, int maxWidth, int bytesPerPixel, QFile& file,
                      Geometry& g, GameImageLoad& r)
{
    if (!file.open(QIODevice::ReadOnly)) {
        r.status = GameImageLoad::Status::Error;
        r.error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    g = geometryOf(file, layout);
    if (!g.matched) {
        r.status = GameImageLoad::Status::NoRule;  // the previous picture stays
        return false;
    }
    if (const QString e = boundsError(path, g, maxWidth, bytesPerPixel); !e.isEmpty()) {
        r.status = GameImageLoad::Status::Error;
        r.error = e;
        return false;
    }
    r.status = GameImageLoad::Status::Loaded;
    return true;
}

GameImageLoad loadIndexed(const QString& path, Palette& palette, const CustomLayout& layout, int depth)
{
    GameImageLoad r;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return r;

    if (info.suffix().toLower() == QLatin1String("qbc")) {
        if (depth >= kMaxBatchDepth) {
            r.status = GameImageLoad::Status::Error;
            r.error = QStringLiteral("%1: batch files nested too deeply").arg(path);
            return r;
        }
        QFile batch(path);
        if (!batch.open(QIODevice::ReadOnly)) {
            r.status = GameImageLoad::Status::Error;
            r.error = QStringLiteral("%1: %2").arg(path, batch.errorString());
            return r;
        }
        auto line = [&batch] {
            QByteArray l = batch.readLine();
            while (l.endsWith('\n') || l.endsWith('\r')) l.chop(1);
            return QString::fromUtf8(l);
        };
        const QString folder = info.path() + u'/';
        const QString paletteLine = line();
        const QString imageLine = line();
        r.paletteLoad = LoadPalette(folder + paletteLine);
        if (r.paletteLoad.status != PaletteLoad::Status::Loaded) {
            // A missing palette stops the batch silently; an invalid one with its message.
            if (r.paletteLoad.status != PaletteLoad::Status::Nothing) {
                r.status = GameImageLoad::Status::Error;
                r.error = r.paletteLoad.error;
            }
            return r;
        }
        palette = r.paletteLoad.palette;
        GameImageLoad inner = loadIndexed(folder + imageLine, palette, layout, depth + 1);
        inner.paletteLoaded = true;
        inner.paletteLoad = r.paletteLoad;
        return inner;
    }

    r.fileName = info.fileName();
    QFile file(path);
    Geometry g;
    if (!openWithGeometry(path, layout, kMaxIndexWidth, 1, file, g, r)) return r;
    if (g.width <= 0 || g.height <= 0) return r;  // an empty picture

    QImage image(g.width, g.height, QImage::Format_Indexed8);
    BuildPlatformPalette(image, palette);
    if (layout.custom && layout.breakIndex) {
        // Colours land on the palette entry nearest to them, as on an 8-bit display.
        image.fill(static_cast<uint>(palette.nearestIndex(layout.background)));
        std::uint8_t entryFor[256];
        for (int i = 0; i < 256; ++i) entryFor[i] = static_cast<std::uint8_t>(palette.nearestIndex(palette.rgb(i)));
        const QByteArray data = file.readAll();
        decodeBreakIndex(data, g.start, layout, g.width, g.height,
                         [&](int x, int y, unsigned char b) { image.scanLine(y)[x] = entryFor[b]; });
    } else {
        const QByteArray rows = readRows(file, g);
        for (int y = 0; y < g.height; ++y)
            std::memcpy(image.scanLine(y), rows.constData() + static_cast<qint64>(y) * g.width,
                        static_cast<std::size_t>(g.width));
    }
    r.image = image;
    return r;
}

}  // namespace

GameImageLoad LoadGameImage(const QString& path, Palette& palette, const CustomLayout& layout)
{
    return loadIndexed(path, palette, layout, 0);
}

GameImageLoad LoadDroppedImage(const QString& path, const Palette& palette, const CustomLayout& layout)
{
    GameImageLoad r;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return r;
    r.fileName = info.fileName();
    QFile file(path);
    Geometry g;
    if (!openWithGeometry(path, layout, layout.custom ? kMaxColourWidth : kMaxIndexWidth, layout.custom ? 3 : 1, file,
                          g, r))
        return r;
    if (g.width <= 0 || g.height <= 0) return r;

    if (layout.custom) {
        // Custom dimensions give a 24-bit picture holding each pixel's colour.
        QImage image(g.width, g.height, QImage::Format_RGB888);
        if (layout.breakIndex) {
            image.fill(layout.background);
            const QByteArray data = file.readAll();
            decodeBreakIndex(data, g.start, layout, g.width, g.height,
                             [&](int x, int y, unsigned char b) { image.setPixel(x, y, palette.rgb(b)); });
        } else {
            const QByteArray rows = readRows(file, g);
            for (int y = 0; y < g.height; ++y) {
                uchar* line = image.scanLine(y);
                const auto* src =
                    reinterpret_cast<const unsigned char*>(rows.constData()) + static_cast<qint64>(y) * g.width;
                for (int x = 0; x < g.width; ++x) {
                    line[3 * x] = palette.bytes[src[x]][2];
                    line[3 * x + 1] = palette.bytes[src[x]][1];
                    line[3 * x + 2] = palette.bytes[src[x]][0];
                }
            }
        }
        r.image = image;
        return r;
    }

    // Through the colours and back to 8 bits: each pixel becomes the lowest index of its colour.
    std::uint8_t back[256];
    for (int i = 0; i < 256; ++i) back[i] = static_cast<std::uint8_t>(palette.indexOf(palette.rgb(i)));
    const QByteArray rows = readRows(file, g);
    QImage image(g.width, g.height, QImage::Format_Indexed8);
    BuildPlatformPalette(image, palette);
    for (int y = 0; y < g.height; ++y) {
        uchar* line = image.scanLine(y);
        const auto* src = reinterpret_cast<const unsigned char*>(rows.constData()) + static_cast<qint64>(y) * g.width;
        for (int x = 0; x < g.width; ++x) line[x] = back[src[x]];
    }
    r.image = image;
    return r;
}

QString dimensionText(const QImage& image)
{
    return QStringLiteral("X : %1\n\rY : %2").arg(image.width()).arg(image.height());
}

}  // namespace pictor
