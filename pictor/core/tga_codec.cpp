#include "tga_codec.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <QIODevice>

#include "bmp_build.h"
#include "byte_io.h"
#include "picture_limits.h"

namespace pictor {

namespace {

constexpr int kHeaderSize = kTgaHeaderSize;
constexpr int kColorCount = 256;
constexpr int kColorMapSize = kColorCount * 3;
constexpr int kPixelOffset = kHeaderSize + kColorMapSize;  // 786
constexpr quint8 kTopDown = 0x20;                          // descriptor bit 5: top-left origin
constexpr int kBmpColorTableSize = kColorCount * 4;
constexpr int kBmpPixelOffset = bmp::kFileHeaderSize + bmp::kInfoHeaderSize + kBmpColorTableSize;  // 1078
constexpr int kMaxSide = 65535;

// The 18 header fields, little-endian.
struct TgaHeader {
    quint8 idLength = 0;
    quint8 colorMapType = 0;
    quint8 imageType = 0;
    quint16 firstEntry = 0;
    quint16 colorMapLength = 0;
    quint8 colorMapEntrySize = 0;
    quint16 xOrigin = 0;
    quint16 yOrigin = 0;
    quint16 width = 0;
    quint16 height = 0;
    quint8 pixelDepth = 0;
    quint8 descriptor = 0;

    // Fields that a file shorter than 18 bytes lacks stay 0, as for a freshly made header; the
    // checks then refuse the file by the first field that does not fit.
    static TgaHeader read(const QByteArray& tga)
    {
        const kestrix::ByteReader r(tga);
        TgaHeader h;
        h.idLength = r.u8At(0).value_or(0);
        h.colorMapType = r.u8At(1).value_or(0);
        h.imageType = r.u8At(2).value_or(0);
        h.firstEntry = r.u16At(3).value_or(0);
        h.colorMapLength = r.u16At(5).value_or(0);
        h.colorMapEntrySize = r.u8At(7).value_or(0);
        h.xOrigin = r.u16At(8).value_or(0);
        h.yOrigin = r.u16At(10).value_or(0);
        h.width = r.u16At(12).value_or(0);
        h.height = r.u16At(14).value_or(0);
        h.pixelDepth = r.u8At(16).value_or(0);
        h.descriptor = r.u8At(17).value_or(0);
        return h;
    }

