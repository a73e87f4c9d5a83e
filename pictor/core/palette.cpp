#include "palette.h"

#include <QFile>
#include <QPainter>

#include "byte_io.h"

namespace pictor {

const char kInvalidPaletteTitle[] = "Invalid palette file";

namespace {

constexpr int kRawSize = 768;
constexpr int kRiffSize = 1048;
constexpr int kRiffEntries = 24;

PaletteLoad invalid(const char* message)
{
    PaletteLoad load;
    load.status = PaletteLoad::Status::Invalid;
    load.error = QString::fromLatin1(message);
    load.statusText = QStringLiteral("Loading palette...");
    return load;
}

}  // namespace

void Palette::setEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    bytes[index] = {blue, green, red};
    colors[index] = red + 256u * green + 65536u * blue;
}

QRgb Palette::rgb(int index) const
{
    return qRgb(bytes[index][2], bytes[index][1], bytes[index][0]);
}

Palette Palette::fromRgb(const std::uint8_t* rgb768)
{
    Palette p;
    for (int i = 0; i < 256; ++i) p.setEntry(i, rgb768[3 * i], rgb768[3 * i + 1], rgb768[3 * i + 2]);
    return p;
}

Palette Palette::fromColorTable(const QVector<QRgb>& table)
{
    Palette p;
    for (int i = 0; i < 256 && i < table.size(); ++i)
        p.setEntry(i, static_cast<std::uint8_t>(qRed(table[i])), static_cast<std::uint8_t>(qGreen(table[i])),
                   static_cast<std::uint8_t>(qBlue(table[i])));
    return p;
}

bool BuildPlatformPalette(QImage& picture, const Palette& palette)
{
    if (picture.format() != QImage::Format_Indexed8) return false;
    picture.setColorTable(palette.colorTable());
    return true;
}

std::optional<Palette> PaletteFromPicture(const QImage& picture)
{
    if (picture.format() != QImage::Format_Indexed8) return std::nullopt;
    return Palette::fromColorTable(picture.colorTable());
}

QImage ConvertTo8Bit(const QImage& picture)
{
    if (picture.format() == QImage::Format_Indexed8 || picture.isNull()) return picture;
    return picture.convertToFormat(QImage::Format_Indexed8);
}

QVector<QRgb> Palette::colorTable() const
{
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i) table[i] = rgb(i);
    return table;
}

int Palette::indexOf(QRgb color) const
{
    const std::uint32_t packed = qRed(color) + 256u * qGreen(color) + 65536u * qBlue(color);
    for (int i = 0; i < 256; ++i)
        if (colors[i] == packed) return i;
    return 256;
}

int Palette::nearestIndex(QRgb color) const
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        const long dr = qRed(color) - bytes[i][2], dg = qGreen(color) - bytes[i][1], db = qBlue(color) - bytes[i][0];
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return best;
}

QImage Palette::strip() const
{
    QImage image(256, 25, QImage::Format_RGB888);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 256; ++x) image.setPixel(x, y, rgb(x));
    return image;
}

QByteArray Palette::toRaw() const
{
    QByteArray out;
    out.reserve(kRawSize);
    kestrix::QByteWriter w(out);
    for (std::uint32_t c : colors) {
        w.u8(static_cast<std::uint8_t>(c & 0xFF));
        w.u8(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        w.u8(static_cast<std::uint8_t>((c >> 16) & 0xFF));
    }
    return out;
}

QByteArray Palette::toRiff() const
{
    QByteArray out;
    out.reserve(kRiffSize);
    kestrix::QByteWriter w(out);
    w.bytes("RIFF", 4);
    w.u32(kRiffSize - 8);
    w.bytes("PAL data", 8);
    w.u32(kRiffSize - 20);
    w.u16(0x0300);
    w.u16(256);
    for (std::uint32_t c : colors) {
        w.u8(static_cast<std::uint8_t>(c & 0xFF));
        w.u8(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        w.u8(static_cast<std::uint8_t>((c >> 16) & 0xFF));
        w.u8(0);
    }
    return out;
}

QByteArray Palette::toJasc() const
{
    QByteArray out("JASC-PAL\r\n0100\r\n256\r\n");
    for (std::uint32_t c : colors)
        out += QByteArray::number(c & 0xFF) + ' ' + QByteArray::number((c >> 8) & 0xFF) + ' ' +
               QByteArray::number((c >> 16) & 0xFF) + "\r\n";
    return out;
}

PaletteLoad LoadPalette(const QString& source)
{
    PaletteLoad load;
    if (source.isEmpty()) return load;

    QByteArray data;
    if (source == QLatin1String(kQuarn1Palette) || source == QLatin1String(kQuarn2Palette)) {
        QFile resource(source == QLatin1String(kQuarn1Palette) ? QStringLiteral(":/PALETTE/QUARN1")
                                                               : QStringLiteral(":/PALETTE/QUARN2"));
        if (!resource.open(QIODevice::ReadOnly) || (data = resource.read(kRawSize)).size() != kRawSize) {
            load.status = PaletteLoad::Status::Error;
            load.error = QStringLiteral("%1: the built-in palette is missing from the program").arg(source);
            return load;
        }
        load.statusText = QStringLiteral("Loading palette... Rescourse type");
        load.palette = Palette::fromRgb(kestrix::ByteReader(data).peek(kRawSize));
        load.status = PaletteLoad::Status::Loaded;
        return load;
    }

    QFile file(source);
    if (!file.exists()) return load;  // a missing file changes nothing, silently
    if (!file.open(QIODevice::ReadOnly)) {
        load.status = PaletteLoad::Status::Error;
        load.error = QStringLiteral("%1: %2").arg(source, file.errorString());
        return load;
    }
    data = file.readAll();
    const kestrix::ByteReader reader(data);
    if (reader.size() == kRawSize) {
        load.statusText = QStringLiteral("Loading palette... RAW file");
        load.palette = Palette::fromRgb(reader.peek(kRawSize));
        load.status = PaletteLoad::Status::Loaded;
        return load;
    }

    // Checked in this order; a file too short for a field fails that field's check.
    if (!reader.equalsAt(0, "RIFF", 4)) return invalid("This is neither a RIFF nor RAW palette");
    if (!reader.equalsAt(8, "PAL ", 4)) return invalid("This is not a RIFF palette file");
    if (!reader.equalsAt(12, "data", 4)) return invalid("Could not find \"data\" chunk");
    if (reader.u16At(20) != 0x0300) return invalid("RIFF palette has wrong version number");
    if (reader.u16At(22) != 256) return invalid("Only RIFF palettes with 256 colors are supported");

    // Entries a truncated file does not hold stay black.
    std::uint8_t rgb[kRawSize] = {};
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) rgb[3 * i + c] = reader.u8At(kRiffEntries + 4 * i + c).value_or(0);
    load.statusText = QStringLiteral("Loading palette... RIFF file");
    load.palette = Palette::fromRgb(rgb);
    load.status = PaletteLoad::Status::Loaded;
    return load;
}

}  // namespace pictor
