#include "pcx_codec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include <QIODevice>

#include "bmp_build.h"
#include "byte_io.h"
#include "picture_limits.h"

namespace pictor {

const char kPcxRefusal[] = "Invalid PCX format.\r\nOnly 4bit and 8bit PCX images are supported";

namespace {

constexpr int kPixelDataOffset = 128;  // the run-length data always starts here
constexpr quint8 kManufacturer = 10;
constexpr quint8 kPaletteMarker = 12;  // before the 768-byte palette that ends a 256-colour file
constexpr int kPaletteSize = 768;
constexpr int kPalette16Size = 48;

// The fields of the first 68 header bytes; the rest of the 128 are not used.
struct PcxHeader {
    quint8 manufacturer = 0;
    quint8 bitsPerPixel = 0;
    qint16 xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::array<quint8, kPalette16Size> palette16{};
    quint8 planes = 0;
    quint16 bytesPerLine = 0;

    // False when the data is shorter than the fields.
    static bool read(const QByteArray& pcx, PcxHeader* header)
    {
        kestrix::ByteReader r(pcx);
        PcxHeader h;
        h.manufacturer = r.u8();
        r.skip(2);  // version, encoding
        h.bitsPerPixel = r.u8();
        h.xMin = r.i16();
        h.yMin = r.i16();
        h.xMax = r.i16();
        h.yMax = r.i16();
        r.skip(4);  // resolution
        r.bytes(h.palette16.data(), h.palette16.size());
        r.skip(1);  // reserved
        h.planes = r.u8();
        h.bytesPerLine = r.u16();
        if (!r.ok()) return false;
        *header = h;
        return true;
    }

    // The two layouts the decoders read.
    bool isSupported() const
    {
        return manufacturer == kManufacturer &&
               ((bitsPerPixel == 8 && planes == 1) || (bitsPerPixel == 1 && planes == 4));
    }
    // From the signed corners; may come out negative or zero for a lying file.
    qint64 width() const { return qint64{xMax} - xMin + 1; }
    qint64 height() const { return qint64{yMax} - yMin + 1; }
};

// Converts the whole file: writes the BMP file header, the info header and colour table block, and
// the rows. The subclasses give the pixel layout.
class TDecoder {
public:
    TDecoder(const QByteArray& pcx, const PcxHeader& header, int bitCount)
        : m_pcx(pcx),
          m_header(header),
          m_width(header.width()),
          m_height(header.height()),
          // The BMP rows take the stride of a row of this width at this depth, which is what a BMP
          // loader reads; the file's bytes per line only sets how much each decoded line holds.
          m_stride(bmp::rowStride(m_width, bitCount)),
          m_lineLength(int{header.bytesPerLine} * header.planes)
    {
    }
    virtual ~TDecoder() = default;

    // The info header followed by the colour table.
    virtual void MakeHeaderBlock()
    {
        m_block = QByteArray(bmp::kInfoHeaderSize + ColorTableSize(), '\0');
        FillInfoHeader(m_block);
        FillColorTable(m_block.data() + bmp::kInfoHeaderSize);
    }
    // Puts the info header at the start of `block`.
    virtual void FillInfoHeader(QByteArray& block) const = 0;
    virtual void FillColorTable(char* table) const = 0;
    virtual int ColorTableSize() const = 0;
    // The complete BMP file.
    virtual QByteArray Decode() = 0;

protected:
    qint64 ImageSize() const { return m_stride * m_height; }
    qint64 pixelOffset() const { return bmp::kFileHeaderSize + m_block.size(); }

    // The BMP file header and the block, followed by zeroed rows for Decode to fill.
    QByteArray beginBmp()
    {
        MakeHeaderBlock();
        QByteArray out(pixelOffset() + ImageSize(), '\0');
        bmp::writeFileHeader(out, static_cast<quint32>(out.size()), static_cast<quint32>(pixelOffset()));
        std::memcpy(out.data() + bmp::kFileHeaderSize, m_block.constData(), static_cast<std::size_t>(m_block.size()));
        m_readPosition = kPixelDataOffset;
        return out;
    }

    // The BMP row that shows picture row `row` (counted from the top): BMP rows run bottom-up.
    char* bmpRow(QByteArray& out, qint64 row) const
    {
        return out.data() + pixelOffset() + (m_height - 1 - row) * m_stride;
    }

    // Decodes one line of `count` bytes into `line` (count bytes, zeroed by the caller). A byte
    // below 0xC0 is a pixel byte; a byte 0xC0 + n repeats the next byte n times (0xC0 gives
    // nothing). A run that passes the end of the line is cut there and not carried into the next
    // line. Leniency: a file that ends early leaves the rest of the line 0, so a truncated
    // picture shows what it holds.
    void DecodeRunLength(quint8* line, int count)
    {
        const auto* data = reinterpret_cast<const quint8*>(m_pcx.constData());
        const qsizetype size = m_pcx.size();
        int produced = 0;
        while (produced < count && m_readPosition < size) {
            const quint8 b = data[m_readPosition++];
            if (b < 0xC0) {
                line[produced++] = b;
                continue;
            }
            if (m_readPosition >= size) break;
            const quint8 value = data[m_readPosition++];
            const int run = std::min(b - 0xC0, count - produced);
            std::memset(line + produced, value, static_cast<std::size_t>(run));
            produced += run;
        }
    }

