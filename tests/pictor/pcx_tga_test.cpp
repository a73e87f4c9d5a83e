#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "codec_fixtures.h"
#include "image_plugin.h"
#include "pcx_codec.h"
#include "tga_codec.h"

using namespace codec_fixtures;

// ---- Files made by ImageMagick and Pillow ----

struct ThirdPartyCase {
    const char* name;
    const char* file;  // under tests/fixtures/pictor, with a .ref beside it
    Kind kind;
};

class CodecThirdPartyTest : public ::testing::TestWithParam<ThirdPartyCase> {};

TEST_P(CodecThirdPartyTest, DecodesToTheIndicesAndColoursPillowReports)
{
    const ThirdPartyCase& c = GetParam();
    const Reference ref = readReference(QString::fromLatin1(c.file));
    ASSERT_GT(ref.width, 0) << "missing reference for " << c.file;
    QImage image;
    QString error;
    ASSERT_TRUE(load(c.kind, readFixture(QString::fromLatin1(c.file)), &image, &error)) << error.toStdString();
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), QSize(ref.width, ref.height));
    EXPECT_EQ(indicesOf(image), ref.indices);
    EXPECT_EQ(image.colorTable(), ref.palette);
}

TEST_P(CodecThirdPartyTest, ShowsTheColoursImageMagickReads)
{
    if (tool("convert").isEmpty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const ThirdPartyCase& c = GetParam();
    QImage image;
    QString error;
    ASSERT_TRUE(load(c.kind, readFixture(QString::fromLatin1(c.file)), &image, &error)) << error.toStdString();
    EXPECT_EQ(coloursOf(image), magickColours(fixturePath(QString::fromLatin1(c.file)), image.width(), image.height()));
}

INSTANTIATE_TEST_SUITE_P(Files, CodecThirdPartyTest,
                         ::testing::Values(ThirdPartyCase{"MagickPcxOddBytesPerLine", "im_5x3.pcx", Kind::Pcx},
                                           ThirdPartyCase{"PillowPcx", "pil_5x3.pcx", Kind::Pcx},
                                           ThirdPartyCase{"MagickTgaBottomUp", "im_16x16.tga", Kind::Tga},
                                           ThirdPartyCase{"MagickTgaTopDown", "im_16x16_topleft.tga", Kind::Tga},
                                           ThirdPartyCase{"PillowTgaBottomUpWithFooter", "pil_5x3.tga", Kind::Tga},
                                           ThirdPartyCase{"PillowTgaTopDownWithFooter", "pil_5x3_topleft.tga",
                                                          Kind::Tga}),
                         [](const auto& p) { return std::string(p.param.name); });

struct RefusalCase {
    const char* name;
    const char* file;
    Kind kind;
    const char* error;
    const char* notice;  // "" for none
};

class ThirdPartyRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ThirdPartyRefusalTest, IsRefusedWithItsTextAndLeavesThePicture)
{
    const RefusalCase& c = GetParam();
    const QByteArray data = readFixture(QString::fromLatin1(c.file));
    ASSERT_FALSE(data.isEmpty()) << c.file;
    QImage image(2, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(1, 2, 3)});
    image.fill(0);
    const QImage before = image;
    QString error;
    QString notice;
    EXPECT_FALSE(load(c.kind, data, &image, &error, &notice));
    EXPECT_EQ(error, QString::fromLatin1(c.error));
    EXPECT_EQ(notice, QString::fromLatin1(c.notice));
    EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ThirdPartyRefusalTest,
    ::testing::Values(RefusalCase{"MagickPcx24Bit", "im_truecolor_4x2.pcx", Kind::Pcx, pictor::kPcxRefusal, ""},
                      RefusalCase{"PillowPcx1Bit1Plane", "pil_1bit_11x2.pcx", Kind::Pcx, pictor::kPcxRefusal, ""},
                      RefusalCase{"MagickTgaFourColours", "im_4colours_5x3.tga", Kind::Tga,
                                  "Incorrect number of colors", "4"},
                      RefusalCase{"PillowTgaImageId", "pil_id_5x3.tga", Kind::Tga,
                                  "\"Image Indentifier string\" is not supported", ""},
                      RefusalCase{"PillowTgaRunLength", "pil_rle_5x3.tga", Kind::Tga,
                                  "Only uncompressed image data with color map supported", ""}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- PCX decoding ----

struct PcxCase {
    const char* name;
    std::function<QByteArray()> file;
    bool loads;
    QSize size = {};
    Indices indices = {};      // rows top to bottom
    QList<QRgb> colours = {};  // the start of the colour table; empty: not checked
    int tableSize = 0;         // colour table entries; 0: not checked
};

class PcxDecodeTest : public ::testing::TestWithParam<PcxCase> {};

TEST_P(PcxDecodeTest, DecodesOrRefuses)
{
    const PcxCase& c = GetParam();
    QImage image;
    QString error;
    const bool loaded = pictor::loadPcx(c.file(), &image, &error);
    ASSERT_EQ(loaded, c.loads) << error.toStdString();
    if (c.loads) {
        EXPECT_TRUE(pictor::isPcxHeader(c.file()));
    }
    if (!c.loads) {
        EXPECT_EQ(error, QString::fromLatin1(pictor::kPcxRefusal));
        return;
    }
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), c.size);
    EXPECT_EQ(indicesOf(image), c.indices);
    if (c.tableSize) {
        EXPECT_EQ(image.colorCount(), c.tableSize);
    }
    EXPECT_EQ(image.colorTable().mid(0, c.colours.size()), c.colours);
}

