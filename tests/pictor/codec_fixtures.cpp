#include "codec_fixtures.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include "pcx_codec.h"
#include "tga_codec.h"

namespace codec_fixtures {

QString fixturePath(const QString& name)
{
    return QStringLiteral(KESTRIX_FIXTURES_DIR "/pictor/") + name;
}

QByteArray readFixture(const QString& name)
{
    QFile file(fixturePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

Reference readReference(const QString& name)
{
    Reference ref;
    QFile file(fixturePath(name + QStringLiteral(".ref")));
    if (!file.open(QIODevice::ReadOnly)) return ref;
    QTextStream in(&file);
    int colours = 0;
    in >> ref.width >> ref.height >> colours;
    for (int i = 0; i < colours; ++i) {
        int r = 0, g = 0, b = 0;
        in >> r >> g >> b;
        ref.palette.append(qRgb(r, g, b));
    }
    for (int i = 0; i < ref.width * ref.height; ++i) {
        int index = -1;
        in >> index;
        ref.indices.push_back(index);
    }
    return ref;
}

Indices indicesOf(const QImage& image)
{
    Indices out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.push_back(image.pixelIndex(x, y));
    return out;
}

std::vector<QRgb> coloursOf(const QImage& image)
{
    std::vector<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y) | 0xFF000000u);
    return out;
}

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QByteArray runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return process.readAllStandardOutput();
}

std::vector<QRgb> magickColours(const QString& path, int width, int height)
{
    std::vector<QRgb> out(static_cast<std::size_t>(width) * height, 0);
    const QString text =
        QString::fromLatin1(runTool(tool("convert"), {path, QStringLiteral("-auto-orient"), QStringLiteral("txt:-")}));
    static const QRegularExpression line(QStringLiteral(R"(^(\d+),(\d+):.*?#([0-9A-Fa-f]{6}))"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const int x = m.captured(1).toInt();
        const int y = m.captured(2).toInt();
        if (x < width && y < height)
            out[static_cast<std::size_t>(y) * width + x] = 0xFF000000u | m.captured(3).toUInt(nullptr, 16);
    }
    return out;
}

bool load(Kind kind, const QByteArray& data, QImage* out, QString* error, QString* notice)
{
    return kind == Kind::Pcx ? pictor::loadPcx(data, out, error) : pictor::loadTga(data, out, error, notice);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) out.append(static_cast<char>(v));
    return out;
}

void put16(QByteArray& data, int at, int value)
{
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

int get32(const QByteArray& data, int at)
{
    return static_cast<int>(static_cast<quint8>(data[at]) | static_cast<quint8>(data[at + 1]) << 8 |
                            static_cast<quint8>(data[at + 2]) << 16 |
                            static_cast<quint32>(static_cast<quint8>(data[at + 3])) << 24);
}

QByteArray pcxHeader(const PcxLayout& l)
{
    QByteArray h(128, '\0');
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(l.bits);
    put16(h, 4, l.xmin);
    put16(h, 6, l.ymin);
    put16(h, 8, l.xmax);
    put16(h, 10, l.ymax);
    for (int i = 0; i < l.palette16.size() && i < 16; ++i) {
        h[16 + 3 * i] = static_cast<char>(qRed(l.palette16[i]));
        h[17 + 3 * i] = static_cast<char>(qGreen(l.palette16[i]));
        h[18 + 3 * i] = static_cast<char>(qBlue(l.palette16[i]));
    }
    h[65] = static_cast<char>(l.planes);
    put16(h, 66, l.bytesPerLine);
    return h;
}

QByteArray encodeLine(const QByteArray& line)
{
    QByteArray out;
    for (int i = 0; i < line.size();) {
        int n = 1;
        while (i + n < line.size() && line[i + n] == line[i] && n < 63) ++n;
        const auto b = static_cast<quint8>(line[i]);
        if (n > 1 || b >= 0xC0) {
            out.append(static_cast<char>(0xC0 + n));
            out.append(line[i]);
        } else {
            out.append(line[i]);
        }
        i += n;
    }
    return out;
}

QByteArray makePcx16(int width, int height, const Indices& indices, const QList<QRgb>& palette)
{
    const int bytesPerLine = (width + 15) / 16 * 2;
    QByteArray file = pcxHeader({1, 4, 0, 0, width - 1, height - 1, bytesPerLine, palette});
    for (int y = 0; y < height; ++y) {
        QByteArray line(bytesPerLine * 4, '\0');
        for (int x = 0; x < width; ++x)
            for (int plane = 0; plane < 4; ++plane)
                if (indices[static_cast<std::size_t>(y * width + x)] & (1 << plane))
                    line[plane * bytesPerLine + x / 8] =
                        static_cast<char>(line[plane * bytesPerLine + x / 8] | (0x80 >> (x % 8)));
        file += encodeLine(line);
    }
    return file;
}

QList<QRgb> palette16()
{
    QList<QRgb> colours;
    for (int i = 0; i < 16; ++i) colours.append(qRgb(i * 16, 255 - i * 8, (i * 37) % 256));
    return colours;
}

QByteArray palette256Block()
{
    QByteArray block(1, static_cast<char>(12));
    for (int i = 0; i < 256; ++i) block += bytes({i, (i * 3) % 256, 255 - i});
    return block;
}

Indices patternIndices(int count, int modulo, int seed)
{
    Indices out;
    for (int i = 0; i < count; ++i) out.push_back((i * 7 + seed * 3 + i / 5) % modulo);
    return out;
}

QByteArray makeTga(int width, int height, const QByteArray& rows, int descriptor, const QByteArray& trailer)
{
    QByteArray file = bytes({0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 8, descriptor});
    put16(file, 12, width);
    put16(file, 14, height);
    for (int i = 0; i < 256; ++i) file += bytes({255 - i, (i * 5) % 256, i});  // blue, green, red
    return file + rows + trailer;
}

QRgb tgaColour(int i)
{
    return qRgb(i, (i * 5) % 256, 255 - i);
}

QImage indexedImage(int width, int height, const Indices& indices, const QList<QRgb>& colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<uint>(indices[static_cast<std::size_t>(y * width + x)]));
    return image;
}

QList<QRgb> distinctColours()
{
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i) colours.append(qRgb(i, (i * 67) % 256, (i * 151 + 13) % 256));
    return colours;
}

}  // namespace codec_fixtures
