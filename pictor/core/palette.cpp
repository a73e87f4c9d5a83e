#include "palette.h"

#include <QFile>
#include <QPainter>

namespace pictor {

const char kQuarn1Palette[] = "#resource{quarn1}";
const char kQuarn2Palette[] = "#resource{quarn2}";
const char kInvalidPaletteTitle[] = "Invalid palette file";

namespace {

constexpr int kRawSize = 768;
constexpr int kRiffSize = 1048;
constexpr int kRiffEntries = 24;

int word16(const QByteArray& b, qsizetype at)
{
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

void put32(QByteArray& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put16(QByteArray& b, std::uint16_t v)
{
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}

PaletteLoad invalid(const char* message)
{
    PaletteLoad load;
    load.status = PaletteLoad::Status::Invalid;
    load.message = QString::fromLatin1(message);
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
    for (std::uint32_t c : colors) {
        out.append(static_cast<char>(c & 0xFF));
        out.append(static_cast<char>((c >> 8) & 0xFF));
        out.append(static_cast<char>((c >> 16) & 0xFF));
    }
    return out;
}

QByteArray Palette::toRiff() const
{
    QByteArray out("RIFF");
    put32(out, kRiffSize - 8);
    out.append("PAL data");
    put32(out, kRiffSize - 20);
    put16(out, 0x0300);
    put16(out, 256);
    for (std::uint32_t c : colors) {
        out.append(static_cast<char>(c & 0xFF));
        out.append(static_cast<char>((c >> 8) & 0xFF));
        out.append(static_cast<char>((c >> 16) & 0xFF));
        out.append('\0');
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
            load.message = QStringLiteral("%1: the built-in palette is missing from the program").arg(source);
            return load;
        }
        load.statusText = QStringLiteral("Loading palette... Rescourse type");
        load.palette = Palette::fromRgb(reinterpret_cast<const std::uint8_t*>(data.constData()));
        load.status = PaletteLoad::Status::Loaded;
        return load;
    }

    QFile file(source);
    if (!file.exists()) return load;  // a missing file changes nothing, silently
    if (!file.open(QIODevice::ReadOnly)) {
        load.status = PaletteLoad::Status::Error;
        load.message = QStringLiteral("%1: %2").arg(source, file.errorString());
        return load;
    }
    data = file.readAll();
    if (data.size() == kRawSize) {
        load.statusText = QStringLiteral("Loading palette... RAW file");
        load.palette = Palette::fromRgb(reinterpret_cast<const std::uint8_t*>(data.constData()));
        load.status = PaletteLoad::Status::Loaded;
        return load;
    }

    // Checked in this order; a file too short for a field fails that field's check.
    if (data.size() < 4 || !data.startsWith("RIFF")) return invalid("This is neither a RIFF nor RAW palette");
    if (data.size() < 12 || data.mid(8, 4) != "PAL ") return invalid("This is not a RIFF palette file");
    if (data.size() < 16 || data.mid(12, 4) != "data") return invalid("Could not find \"data\" chunk");
    if (data.size() < 22 || word16(data, 20) != 0x0300) return invalid("RIFF palette has wrong version number");
    if (data.size() < 24 || word16(data, 22) != 256) return invalid("Only RIFF palettes with 256 colors are supported");

    // Entries a truncated file does not hold stay black.
    std::uint8_t rgb[kRawSize] = {};
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) {
            const qsizetype at = kRiffEntries + 4 * i + c;
            if (at < data.size()) rgb[3 * i + c] = static_cast<std::uint8_t>(data[at]);
        }
    load.statusText = QStringLiteral("Loading palette... RIFF file");
    load.palette = Palette::fromRgb(rgb);
    load.status = PaletteLoad::Status::Loaded;
    return load;
}

}  // namespace pictor