namespace {

// 256 colours, 3 x 2, bytes per line 4: the 4th byte of each line is padding.
QByteArray pcx256(const QByteArray& data, bool marker)
{
    return pcxHeader({8, 1, 0, 0, 2, 1, 4, {}}) + data + (marker ? palette256Block() : QByteArray());
}

QList<QRgb> paletteStart(int count)
{
    QList<QRgb> out;
    for (int i = 0; i < count; ++i) out.append(qRgb(i, (i * 3) % 256, 255 - i));
    return out;
}

Indices indices10()
{
    return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6};
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, PcxDecodeTest,
    ::testing::Values(PcxCase{"Colours256FromTheMarkedPalette",
                              [] {
                                  return pcx256(bytes({1, 2, 3, 99, 4, 5, 6, 99}), true);
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 4, 5, 6},
                              paletteStart(7),
                              256},
                      PcxCase{"Colours256WithoutMarkerAreBlack",
                              [] {
                                  return pcx256(bytes({1, 2, 3, 99, 4, 5, 6, 99}), false);
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 4, 5, 6},
                              QList<QRgb>(256, qRgb(0, 0, 0)),
                              256},
                      PcxCase{"RunByteC0GivesNothing",
                              [] {
                                  return pcx256(bytes({0xC0, 0x55, 1, 2, 3, 0, 0xC0, 0x77, 4, 5, 6, 0}), true);
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 4, 5, 6},
                              {},
                              0},
                      PcxCase{"RunPastTheLineEndIsCutThere",
                              [] {
                                  return pcx256(bytes({0xC6, 7, 1, 2, 3, 4}), true);
                              },
                              true,
                              {3, 2},
                              {7, 7, 7, 1, 2, 3},
                              {},
                              0},
                      PcxCase{"EscapedBytesAboveC0",
                              [] {
                                  return pcx256(bytes({0xC1, 0xC0, 0xC1, 0xFF, 0xC2, 0xD0, 0xC4, 9}), true);
                              },
                              true,
                              {3, 2},
                              {0xC0, 0xFF, 0xD0, 9, 9, 9},
                              {},
                              0},
                      PcxCase{"TruncatedRestIsZero",
                              [] {
                                  return pcx256(bytes({1, 2, 3, 4, 5}), false);
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 5, 0, 0},
                              {},
                              0},
                      PcxCase{"CutInsideARun",
                              [] {
                                  return pcx256(bytes({1, 2, 3, 4, 0xC3}), false);
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 0, 0, 0},
                              {},
                              0},
                      PcxCase{"SignedCornersGiveTheSize",
                              [] {
                                  return pcxHeader({8, 1, -5, 100, -3, 101, 4, {}}) + bytes({1, 2, 3, 0, 4, 5, 6, 0});
                              },
                              true,
                              {3, 2},
                              {1, 2, 3, 4, 5, 6},
                              {},
                              0},
                      PcxCase{"Colours16Width10BytesPerLine2",
                              [] { return makePcx16(10, 2, indices10(), palette16()); },
                              true,
                              {10, 2},
                              indices10(),
                              palette16(),
                              16},
                      PcxCase{"Colours16TruncatedRestIsZero",
                              [] { return makePcx16(10, 2, indices10(), palette16()).left(128 + 4); },
                              true,
                              {10, 2},
                              {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {},
                              0},
                      PcxCase{"Colours24Refused",
                              [] {
                                  return pcxHeader({8, 3, 0, 0, 2, 1, 4, {}}) + QByteArray(24, 1);
                              },
                              false},
                      PcxCase{"OneBitOnePlaneRefused",
                              [] {
                                  return pcxHeader({1, 1, 0, 0, 7, 1, 2, {}}) + QByteArray(4, 1);
                              },
                              false},
                      PcxCase{"FourBitsOnePlaneRefused",
                              [] {
                                  return pcxHeader({4, 1, 0, 0, 7, 1, 4, {}}) + QByteArray(8, 1);
                              },
                              false},
                      PcxCase{"NotManufacturer10",
                              [] {
                                  QByteArray f = pcx256(bytes({1, 2, 3, 0, 4, 5, 6, 0}), true);
                                  f[0] = 11;
                                  return f;
                              },
                              false},
                      PcxCase{"BmpDataRefused", [] { return QByteArray("BM") + QByteArray(100, '\0'); }, false},
                      PcxCase{"EmptyRefused", [] { return QByteArray(); }, false},
                      PcxCase{"HeaderCutBeforeBytesPerLine", [] { return pcx256({}, false).left(66); }, false},
                      PcxCase{"NegativeWidthRefused",
                              [] {
                                  return pcxHeader({8, 1, 5, 0, 3, 1, 4, {}}) + QByteArray(8, 1);
                              },
                              false},
                      PcxCase{"ZeroHeightRefused",
                              [] {
                                  return pcxHeader({8, 1, 0, 5, 2, 4, 4, {}}) + QByteArray(8, 1);
                              },
                              false},
                      PcxCase{"HugeRefused",
                              [] {
                                  return pcxHeader({8, 1, -32768, -32768, 32767, 32767, 65535, {}}) + QByteArray(8, 1);
                              },
                              false},
                      PcxCase{"ZeroBytesPerLineRefused",
                              [] {
                                  return pcxHeader({8, 1, 0, 0, 2, 1, 0, {}}) + QByteArray(8, 1);
                              },
                              false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PcxLimits, AtMostSixtyFourMillionPixels)
{
    // 8000 x 8000 is exactly the limit and converts (to all zeros: the file holds no pixels).
    const auto atLimit = pictor::pcxToBmp(pcxHeader({8, 1, 0, 0, 7999, 7999, 8000, {}}));
    ASSERT_TRUE(atLimit.has_value());
    EXPECT_EQ(atLimit->size(), 1078 + 8000 * 8000);
    EXPECT_FALSE(pictor::pcxToBmp(pcxHeader({8, 1, 0, 0, 8000, 7999, 8002, {}})).has_value());
    EXPECT_FALSE(pictor::pcxToBmp(pcxHeader({1, 4, 0, 0, 7999, 8000, 1000, {}})).has_value());
}

// The BMP that the PCX reader builds: file header, info header and where the rows start.
TEST(PcxBmp, HeadersFollowTheDecoder)
{
    struct Expect {
        QByteArray pcx;
        int bits, colorsUsed, offset, stride, width, height;
    };
    const Expect cases[] = {
        {pcx256(bytes({1, 2, 3, 0, 4, 5, 6, 0}), true), 8, 256, 1078, 4, 3, 2},
        {makePcx16(10, 2, indices10(), palette16()), 4, 0, 118, 8, 10, 2},
        {makePcx16(17, 3, patternIndices(51, 16, 1), palette16()), 4, 0, 118, 12, 17, 3},
    };
    for (const Expect& e : cases) {
        const auto bmp = pictor::pcxToBmp(e.pcx);
        ASSERT_TRUE(bmp.has_value());
        EXPECT_EQ(bmp->left(2), QByteArray("BM"));
        EXPECT_EQ(get32(*bmp, 2), bmp->size());
        EXPECT_EQ(get32(*bmp, 10), e.offset);
        EXPECT_EQ(get32(*bmp, 14), 40);
        EXPECT_EQ(get32(*bmp, 18), e.width);
        EXPECT_EQ(get32(*bmp, 22), e.height);
        EXPECT_EQ(static_cast<quint8>(bmp->at(28)), e.bits);
        EXPECT_EQ(get32(*bmp, 34), e.stride * e.height);
        EXPECT_EQ(get32(*bmp, 46), e.colorsUsed);
        EXPECT_EQ(bmp->size(), e.offset + e.stride * e.height);
    }
}

// Widths whose planes do not fill whole 4-byte groups: each row must start where it should.
class Pcx16WidthTest : public ::testing::TestWithParam<int> {};

TEST_P(Pcx16WidthTest, RowsAreNotSheared)
{
    const int width = GetParam();
    const int height = 3;
    const Indices indices = patternIndices(width * height, 16, width);
    QImage image;
    QString error;
    ASSERT_TRUE(pictor::loadPcx(makePcx16(width, height, indices, palette16()), &image, &error));
    EXPECT_EQ(image.size(), QSize(width, height));
    EXPECT_EQ(indicesOf(image), indices);
    EXPECT_EQ(image.colorTable(), palette16());
}

INSTANTIATE_TEST_SUITE_P(Widths, Pcx16WidthTest,
                         ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 18, 19, 20, 21, 22, 23, 24, 33),
                         [](const auto& p) { return "Width" + std::to_string(p.param); });

// ---- TGA reading ----

struct TgaCheckCase {
    const char* name;
    std::function<QByteArray()> file;
    const char* error;
    const char* notice;  // "" for none
};

class TgaRefusalTest : public ::testing::TestWithParam<TgaCheckCase> {};

TEST_P(TgaRefusalTest, GivesTheFirstFailingCheck)
{
    const TgaCheckCase& c = GetParam();
    QByteArray bmp("untouched");
    QString error;
    QString notice;
    EXPECT_FALSE(pictor::tgaToBmp(c.file(), &bmp, &error, &notice));
    EXPECT_EQ(error, QString::fromUtf8(c.error));
    EXPECT_EQ(notice, QString::fromLatin1(c.notice));
    EXPECT_EQ(bmp, QByteArray("untouched"));
    // The image plugin recognises files by the same header checks: it takes exactly the files
    // that fail only after them.
    EXPECT_EQ(pictor::isTgaHeader(c.file()), error.startsWith(QLatin1String("TGA:"))) << error.toStdString();
}

namespace {

QByteArray validTga()
{
    return makeTga(3, 2, bytes({1, 2, 3, 4, 5, 6}), 0x20);
}

std::function<QByteArray()> withBytes(std::initializer_list<std::pair<int, int>> list)
{
    // A copy: the list's own array ends with the expression that made it.
    std::vector<std::pair<int, int>> changes(list);
    return [changes] {
        QByteArray f = validTga();
        for (const auto& [at, value] : changes) f[at] = static_cast<char>(value);
        return f;
    };
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Checks, TgaRefusalTest,
    ::testing::Values(
        TgaCheckCase{"OneByteImageId",
                     [] {
                         QByteArray f = validTga();
                         f[0] = 1;
                         return f.insert(18, 'K');
                     },
                     "\"Image Indentifier string\" is not supported", ""},
        TgaCheckCase{"NoColourMap", withBytes({{1, 0}}), "Invalid color map indentification", ""},
        TgaCheckCase{"RunLengthType9", withBytes({{2, 9}}), "Only uncompressed image data with color map supported",
                     ""},
        TgaCheckCase{"TrueColourType2", withBytes({{2, 2}}), "Only uncompressed image data with color map supported",
                     ""},
        TgaCheckCase{"ColourMapLength255", withBytes({{5, 255}, {6, 0}}), "Incorrect number of colors", "255"},
        TgaCheckCase{"ColourMapLength4096", withBytes({{5, 0}, {6, 16}}), "Incorrect number of colors", "4096"},
        TgaCheckCase{"EntrySize32", withBytes({{7, 32}}), "No 24 bit colors defined", ""},
        TgaCheckCase{"PixelDepth16", withBytes({{16, 16}}), "Pixels are not 8bit", ""},
        TgaCheckCase{"IdBeforeType", withBytes({{0, 1}, {2, 9}}), "\"Image Indentifier string\" is not supported", ""},
        TgaCheckCase{"TypeBeforeLength", withBytes({{2, 9}, {5, 16}, {6, 0}}),
                     "Only uncompressed image data with color map supported", ""},
        TgaCheckCase{"LengthBeforeDepth", withBytes({{5, 16}, {6, 0}, {16, 24}}), "Incorrect number of colors", "16"},
        TgaCheckCase{"EmptyFile", [] { return QByteArray(); }, "Invalid color map indentification", ""},
        TgaCheckCase{"HeaderCutBeforeDepth", [] { return validTga().left(16); }, "Pixels are not 8bit", ""},
        TgaCheckCase{"ZeroWidth", withBytes({{12, 0}}), "TGA: the picture is 0 x 2 pixels; there is nothing to show",
                     ""},
        TgaCheckCase{"PixelsCut", [] { return validTga().left(791); },
                     "TGA: a picture of 3 x 2 pixels needs 792 bytes (786 before the pixels), but the file ends at 791",
                     ""},
        TgaCheckCase{"ColourMapCut", [] { return validTga().left(100); },
                     "TGA: a picture of 3 x 2 pixels needs 792 bytes (786 before the pixels), but the file ends at 100",
                     ""},
        TgaCheckCase{"Huge", withBytes({{12, 255}, {13, 255}, {14, 255}, {15, 255}}),
                     "TGA: a picture of 65535 x 65535 pixels is larger than the 64000000 pixels accepted", ""}),
    [](const auto& p) { return std::string(p.param.name); });

struct TgaOrderCase {
    const char* name;
    int descriptor;
    QByteArray trailer;
};

class TgaRowOrderTest : public ::testing::TestWithParam<TgaOrderCase> {};

// Rows 0..2 of a 5 x 3 picture hold 10+x, 20+x, 30+x in the file; bit 5 says whether the file's
// first row is the top or the bottom one. Whatever follows the pixels does not matter.
TEST_P(TgaRowOrderTest, ReadsRowsFromByte786)
{
    const TgaOrderCase& c = GetParam();
    const QByteArray rows = bytes({10, 11, 12, 13, 14, 20, 21, 22, 23, 24, 30, 31, 32, 33, 34});
    QImage image;
    QString error;
    ASSERT_TRUE(pictor::loadTga(makeTga(5, 3, rows, c.descriptor, c.trailer), &image, &error)) << error.toStdString();
    const Indices fileOrder = {10, 11, 12, 13, 14, 20, 21, 22, 23, 24, 30, 31, 32, 33, 34};
    const Indices reversed = {30, 31, 32, 33, 34, 20, 21, 22, 23, 24, 10, 11, 12, 13, 14};
    EXPECT_EQ(indicesOf(image), (c.descriptor & 0x20) ? fileOrder : reversed);
    ASSERT_EQ(image.colorCount(), 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(image.color(i), tgaColour(i)) << "colour " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, TgaRowOrderTest,
    ::testing::Values(TgaOrderCase{"TopDown", 0x20, {}}, TgaOrderCase{"TopDownWithFooter", 0x20, kTgaFooter},
                      TgaOrderCase{"TopDownWithExtensionAndFooter", 0x28, QByteArray(495, 'x') + kTgaFooter},
                      TgaOrderCase{"BottomUp", 0x00, {}}, TgaOrderCase{"BottomUpWithFooter", 0x00, kTgaFooter}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(TgaBmp, HeadersAndPaddedRows)
{
    // 5 wide: rows of 8 bytes in the BMP, the 3 padding bytes zero.
    QByteArray bmp;
    QString error;
    ASSERT_TRUE(pictor::tgaToBmp(makeTga(5, 2, bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 0x20), &bmp, &error));
    EXPECT_EQ(bmp.size(), 1078 + 16);
    EXPECT_EQ(get32(bmp, 2), bmp.size());
    EXPECT_EQ(get32(bmp, 10), 1078);
    EXPECT_EQ(get32(bmp, 34), 16);
    EXPECT_EQ(get32(bmp, 46), 256);
    EXPECT_EQ(bmp.mid(54, 8), bytes({255, 0, 0, 0, 254, 5, 1, 0}));  // blue, green, red, 0
    EXPECT_EQ(bmp.mid(1078), bytes({6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
}

// ---- TGA writing ----

TEST(TgaWrite, HeaderColourMapAndRowsTopToBottom)
{
    const QImage image = indexedImage(3, 2, {5, 6, 7, 8, 9, 10}, distinctColours());
    QByteArray file;
    QString error;
    ASSERT_TRUE(pictor::saveTga(image, &file, &error)) << error.toStdString();
    ASSERT_EQ(file.size(), 786 + 6);
    EXPECT_EQ(file.left(18), bytes({0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0x20}));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = distinctColours()[i];
        ASSERT_EQ(file.mid(18 + 3 * i, 3), bytes({qBlue(c), qGreen(c), qRed(c)})) << "entry " << i;
    }
    EXPECT_EQ(file.mid(786), bytes({5, 6, 7, 8, 9, 10}));
}

TEST(TgaWrite, ReadsBackWithTheSameIndicesAndColours)
{
    const QSize sizes[] = {{3, 2}, {1, 1}, {5, 3}, {17, 4}, {256, 3}};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        const Indices indices = patternIndices(size.width() * size.height(), 256, size.width());
        const QImage image = indexedImage(size.width(), size.height(), indices, distinctColours());
        QByteArray file;
        QString error;
        ASSERT_TRUE(pictor::saveTga(image, &file, &error)) << error.toStdString();
        QImage back;
        ASSERT_TRUE(pictor::loadTga(file, &back, &error)) << error.toStdString();
        const Indices got = indicesOf(back);
        const auto diff = std::mismatch(got.begin(), got.end(), indices.begin(), indices.end());
        EXPECT_TRUE(diff.first == got.end() && diff.second == indices.end())
            << "first differing pixel " << (diff.first - got.begin());
        EXPECT_EQ(back.colorTable(), distinctColours());
    }
}

TEST(TgaWrite, ShortColourTableIsPaddedWithBlack)
{
    const QList<QRgb> four = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgba(9, 8, 7, 0)};
    QByteArray file;
    QString error;
    ASSERT_TRUE(pictor::saveTga(indexedImage(2, 2, {0, 1, 2, 3}, four), &file, &error));
    QImage back;
    ASSERT_TRUE(pictor::loadTga(file, &back, &error));
    QList<QRgb> expected = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 8, 7)};
    expected.resize(256, qRgb(0, 0, 0));
    EXPECT_EQ(back.colorTable(), expected);
    EXPECT_EQ(indicesOf(back), (Indices{0, 1, 2, 3}));
}

struct TgaWriteErrorCase {
    const char* name;
    std::function<QImage()> image;
    const char* error;
};

class TgaWriteErrorTest : public ::testing::TestWithParam<TgaWriteErrorCase> {};

TEST_P(TgaWriteErrorTest, RefusesWithItsText)
{
    QByteArray file("untouched");
    QString error;
    EXPECT_FALSE(pictor::saveTga(GetParam().image(), &file, &error));
    EXPECT_EQ(error, QString::fromLatin1(GetParam().error));
    EXPECT_EQ(file, QByteArray("untouched"));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TgaWriteErrorTest,
    ::testing::Values(
        TgaWriteErrorCase{"TrueColour", [] { return QImage(2, 2, QImage::Format_RGB32); },
                          "Unsupported format. Only 8bit images are supported"},
        TgaWriteErrorCase{"OneBit", [] { return QImage(8, 2, QImage::Format_Mono); },
                          "Unsupported format. Only 8bit images are supported"},
        TgaWriteErrorCase{"Empty", [] { return QImage(); }, "Invalid image data"},
        TgaWriteErrorCase{"NoColourTable", [] { return QImage(2, 2, QImage::Format_Indexed8); }, "Invalid image data"},
        TgaWriteErrorCase{"Grey8WithoutTable", [] { return QImage(2, 2, QImage::Format_Grayscale8); },
                          "Invalid image data"},
        TgaWriteErrorCase{"TooWide", [] { return indexedImage(65536, 1, Indices(65536, 0), distinctColours()); },
                          "TGA: a picture of 65536 x 1 pixels does not fit; at most 65535 x 65535 can be written"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(TgaWrite, StreamThatRefusesGivesTheWritingError)
{
    pictor::TTGAimage image(indexedImage(2, 1, {0, 1}, distinctColours()));
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QString error;
    EXPECT_FALSE(image.SaveToStream(&buffer, &error));
    EXPECT_EQ(error, QStringLiteral("TGA writing error"));
}

TEST(TgaWrite, ImageMagickReadsWhatWeWrite)
{
    if (tool("convert").isEmpty() || tool("identify").isEmpty()) GTEST_SKIP() << "ImageMagick is not installed";
    // Every index once, every colour distinct, rows in a scrambled order to show orientation.
    Indices indices;
    for (int i = 0; i < 256; ++i) indices.push_back((i * 97 + 31) % 256);
    const QImage image = indexedImage(16, 16, indices, distinctColours());
    QByteArray file;
    QString error;
    ASSERT_TRUE(pictor::saveTga(image, &file, &error));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ours.tga"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    const QString summary = QString::fromLatin1(runTool(tool("identify"), {path}));
    EXPECT_TRUE(summary.contains(QStringLiteral(" TGA 16x16 "))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral(" 8-bit "))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral(" 256c "))) << summary.toStdString();
    const QString kind =
        QString::fromLatin1(runTool(tool("identify"), {QStringLiteral("-format"), QStringLiteral("%r"), path}));
    EXPECT_TRUE(kind.startsWith(QStringLiteral("PseudoClass"))) << kind.toStdString();
    EXPECT_EQ(magickColours(path, 16, 16), coloursOf(image));
}