    // The header we write, at the start of `file` (already that long and zeroed): only the size varies.
    static void write(QByteArray& file, quint16 width, quint16 height)
    {
        kestrix::QByteWriter w(file);
        [[maybe_unused]] const bool fits = w.u8At(1, 1)                // colour map present
                                           && w.u8At(2, 1)             // uncompressed, colour-mapped
                                           && w.u16At(5, kColorCount)  //
                                           && w.u8At(7, 24) && w.u16At(12, width) && w.u16At(14, height) &&
                                           w.u8At(16, 8) && w.u8At(17, kTopDown);
        Q_ASSERT(fits);
    }
};

void report(QString* target, const QString& text)
{
    if (target) *target = text;
}

// The header checks in their order; the first failure sets its text in `error` (and, for the
// colour count, the count in `notice`).
bool checkHeader(const TgaHeader& h, QString* error, QString* notice)
{
    if (h.idLength != 0) {
        report(error, QStringLiteral("\"Image Indentifier string\" is not supported"));
        return false;
    }
    if (h.colorMapType != 1) {
        report(error, QStringLiteral("Invalid color map indentification"));
        return false;
    }
    if (h.imageType != 1) {
        report(error, QStringLiteral("Only uncompressed image data with color map supported"));
        return false;
    }
    if (h.colorMapLength != kColorCount) {
        report(notice, QString::number(h.colorMapLength));
        report(error, QStringLiteral("Incorrect number of colors"));
        return false;
    }
    if (h.colorMapEntrySize != 24) {
        report(error, QStringLiteral("No 24 bit colors defined"));
        return false;
    }
    if (h.pixelDepth != 8) {
        report(error, QStringLiteral("Pixels are not 8bit"));
        return false;
    }
    return true;
}

}  // namespace

bool isTgaHeader(const QByteArray& bytes)
{
    return bytes.size() >= kTgaHeaderSize && checkHeader(TgaHeader::read(bytes), nullptr, nullptr);
}

bool tgaToBmp(const QByteArray& tga, QByteArray* bmpFile, QString* error, QString* notice)
{
    const TgaHeader h = TgaHeader::read(tga);
    if (!checkHeader(h, error, notice)) return false;

    const qint64 width = h.width;
    const qint64 height = h.height;
    if (width == 0 || height == 0) {
        report(error,
               QStringLiteral("TGA: the picture is %1 x %2 pixels; there is nothing to show").arg(width).arg(height));
        return false;
    }
    if (width * height > kMaxPixels) {
        report(error, QStringLiteral("TGA: a picture of %1 x %2 pixels is larger than the %3 pixels accepted")
                          .arg(width)
                          .arg(height)
                          .arg(kMaxPixels));
        return false;
    }
    const qint64 needed = kPixelOffset + width * height;
    if (tga.size() < needed) {
        report(error, QStringLiteral("TGA: a picture of %1 x %2 pixels needs %3 bytes (786 before the pixels), "
                                     "but the file ends at %4")
                          .arg(width)
                          .arg(height)
                          .arg(needed)
                          .arg(tga.size()));
        return false;
    }

    const qint64 stride = bmp::rowStride(width, 8);
    QByteArray out(kBmpPixelOffset + stride * height, '\0');
    bmp::writeFileHeader(out, static_cast<quint32>(out.size()), kBmpPixelOffset);
    bmp::writeInfoHeader(out, bmp::kFileHeaderSize, static_cast<qint32>(width), static_cast<qint32>(height), 8,
                         static_cast<quint32>(stride * height), kColorCount);
    char* table = out.data() + bmp::kFileHeaderSize + bmp::kInfoHeaderSize;
    const char* map = tga.constData() + kHeaderSize;
    for (int i = 0; i < kColorCount; ++i) std::memcpy(table + 4 * i, map + 3 * i, 3);  // both blue, green, red

    // Rows follow the colour map in file order, top row first when bit 5 is set, else bottom row
    // first (the BMP's own order). Anything after width x height bytes is another program's
    // extension area or footer.
    const bool topDown = (h.descriptor & kTopDown) != 0;
    const char* rows = tga.constData() + kPixelOffset;
    for (qint64 r = 0; r < height; ++r) {
        const qint64 bmpRow = topDown ? height - 1 - r : r;
        std::memcpy(out.data() + kBmpPixelOffset + bmpRow * stride, rows + r * width, static_cast<std::size_t>(width));
    }
    *bmpFile = std::move(out);
    return true;
}

bool loadTga(const QByteArray& data, QImage* out, QString* error, QString* notice)
{
    QByteArray bmpFile;
    if (!tgaToBmp(data, &bmpFile, error, notice)) return false;
    QImage image;
    if (!image.loadFromData(bmpFile, "BMP")) {
        // Qt's own limit on the memory of one picture may refuse what our cap lets through.
        report(error, QStringLiteral("TGA: the picture of %1 bytes could not be loaded").arg(bmpFile.size()));
        return false;
    }
    *out = std::move(image);
    return true;
}

bool saveTga(const QImage& image, QByteArray* out, QString* error)
{
    if (image.isNull()) {
        report(error, QStringLiteral("Invalid image data"));
        return false;
    }
    if (image.depth() != 8) {
        report(error, QStringLiteral("Unsupported format. Only 8bit images are supported"));
        return false;
    }
    const QList<QRgb> colors = image.colorTable();
    if (image.width() == 0 || image.height() == 0 || colors.isEmpty()) {
        report(error, QStringLiteral("Invalid image data"));
        return false;
    }
    if (image.width() > kMaxSide || image.height() > kMaxSide) {
        report(error, QStringLiteral("TGA: a picture of %1 x %2 pixels does not fit; at most %3 x %3 can be written")
                          .arg(image.width())
                          .arg(image.height())
                          .arg(kMaxSide));
        return false;
    }

    const qint64 width = image.width();
    const qint64 height = image.height();
    QByteArray file(kPixelOffset + width * height, '\0');
    TgaHeader::write(file, static_cast<quint16>(width), static_cast<quint16>(height));
    char* map = file.data() + kHeaderSize;
    for (int i = 0; i < std::min<qsizetype>(colors.size(), kColorCount); ++i) {
        map[3 * i] = static_cast<char>(qBlue(colors[i]));
        map[3 * i + 1] = static_cast<char>(qGreen(colors[i]));
        map[3 * i + 2] = static_cast<char>(qRed(colors[i]));
    }
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(file.data() + kPixelOffset + y * width, image.constScanLine(static_cast<int>(y)),
                    static_cast<std::size_t>(width));
    *out = std::move(file);
    return true;
}

bool TTGAimage::LoadFromStream(QIODevice* stream, QString* error, QString* notice)
{
    return loadTga(stream->readAll(), this, error, notice);
}

bool TTGAimage::SaveToStream(QIODevice* stream, QString* error) const
{
    QByteArray file;
    if (!saveTga(*this, &file, error)) return false;
    if (stream->write(file) != file.size()) {
        report(error, QStringLiteral("TGA writing error"));
        return false;
    }
    return true;
}

}  // namespace pictor
