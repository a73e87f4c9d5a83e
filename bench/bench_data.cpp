#include "bench_data.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include <zlib.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace bench {
namespace {

constexpr std::size_t kExecutablePart = 1024 * 1024;
constexpr std::size_t kPixelPart = 1024 * 1024;

void append(std::vector<std::uint8_t>& out, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

QByteArray readHead(const QString& path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(limit);
}

// A fixed linear congruential generator, so the generated data is the same on every machine.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    std::uint32_t next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint32_t m_state;
};

}  // namespace

DataSet mixedData()
{
    DataSet set;
    set.name = "mixed";
    std::vector<std::string> parts;

    for (const char* path : {"/usr/bin/cmake", "/usr/bin/bash", "/bin/sh"}) {
        const QByteArray head = readHead(QString::fromUtf8(path), kExecutablePart);
        if (head.size() < 64 * 1024) continue;
        append(set.bytes, head.constData(), static_cast<std::size_t>(head.size()));
        parts.push_back(std::string(path) + " (first " + withSeparators(static_cast<std::uint64_t>(head.size())) +
                        " bytes)");
        break;
    }

    // Several license names are links to the same text: each text is taken once.
    std::set<QString> seen;
    std::size_t textBytes = 0;
    int texts = 0;
    const QDir licenses(QStringLiteral("/usr/share/common-licenses"));
    for (const QFileInfo& info : licenses.entryInfoList(QDir::Files, QDir::Name)) {
        if (!seen.insert(info.canonicalFilePath()).second) continue;
        const QByteArray text = readHead(info.filePath(), 4 * 1024 * 1024);
        append(set.bytes, text.constData(), static_cast<std::size_t>(text.size()));
        textBytes += static_cast<std::size_t>(text.size());
        ++texts;
    }
    if (texts > 0) parts.push_back(std::to_string(texts) + " license texts (" + withSeparators(textBytes) + " bytes)");

    for (const char* path :
         {"/usr/share/icons/Adwaita/512x512/places/folder-pictures.png",
          "/usr/share/icons/Adwaita/512x512/devices/camera-web.png",
          "/usr/share/icons/Adwaita/256x256/places/folder-pictures.png", "/usr/share/pixmaps/debian-logo.png"}) {
        QImage image(QString::fromUtf8(path));
        if (image.isNull()) continue;
        image = image.convertToFormat(QImage::Format_ARGB32);
        const auto* bits = image.constBits();
        const auto count = static_cast<std::size_t>(image.sizeInBytes());
        for (std::size_t done = 0; done < kPixelPart;) {
            const std::size_t n = std::min(count, kPixelPart - done);
            append(set.bytes, bits, n);
            done += n;
        }
        parts.push_back(std::string("pixels of ") + path + " (" + std::to_string(image.width()) + "x" +
                        std::to_string(image.height()) + " ARGB, tiled to " + withSeparators(kPixelPart) + " bytes)");
        break;
    }

    for (std::size_t i = 0; i < parts.size(); ++i) set.origin += (i ? " + " : "") + parts[i];
    return set;
}

DataSet matchHeavyData()
{
    DataSet set;
    set.name = "match-heavy";
    constexpr int kSide = 1024;
    std::vector<std::uint8_t> picture(kSide * kSide);
    Lcg rng(0x4B455354u);

    // Flat horizontal bands as a sky or floor would be.
    for (int y = 0; y < kSide; ++y)
        std::fill_n(picture.begin() + y * kSide, kSide, static_cast<std::uint8_t>(16 + (y / 24) % 32));
    // Shapes in flat colours; every third one carries a two-colour checker as a texture.
    for (int s = 0; s < 160; ++s) {
        const int w = 20 + static_cast<int>(rng.below(180));
        const int h = 20 + static_cast<int>(rng.below(180));
        const int x0 = static_cast<int>(rng.below(kSide - w));
        const int y0 = static_cast<int>(rng.below(kSide - h));
        const auto a = static_cast<std::uint8_t>(rng.below(256));
        const auto b = static_cast<std::uint8_t>(rng.below(256));
        const bool disc = rng.below(2) == 0;
        const bool textured = s % 3 == 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                if (disc) {
                    const int dx = 2 * (x - x0) - w, dy = 2 * (y - y0) - h;
                    if (dx * dx * h * h + dy * dy * w * w > w * w * h * h) continue;
                }
                picture[static_cast<std::size_t>(y * kSide + x)] = textured && ((x / 2 + y / 2) % 2) ? b : a;
            }
        }
    }
    // A sprinkle of single odd pixels, as dithering leaves them.
    for (int i = 0; i < kSide * kSide / 200; ++i)
        picture[rng.below(kSide * kSide)] = static_cast<std::uint8_t>(rng.below(256));
    append(set.bytes, picture.data(), picture.size());

    // Repeated records: a counter, a kind, flags, a name and a position.
    constexpr int kRecords = 8192;
    for (int i = 0; i < kRecords; ++i) {
        std::uint8_t record[32] = {};
        for (int k = 0; k < 4; ++k) record[k] = static_cast<std::uint8_t>(i >> (8 * k));
        record[4] = static_cast<std::uint8_t>(i % 7);
        record[6] = (i % 5 == 0) ? 1 : 0;
        std::snprintf(reinterpret_cast<char*>(record + 8), 16, "OBJ_%c%c_%04d", 'A' + i % 26, 'A' + (i / 26) % 26,
                      i % 100);
        record[24] = static_cast<std::uint8_t>(i % 64);
        record[28] = static_cast<std::uint8_t>((i * 3) % 48);
        append(set.bytes, record, sizeof(record));
    }

    set.origin = "generated 1024x1024 8-bit picture with bands, shapes and dither (" + withSeparators(picture.size()) +
                 " bytes) + " + std::to_string(kRecords) + " 32-byte records";
    return set;
}

std::vector<DataSet> allDataSets()
{
    std::vector<DataSet> sets;
    for (DataSet set : {mixedData(), matchHeavyData()}) {
        if (set.bytes.empty()) {
            std::fprintf(stderr, "note: no input found for the %s data set; it is left out\n", set.name.c_str());
            continue;
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data, int level)
{
    uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, data.data(), static_cast<uLong>(data.size()), level) != Z_OK) {
        std::fprintf(stderr, "zlib compress2 failed\n");
        std::abort();
    }
    packed.resize(packedSize);
    return packed;
}

std::vector<std::uint8_t> zlibInflate(const std::vector<std::uint8_t>& packed, std::size_t size)
{
    std::vector<std::uint8_t> out(size);
    uLongf outSize = static_cast<uLongf>(size);
    if (uncompress(out.data(), &outSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || outSize != size) {
        std::fprintf(stderr, "zlib uncompress failed\n");
        std::abort();
    }
    return out;
}

std::string rateText(double bytesPerSecond)
{
    if (bytesPerSecond <= 0) return "not run";
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f MB/s", bytesPerSecond / 1e6);
    return text;
}

std::string withSeparators(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace bench
