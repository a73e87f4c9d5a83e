#include <QFile>

#include <gtest/gtest.h>

#include "palette.h"
#include "test_support.h"

using namespace pictor;
using namespace testing_support;

namespace {

QByteArray riffPalette(int version = 0x0300, int count = 256, const char* form = "PAL ", const char* chunk = "data")
{
    Palette p;
    for (int i = 0; i < 256; ++i) p.setEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7);
    QByteArray b = p.toRiff();
    b.replace(8, 4, form);
    b.replace(12, 4, chunk);
    b[20] = static_cast<char>(version & 0xFF);
    b[21] = static_cast<char>(version >> 8);
    b[22] = static_cast<char>(count & 0xFF);
    b[23] = static_cast<char>(count >> 8);
    return b;
}

void writeBytes(const QString& path, const QByteArray& b)
{
    writeFile(path, Bytes(b.begin(), b.end()));
}

}  // namespace

TEST(PaletteTest, EntriesKeepBothFormsInStep)
{
    Palette p;
    p.setEntry(5, 255, 0, 128);
    EXPECT_EQ(p.bytes[5], (std::array<std::uint8_t, 3>{128, 0, 255}));  // blue, green, red
    EXPECT_EQ(p.colors[5], 255u + 65536u * 128u);
    EXPECT_EQ(p.rgb(5), qRgb(255, 0, 128));
    // Before any load every entry is black.
    EXPECT_EQ(Palette{}.rgb(200), qRgb(0, 0, 0));
}

TEST(PaletteTest, IndexLookupFindsTheLowestEntryOrReports256)
{
    Palette p;
    p.setEntry(3, 10, 20, 30);
    p.setEntry(9, 10, 20, 30);
    EXPECT_EQ(p.indexOf(qRgb(10, 20, 30)), 3);
    EXPECT_EQ(p.indexOf(qRgb(0, 0, 0)), 0);
    p = Palette::fromRgb(reinterpret_cast<const std::uint8_t*>(QByteArray(768, '\x01').constData()));
    EXPECT_EQ(p.indexOf(qRgb(9, 9, 9)), 256);
}

TEST(PaletteTest, WrittenFilesHaveTheirLayouts)
{
    Palette p;
    p.setEntry(0, 255, 0, 128);
    p.setEntry(255, 1, 2, 3);
    const QByteArray raw = p.toRaw();
    ASSERT_EQ(raw.size(), 768);
    EXPECT_EQ(raw.left(3), QByteArray("\xFF\x00\x80", 3));
    EXPECT_EQ(raw.right(3), QByteArray("\x01\x02\x03", 3));

    const QByteArray riff = p.toRiff();
    ASSERT_EQ(riff.size(), 1048);
    EXPECT_EQ(riff.left(24), QByteArray("RIFF\x10\x04\x00\x00PAL data\x04\x04\x00\x00\x00\x03\x00\x01", 24));
    EXPECT_EQ(riff.mid(24, 4), QByteArray("\xFF\x00\x80\x00", 4));

    const QByteArray jasc = p.toJasc();
    const QList<QByteArray> lines = jasc.split('\n');
    EXPECT_EQ(lines.size(), 260);  // 259 lines and the empty rest after the last line end
    EXPECT_EQ(lines[0], "JASC-PAL\r");
    EXPECT_EQ(lines[1], "0100\r");
    EXPECT_EQ(lines[2], "256\r");
    EXPECT_EQ(lines[3], "255 0 128\r");
    EXPECT_EQ(lines[4], "0 0 0\r");
    EXPECT_EQ(lines[258], "1 2 3\r");
}

TEST(PaletteTest, LoadsRawAndRiffAndTheBuiltInPalettes)
{
    TempFolder dir;
    Palette p;
    for (int i = 0; i < 256; ++i) p.setEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2), 200);
    writeBytes(dir.path("p.raw.pal"), p.toRaw());
    writeBytes(dir.path("p.riff.pal"), p.toRiff());
    PaletteLoad raw = LoadPalette(dir.path("p.raw.pal"));
    ASSERT_EQ(raw.status, PaletteLoad::Status::Loaded);
    EXPECT_EQ(raw.palette, p);
    EXPECT_EQ(raw.statusText, "Loading palette... RAW file");
    PaletteLoad riff = LoadPalette(dir.path("p.riff.pal"));
    ASSERT_EQ(riff.status, PaletteLoad::Status::Loaded);
    EXPECT_EQ(riff.palette, p);
    EXPECT_EQ(riff.statusText, "Loading palette... RIFF file");

    // A 768-byte file that begins with "RIFF" is a RAW palette all the same.
    QByteArray riffish = p.toRaw();
    riffish.replace(0, 4, "RIFF");
    writeBytes(dir.path("r.pal"), riffish);
    EXPECT_EQ(LoadPalette(dir.path("r.pal")).statusText, "Loading palette... RAW file");

    for (const char* builtIn : {kQuarn1Palette, kQuarn2Palette}) {
        const PaletteLoad load = LoadPalette(QString::fromLatin1(builtIn));
        ASSERT_EQ(load.status, PaletteLoad::Status::Loaded) << builtIn;
        EXPECT_EQ(load.statusText, "Loading palette... Rescourse type");
        EXPECT_EQ(load.palette.rgb(0), qRgb(0, 0, 0));
    }
    // The pseudo names compare exactly; the two palettes differ.
    EXPECT_EQ(LoadPalette("#resource{QUARN1}").status, PaletteLoad::Status::Nothing);
    EXPECT_NE(LoadPalette(kQuarn1Palette).palette, LoadPalette(kQuarn2Palette).palette);
    EXPECT_EQ(LoadPalette(dir.path("missing.pal")).status, PaletteLoad::Status::Nothing);
    EXPECT_EQ(LoadPalette(QString()).status, PaletteLoad::Status::Nothing);
}