    const QByteArray& m_pcx;
    const PcxHeader m_header;
    const qint64 m_width;
    const qint64 m_height;
    const qint64 m_stride;
    const int m_lineLength;
    qsizetype m_readPosition = kPixelDataOffset;
    QByteArray m_block;
};

// 8 bits per pixel, 1 plane: each line byte is a palette index.
class TDecoder256 final : public TDecoder {
public:
    TDecoder256(const QByteArray& pcx, const PcxHeader& header) : TDecoder(pcx, header, 8) {}

    void FillInfoHeader(QByteArray& block) const override
    {
        bmp::writeInfoHeader(block, 0, static_cast<qint32>(m_width), static_cast<qint32>(m_height), 8,
                             static_cast<quint32>(ImageSize()), 256);
    }

    // The palette after the marker 12 that sits 769 bytes before the end. Without the marker the
    // table stays all black: the file names no colours, and black shows the indices' shapes
    // without inventing colours for them.
    void FillColorTable(char* table) const override
    {
        const kestrix::ByteReader reader(m_pcx);
        if (reader.size() < kPaletteSize + 1 || reader.u8At(reader.size() - kPaletteSize - 1) != kPaletteMarker) return;
        bmp::writeColorTableFromRgb(table, m_pcx.constData() + reader.size() - kPaletteSize, 256);
    }

    int ColorTableSize() const override { return 256 * 4; }

    QByteArray Decode() override
    {
        QByteArray out = beginBmp();
        std::vector<quint8> line(static_cast<std::size_t>(m_lineLength));
        const auto shown = static_cast<std::size_t>(std::min<qint64>(m_width, m_lineLength));
        for (qint64 row = 0; row < m_height; ++row) {
            std::fill(line.begin(), line.end(), 0);
            DecodeRunLength(line.data(), m_lineLength);
            std::memcpy(bmpRow(out, row), line.data(), shown);
        }
        return out;
    }
};

// 1 bit per pixel, 4 planes: a line is plane 0's bytes, then plane 1's, 2's and 3's; a pixel's
// index has bit k from plane k, bit 7 of a plane byte being the leftmost of its 8 pixels. The BMP
// holds 4 bits a pixel, the leftmost of each pair in the high nibble.
class TDecoder16 final : public TDecoder {
public:
    TDecoder16(const QByteArray& pcx, const PcxHeader& header) : TDecoder(pcx, header, 4) {}

    void FillInfoHeader(QByteArray& block) const override
    {
        bmp::writeInfoHeader(block, 0, static_cast<qint32>(m_width), static_cast<qint32>(m_height), 4,
                             static_cast<quint32>(ImageSize()), 0);
    }

    void FillColorTable(char* table) const override
    {
        bmp::writeColorTableFromRgb(table, reinterpret_cast<const char*>(m_header.palette16.data()), 16);
    }

    int ColorTableSize() const override { return 16 * 4; }

    QByteArray Decode() override
    {
        QByteArray out = beginBmp();
        const int bytesPerLine = m_header.bytesPerLine;
        // Pixels the planes can hold; any beyond them (a lying width) stay 0.
        const qint64 shown = std::min<qint64>(m_width, qint64{bytesPerLine} * 8);
        std::vector<quint8> line(static_cast<std::size_t>(m_lineLength));
        for (qint64 row = 0; row < m_height; ++row) {
            std::fill(line.begin(), line.end(), 0);
            DecodeRunLength(line.data(), m_lineLength);
            auto* dst = reinterpret_cast<quint8*>(bmpRow(out, row));
            for (qint64 x = 0; x < shown; ++x) {
                const auto column = static_cast<std::size_t>(x / 8);
                const int bit = 7 - static_cast<int>(x % 8);
                int index = 0;
                for (int plane = 0; plane < 4; ++plane)
                    index |= ((line[static_cast<std::size_t>(plane) * bytesPerLine + column] >> bit) & 1) << plane;
                dst[x / 2] |= static_cast<quint8>(x % 2 == 0 ? index << 4 : index);
            }
        }
        return out;
    }
};

}  // namespace

bool isPcxHeader(const QByteArray& bytes)
{
    PcxHeader header;
    return PcxHeader::read(bytes, &header) && header.isSupported();
}

std::optional<QByteArray> pcxToBmp(const QByteArray& pcx)
{
    PcxHeader header;
    if (!PcxHeader::read(pcx, &header) || !header.isSupported()) return std::nullopt;
    const qint64 width = header.width();
    const qint64 height = header.height();
    if (width <= 0 || height <= 0 || width > kMaxPixels / height) return std::nullopt;
    if (header.bytesPerLine == 0) return std::nullopt;

    std::unique_ptr<TDecoder> decoder;
    if (header.bitsPerPixel == 8)
        decoder = std::make_unique<TDecoder256>(pcx, header);
    else
        decoder = std::make_unique<TDecoder16>(pcx, header);
    return decoder->Decode();
}

bool loadPcx(const QByteArray& data, QImage* out, QString* error)
{
    const std::optional<QByteArray> bmpFile = pcxToBmp(data);
    QImage image;
    if (!bmpFile || !image.loadFromData(*bmpFile, "BMP")) {
        if (error) *error = QString::fromLatin1(kPcxRefusal);
        return false;
    }
    *out = std::move(image);
    return true;
}

bool TPCXBitmap::LoadFromStream(QIODevice* stream, QString* error)
{
    return loadPcx(stream->readAll(), this, error);
}

}  // namespace pictor
