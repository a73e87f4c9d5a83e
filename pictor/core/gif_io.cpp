#include "gif_io.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QList>

#include <gif_lib.h>

#include "memory_stream.h"
#include "picture_limits.h"

namespace pictor {

const char kGifCreatorComment[] = "Created by Quarn Viewer\n";
const char kGifSecondComment[] = "Pictor export from the Kestrix suite\n";

namespace {

// Widths and heights are 16-bit in a GIF.
constexpr int kMaxSide = 65535;

QString gifReason(int code)
{
    // GifErrorString has no text for 0 nor for codes it does not know, and returns NULL for them.
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("giflib error %1").arg(code);
}

int readFromFile(GifFileType* gif, GifByteType* buffer, int length)
{
    const qint64 got = static_cast<QFile*>(gif->UserData)->read(reinterpret_cast<char*>(buffer), length);
    return got < 0 ? 0 : static_cast<int>(got);
}

int appendToBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct DecoderCloser {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifDecoder = std::unique_ptr<GifFileType, DecoderCloser>;

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Decodes the current image's pixels into `image` (already of the image's size), putting the rows of
// an interlaced image in their places: its four passes hold every 8th row from 0, every 8th from 4,
// every 4th from 2 and every 2nd from 1.
bool readRows(GifFileType* gif, QImage& image)
{
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    const int passes = gif->Image.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = passes == 1 ? 0 : kStart[pass];
        const int step = passes == 1 ? 1 : kStep[pass];
        for (int y = start; y < image.height(); y += step)
            if (DGifGetLine(gif, image.scanLine(y), image.width()) == GIF_ERROR) return false;
    }
    return true;
}

// Reads past the data of an image we do not show, without decoding it.
bool skipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

bool skipExtension(GifFileType* gif)
{
    int function = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &function, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

QList<QRgb> colourTable(const ColorMapObject& map, const QImage& image)
{
    QList<QRgb> table;
    for (int i = 0; i < map.ColorCount; ++i)
        table.append(qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue));
    // A damaged file may use indices its map does not hold; they get black entries (the colour Qt
    // draws for them anyway) so that every pixel names an entry of the table.
    int highest = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        highest = std::max<int>(highest, *std::max_element(row, row + image.width()));
    }
    if (highest >= table.size()) table.resize(highest + 1, qRgb(0, 0, 0));
    return table;
}

}  // namespace

bool readGif(const QString& path, QImage* out, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());

    int code = 0;
    GifDecoder gif(DGifOpen(&file, readFromFile, &code));
    // A file cut inside its screen descriptor or global colour map: giflib says "no screen descriptor".
    if (!gif)
        return fail(code == 0 || code == D_GIF_ERR_NO_SCRN_DSCR
                        ? QStringLiteral("not a readable GIF: its header or global colour map is cut short")
                        : QStringLiteral("not a readable GIF: ") + gifReason(code));
    const auto damaged = [&] { return fail(QStringLiteral("damaged GIF: ") + gifReason(gif->Error)); };

    // Records up to the trailer: the first image is decoded, later ones and all extensions skipped.
    QImage picture;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return damaged();
        if (type == TERMINATE_RECORD_TYPE) break;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!skipExtension(gif.get())) return damaged();
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return fail(QStringLiteral("damaged GIF: unknown record"));
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return damaged();
        if (!picture.isNull()) {
            if (!skipImageData(gif.get())) return damaged();
            continue;
        }

        const GifImageDesc& desc = gif->Image;
        if (desc.Width <= 0 || desc.Height <= 0)
            return fail(QStringLiteral("the first image is empty (%1 x %2 pixels)").arg(desc.Width).arg(desc.Height));
        if (qint64(desc.Width) * desc.Height > kMaxPixels)
            return fail(QStringLiteral("the first image claims %1 x %2 pixels, more than the %3 a picture may have")
                            .arg(desc.Width)
                            .arg(desc.Height)
                            .arg(kMaxPixels));
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map) return fail(QStringLiteral("the first image has no colour map, local or global"));
        picture = QImage(desc.Width, desc.Height, QImage::Format_Indexed8);
        if (picture.isNull()) return fail(QStringLiteral("not enough memory for the picture"));
        if (!readRows(gif.get(), picture)) return damaged();
        picture.setColorTable(colourTable(*map, picture));
    }
    if (picture.isNull()) return fail(QStringLiteral("the GIF holds no image"));
    *out = picture;
    return true;
}

bool writeGif(const QImage& image, const QString& path, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    if (image.isNull()) return fail(QStringLiteral("there is no picture to write"));
    const int width = image.width();
    const int height = image.height();
    if (width > kMaxSide || height > kMaxSide)
        return fail(QStringLiteral("a picture of %1 x %2 pixels is larger than a GIF can hold (%3 a side)")
                        .arg(width)
                        .arg(height)
                        .arg(kMaxSide));
    const QImage indexed =
        image.format() == QImage::Format_Indexed8 ? image : image.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull()) return fail(QStringLiteral("not enough memory to convert the picture to 8 bits"));

    // giflib wants a power-of-two map; 256 entries cover every index, the ones past the table black.
    QList<QRgb> table = indexed.colorTable();
    if (table.isEmpty())
        for (int i = 0; i < 256; ++i) table.append(qRgb(i, i, i));
    GifColorType colours[256] = {};
    for (int i = 0; i < std::min<int>(256, table.size()); ++i)
        colours[i] = {static_cast<GifByteType>(qRed(table[i])), static_cast<GifByteType>(qGreen(table[i])),
                      static_cast<GifByteType>(qBlue(table[i]))};
    const std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, colours));
    if (!map) return fail(QStringLiteral("not enough memory for the colour map"));

    QByteArray bytes;
    int code = 0;
    GifFileType* gif = EGifOpen(&bytes, appendToBytes, &code);
    if (!gif) return fail(QStringLiteral("cannot start the GIF: ") + gifReason(code));
    // Without this giflib writes "GIF87a", which has no comment blocks.
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) != GIF_ERROR &&
              EGifPutComment(gif, kGifCreatorComment) != GIF_ERROR &&
              EGifPutComment(gif, kGifSecondComment) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_ERROR;
    // EGifPutLine masks the pixels in place, so it gets a copy of each row.
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; ok && y < height; ++y) {
        std::copy_n(indexed.constScanLine(y), width, row.begin());
        ok = EGifPutLine(gif, row.data(), width) != GIF_ERROR;
    }
    code = ok ? 0 : gif->Error;
    // Closing writes the trailer and frees the handle whatever happened before.
    int closeCode = 0;
    if (EGifCloseFile(gif, &closeCode) == GIF_ERROR && ok) {
        ok = false;
        code = closeCode;
    }
    if (!ok) return fail(QStringLiteral("cannot make the GIF: ") + gifReason(code));
    return kestrix::writeFileAtomically(path, bytes, error);
}

}  // namespace pictor