TEST(PaletteTest, RiffChecksRunInOrderWithTheirMessages)
{
    TempFolder dir;
    struct Case {
        QByteArray bytes;
        const char* message;
    };
    QByteArray notRiff = riffPalette();
    notRiff.replace(0, 4, "RIFX");
    const Case cases[] = {
        {notRiff, "This is neither a RIFF nor RAW palette"},
        {QByteArray("RI"), "This is neither a RIFF nor RAW palette"},
        {riffPalette(0x0300, 256, "PAL_"), "This is not a RIFF palette file"},
        {riffPalette(0x0300, 256, "PAL ", "date"), "Could not find \"data\" chunk"},
        {riffPalette(0x0100), "RIFF palette has wrong version number"},
        {riffPalette(0x0300, 16, "PAL_"), "This is not a RIFF palette file"},  // the first failing check speaks
        {riffPalette(0x0300, 16), "Only RIFF palettes with 256 colors are supported"},
        {riffPalette().left(21), "RIFF palette has wrong version number"},
    };
    for (const Case& c : cases) {
        writeBytes(dir.path("bad.pal"), c.bytes);
        const PaletteLoad load = LoadPalette(dir.path("bad.pal"));
        EXPECT_EQ(load.status, PaletteLoad::Status::Invalid) << c.message;
        EXPECT_EQ(load.error, QString::fromLatin1(c.message));
    }
    EXPECT_STREQ(kInvalidPaletteTitle, "Invalid palette file");
}

TEST(PaletteTest, RiffSizeFieldsAreNotCheckedAndTruncatedEntriesAreBlack)
{
    TempFolder dir;
    QByteArray wrongSizes = riffPalette();
    wrongSizes[4] = 0x55;
    wrongSizes[16] = 0x11;
    writeBytes(dir.path("w.pal"), wrongSizes);
    EXPECT_EQ(LoadPalette(dir.path("w.pal")).status, PaletteLoad::Status::Loaded);

    writeBytes(dir.path("t.pal"), riffPalette().left(24 + 4 * 10 + 2));  // 10 entries and two bytes
    const PaletteLoad cut = LoadPalette(dir.path("t.pal"));
    ASSERT_EQ(cut.status, PaletteLoad::Status::Loaded);
    EXPECT_EQ(cut.palette.rgb(9), qRgb(9, 246, 7));
    EXPECT_EQ(cut.palette.rgb(10), qRgb(10, 245, 0));  // red and green held, blue cut off
    EXPECT_EQ(cut.palette.rgb(11), qRgb(0, 0, 0));
}

TEST(PaletteTest, PaletteFromAPictureFillsMissingEntriesWithBlack)
{
    const Palette p = Palette::fromColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    EXPECT_EQ(p.rgb(1), qRgb(4, 5, 6));
    EXPECT_EQ(p.rgb(2), qRgb(0, 0, 0));
    const QImage strip = p.strip();
    EXPECT_EQ(strip.size(), QSize(256, 25));
    EXPECT_EQ(strip.pixel(1, 24), qRgb(4, 5, 6));
}

TEST(PaletteTest, RecolouringKeepsIndicesAndOnlyEightBitPicturesTakeAPalette)
{
    Palette palette;
    for (int i = 0; i < 256; ++i)
        palette.setEntry(i, static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i));
    QImage picture(3, 1, QImage::Format_Indexed8);
    picture.setColorTable(QVector<QRgb>(256, qRgb(9, 9, 9)));
    picture.setPixel(0, 0, 0);
    picture.setPixel(1, 0, 7);
    picture.setPixel(2, 0, 255);
    ASSERT_TRUE(BuildPlatformPalette(picture, palette));
    EXPECT_EQ(picture.pixelIndex(1, 0), 7);
    EXPECT_EQ(picture.pixel(1, 0), qRgb(7, 0, 248));
    EXPECT_EQ(picture.colorCount(), 256);

    QImage colour(2, 2, QImage::Format_RGB32);
    colour.fill(qRgb(10, 20, 30));
    EXPECT_FALSE(BuildPlatformPalette(colour, palette));
    EXPECT_EQ(colour.format(), QImage::Format_RGB32);
    EXPECT_FALSE(PaletteFromPicture(colour).has_value());

    // After the conversion the picture has a table, and its colour is in it.
    const QImage eight = ConvertTo8Bit(colour);
    ASSERT_EQ(eight.format(), QImage::Format_Indexed8);
    const std::optional<Palette> taken = PaletteFromPicture(eight);
    ASSERT_TRUE(taken.has_value());
    EXPECT_LT(taken->indexOf(qRgb(10, 20, 30)), 256);
    EXPECT_EQ(PaletteFromPicture(picture), palette);
}
