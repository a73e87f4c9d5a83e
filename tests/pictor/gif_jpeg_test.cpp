#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include <gtest/gtest.h>

#include "gif_io.h"
#include "jpeg_io.h"
#include "test_support.h"

using namespace pictor;
using namespace testing_support;

namespace {

using Reader = bool (*)(const QString&, QImage*, QString*);
using Writer = bool (*)(const QImage&, const QString&, QString*);

QString fixture(const char* name)
{
    return QStringLiteral(KESTRIX_FIXTURES_DIR "/pictor/") + QLatin1String(name);
}

auto caseName = [](const auto& p) { return std::string(p.param.name); };

// ---- Pictures

QList<QRgb> randomTable(int count, std::uint32_t seed)
{
    const Bytes bytes = randomBytes(static_cast<std::size_t>(count) * 3, seed);
    QList<QRgb> table;
    for (int i = 0; i < count; ++i) table.append(qRgb(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]));
    return table;
}

// An indexed picture with the given table and pseudo-random indices below `alphabet`.
QImage indexedPicture(int width, int height, const QList<QRgb>& table, int alphabet, std::uint32_t seed = 1)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(table);
    const Bytes indices = randomBytes(static_cast<std::size_t>(width) * height, seed, alphabet);
    for (int y = 0; y < height; ++y)
        std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y) * width, width, image.scanLine(y));
    return image;
}

// A picture of pseudo-random colours: sharp colour edges everywhere, the hardest case for JPEG.
QImage noisePicture(int width, int height, QImage::Format format, std::uint32_t seed = 2)
{
    QImage rgb(width, height, QImage::Format_RGB888);
    const Bytes bytes = randomBytes(static_cast<std::size_t>(width) * height * 3, seed);
    for (int y = 0; y < height; ++y)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(y) * width * 3, width * 3, rgb.scanLine(y));
    return rgb.convertToFormat(format);
}

// A 32-bit picture of six colours.
QImage fewColoursPicture()
{
    const QRgb colours[] = {qRgb(255, 0, 0),  qRgb(0, 255, 0),     qRgb(0, 0, 255),
                            qRgb(10, 20, 30), qRgb(255, 255, 255), qRgb(200, 100, 50)};
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, colours[(x * 3 + y * 5) % 6]);
    return image;
}

QImage monoPicture()
{
    QImage image(10, 3, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, (x + y) % 3 == 0 ? 1 : 0);
    return image;
}

QList<QRgb> greyRamp()
{
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table.append(qRgb(i, i, i));
    return table;
}

// The colour table a written GIF holds: the picture's, or Qt's grey ramp for none, padded black to 256.
QList<QRgb> writtenTable(const QImage& indexed)
{
    QList<QRgb> table = indexed.colorTable().isEmpty() ? greyRamp() : indexed.colorTable();
    table.resize(256, qRgb(0, 0, 0));
    return table;
}

// ---- Comparisons

std::vector<QRgb> opaque(const QList<QRgb>& table)
{
    std::vector<QRgb> out;
    for (QRgb c : table) out.push_back(c | 0xFF000000u);
    return out;
}

// The first pixel whose index differs, or an empty text when all agree.
std::string firstIndexDifference(const QImage& got, const QImage& expected)
{
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (got.pixelIndex(x, y) != expected.pixelIndex(x, y))
                return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") has index " +
                       std::to_string(got.pixelIndex(x, y)) + ", expected " + std::to_string(expected.pixelIndex(x, y));
    return {};
}

// The largest difference of any channel of any pixel, and where it is.
struct Gap {
    int size = 0;
    int x = 0;
    int y = 0;
};

Gap largestGap(const QImage& got, const QImage& expected)
{
    Gap gap;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = got.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            if (d > gap.size) gap = {d, x, y};
        }
    return gap;
}

std::string describe(const Gap& gap)
{
    return "largest channel difference " + std::to_string(gap.size) + " at (" + std::to_string(gap.x) + "," +
           std::to_string(gap.y) + ")";
}

// ---- Our own look at the files we write

// The blocks of a GIF up to its first image descriptor.
struct GifLayout {
    std::string version;
    int globalEntries = 0;  // colours in the global map, 0 without one
    std::vector<std::string> comments;
    std::size_t imageDescriptor = 0;
};

GifLayout gifLayout(const Bytes& gif)
{
    GifLayout layout;
    layout.version.assign(gif.begin(), gif.begin() + 6);
    std::size_t at = 13;
    if (gif.at(10) & 0x80) {
        layout.globalEntries = 2 << (gif[10] & 7);
        at += 3 * static_cast<std::size_t>(layout.globalEntries);
    }
    while (gif.at(at) == 0x21) {
        const std::uint8_t label = gif.at(at + 1);
        std::string data;
        for (at += 2; gif.at(at) != 0; at += 1 + gif[at])
            data.append(gif.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                        gif.begin() + static_cast<std::ptrdiff_t>(at) + 1 + gif[at]);
        ++at;
        if (label == 0xFE) layout.comments.push_back(data);
    }
    if (gif.at(at) == 0x2C) layout.imageDescriptor = at;
    return layout;
}

// The frame header and the quantisation tables of a JPEG.
struct JpegLayout {
    int components = 0;
    std::vector<int> samplingFactors;  // per component, horizontal in the high nibble
    bool quantisersAllOne = true;      // what quality 100 gives
};

JpegLayout jpegLayout(const Bytes& jpeg)
{
    JpegLayout layout;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const int marker = jpeg[at + 1];
        const std::size_t end = at + 2 + (jpeg.at(at + 2) << 8 | jpeg.at(at + 3));
        if (marker == 0xDB) {
            for (std::size_t p = at + 4; p < end;) {
                const std::size_t width = (jpeg.at(p) >> 4) ? 2 : 1;
                for (std::size_t i = 0; i < 64; ++i)
                    if ((width == 2 ? jpeg.at(p + 1 + 2 * i) << 8 | jpeg.at(p + 2 + 2 * i) : jpeg.at(p + 1 + i)) != 1)
                        layout.quantisersAllOne = false;
                p += 1 + 64 * width;
            }
        }
        if (marker >= 0xC0 && marker <= 0xC2) {
            layout.components = jpeg.at(at + 9);
            for (int i = 0; i < layout.components; ++i) layout.samplingFactors.push_back(jpeg.at(at + 11 + 3 * i));
        }
        at = end;
    }
    return layout;
}

// ---- Files made by other programs: each fixture has a reference of what Pillow decodes from it (see
// the README beside them): width, height, palette size n, n colours, then per pixel its index (n > 0)
// or its red, green and blue (n = 0).

struct Reference {
    QImage picture;  // indexed with the palette, or RGB32
    int paletteSize = 0;
};

Reference readReference(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
    QTextStream in(&file);
    std::vector<int> n;
    while (!in.atEnd()) {
        int v = -1;
        in >> v;
        if (in.status() == QTextStream::Ok) n.push_back(v);
    }
    Reference ref;
    const int width = n.at(0), height = n.at(1);
    ref.paletteSize = n.at(2);
    std::size_t at = 3;
    QList<QRgb> palette;
    for (int i = 0; i < ref.paletteSize; ++i, at += 3) palette.append(qRgb(n.at(at), n.at(at + 1), n.at(at + 2)));
    ref.picture = QImage(width, height, ref.paletteSize ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    ref.picture.setColorTable(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ref.paletteSize) {
                ref.picture.setPixel(x, y, static_cast<uint>(n.at(at++)));
            } else {
                ref.picture.setPixel(x, y, qRgb(n.at(at), n.at(at + 1), n.at(at + 2)));
                at += 3;
            }
    EXPECT_EQ(at, n.size()) << path.toStdString();
    return ref;
}

// ---- ImageMagick

bool haveImageMagick()
{
    return !QStandardPaths::findExecutable(QStringLiteral("identify")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty();
}

QString runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << args.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every pixel's colour as ImageMagick decodes it, from its text listing ("x,y: (...)  #RRGGBB ...").
QImage magickPixels(const QString& path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::transparent);
    static const QRegularExpression line(QStringLiteral(R"(^(\d+),(\d+):[^#]*#([0-9A-Fa-f]{6}))"),
                                         QRegularExpression::MultilineOption);
    int count = 0;
    for (const QRegularExpressionMatch& m : line.globalMatch(runTool(QStringLiteral("convert"), {path, "txt:-"}))) {
        image.setPixel(m.captured(1).toInt(), m.captured(2).toInt(), 0xFF000000u | m.captured(3).toUInt(nullptr, 16));
        ++count;
    }
    EXPECT_EQ(count, size.width() * size.height());
    return image;
}

// ---- GIF round trips

struct GifCase {
    const char* name;
    std::function<QImage()> make;
    bool sameColours;  // the source's colours survive exactly (indexed pictures, or 256 colours at most)
};

const GifCase kGifCases[] = {
    {"IndexedFiveColours", [] { return indexedPicture(5, 3, randomTable(5, 7), 5); }, true},
    {"IndexedAllIndices",
     [] {
         QImage image = indexedPicture(16, 16, randomTable(256, 8), 1);
         for (int i = 0; i < 256; ++i) image.setPixel(i % 16, i / 16, static_cast<uint>(i));
         return image;
     },
     true},
    {"IndexedOnePixel",
     [] {
         return indexedPicture(1, 1, {qRgb(1, 2, 3), qRgb(4, 5, 6)}, 2, 3);
     },
     true},
    {"IndexedWithoutTable", [] { return indexedPicture(6, 4, {}, 256); }, false},
    {"IndexPastTheTable",
     [] {
         return indexedPicture(9, 2, {qRgb(9, 9, 9), qRgb(200, 0, 0)}, 40);
     },
     false},
    {"Rgb32SixColours", fewColoursPicture, true},
    {"MonoTwoColours", monoPicture, true},
    {"Rgb888Noise", [] { return noisePicture(33, 17, QImage::Format_RGB888); }, false},
};

class GifRoundTripTest : public ::testing::TestWithParam<GifCase> {};

TEST_P(GifRoundTripTest, KeepsIndicesAndTableAndCarriesBothComments)
{
    const QImage source = GetParam().make();
    const QImage expected =
        source.format() == QImage::Format_Indexed8 ? source : source.convertToFormat(QImage::Format_Indexed8);
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("out.gif"));
    QString error;
    ASSERT_TRUE(writeGif(source, path, &error)) << error.toStdString();

    const GifLayout layout = gifLayout(readFile(path));
    EXPECT_EQ(layout.version, "GIF89a");
    EXPECT_EQ(layout.globalEntries, 256);
    EXPECT_EQ(layout.comments, (std::vector<std::string>{"Created by Quarn Viewer\n", kGifSecondComment}));
    EXPECT_NE(layout.imageDescriptor, 0u);

    QImage back;
    ASSERT_TRUE(readGif(path, &back, &error)) << error.toStdString();
    ASSERT_EQ(back.format(), QImage::Format_Indexed8);
    ASSERT_EQ(back.size(), source.size());
    EXPECT_EQ(firstIndexDifference(back, expected), "");
    EXPECT_EQ(opaque(back.colorTable()), opaque(writtenTable(expected)));
    if (GetParam().sameColours) {
        EXPECT_EQ(largestGap(back, source).size, 0) << describe(largestGap(back, source));
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifRoundTripTest, ::testing::ValuesIn(kGifCases), caseName);

// A GIF whose image brings its own colour map is shown with that map, not the global one.
TEST(GifReadTest, LocalColourMapWinsOverTheGlobalOne)
{
    TempFolder dir;
    const QImage source = indexedPicture(5, 3, randomTable(5, 11), 5);
    QString error;
    ASSERT_TRUE(writeGif(source, dir.path(QStringLiteral("global.gif")), &error)) << error.toStdString();
    const Bytes global = readFile(dir.path(QStringLiteral("global.gif")));
    const GifLayout layout = gifLayout(global);
    ASSERT_EQ(layout.globalEntries, 256);

    // Global map all white; the image gets a local map of 8 entries holding the first 8 colours.
    Bytes local(global.begin(), global.begin() + static_cast<std::ptrdiff_t>(layout.imageDescriptor) + 10);
    std::fill(local.begin() + 13, local.begin() + 13 + 3 * 256, 0xFF);
    local.back() = 0x80 | 2;
    local.insert(local.end(), global.begin() + 13, global.begin() + 13 + 3 * 8);
    local.insert(local.end(), global.begin() + static_cast<std::ptrdiff_t>(layout.imageDescriptor) + 10, global.end());
    writeFile(dir.path(QStringLiteral("local.gif")), local);

    QImage back;
    ASSERT_TRUE(readGif(dir.path(QStringLiteral("local.gif")), &back, &error)) << error.toStdString();
    QList<QRgb> expected = source.colorTable();
    expected.resize(8, qRgb(0, 0, 0));
    EXPECT_EQ(opaque(back.colorTable()), opaque(expected));
    EXPECT_EQ(firstIndexDifference(back, source), "");
}

// ---- JPEG round trips

struct JpegCase {
    const char* name;
    std::function<QImage()> make;
};

const JpegCase kJpegCases[] = {
    {"Rgb888Noise", [] { return noisePicture(37, 23, QImage::Format_RGB888); }},
    {"Rgb32Noise", [] { return noisePicture(16, 9, QImage::Format_RGB32, 5); }},
    {"IndexedThroughItsTable", [] { return indexedPicture(19, 11, randomTable(256, 12), 256); }},
    {"GreyscaleStaysAColourFile", [] { return noisePicture(12, 8, QImage::Format_Grayscale8, 6); }},
    {"OnePixel", [] { return noisePicture(1, 1, QImage::Format_RGB888, 7); }},
};

class JpegRoundTripTest : public ::testing::TestWithParam<JpegCase> {};

TEST_P(JpegRoundTripTest, ColourAtQuality100WithFullChromaStaysWithin6)
{
    const QImage source = GetParam().make();
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("out.jpg"));
    QString error;
    ASSERT_TRUE(writeJpeg(source, path, &error)) << error.toStdString();

    const JpegLayout layout = jpegLayout(readFile(path));
    EXPECT_EQ(layout.components, 3);
    EXPECT_EQ(layout.samplingFactors, (std::vector<int>{0x11, 0x11, 0x11}));
    EXPECT_TRUE(layout.quantisersAllOne);

    QImage back;
    ASSERT_TRUE(readJpeg(path, &back, &error)) << error.toStdString();
    EXPECT_EQ(back.format(), QImage::Format_RGB888);
    ASSERT_EQ(back.size(), source.size());
    // Quantisers of 1 leave only the colour-space and transform rounding: a few steps on noise.
    const Gap gap = largestGap(back, source);
    EXPECT_LE(gap.size, 6) << describe(gap);
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegRoundTripTest, ::testing::ValuesIn(kJpegCases), caseName);

// ---- Files made by ImageMagick and Pillow

struct ThirdPartyCase {
    const char* name;
    const char* file;
    Reader read;
};

const ThirdPartyCase kThirdPartyCases[] = {
    {"ImageMagickGif", "im_4x3.gif", readGif},
    {"ImageMagickInterlacedGif", "im_interlaced_3x9.gif", readGif},
    {"PillowGif", "pil_4x3.gif", readGif},
    {"ImageMagickJpegHalvedChroma", "im_4x3.jpg", readJpeg},
    {"ImageMagickProgressiveJpeg", "im_progressive_4x3.jpg", readJpeg},
    {"PillowGreyJpeg", "pil_grey_4x3.jpg", readJpeg},
};

class ThirdPartyFileTest : public ::testing::TestWithParam<ThirdPartyCase> {};

TEST_P(ThirdPartyFileTest, DecodesToWhatPillowReports)
{
    const QString path = fixture(GetParam().file);
    const Reference ref = readReference(path + QStringLiteral(".ref"));
    QImage got;
    QString error;
    ASSERT_TRUE(GetParam().read(path, &got, &error)) << error.toStdString();
    ASSERT_EQ(got.size(), ref.picture.size());
    if (ref.paletteSize) {
        ASSERT_EQ(got.format(), QImage::Format_Indexed8);
        EXPECT_EQ(opaque(got.colorTable()), opaque(ref.picture.colorTable()));
        EXPECT_EQ(firstIndexDifference(got, ref.picture), "");
    } else {
        ASSERT_EQ(got.format(), QImage::Format_RGB888);
        EXPECT_EQ(largestGap(got, ref.picture).size, 0) << describe(largestGap(got, ref.picture));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ThirdPartyFileTest, ::testing::ValuesIn(kThirdPartyCases), caseName);

// ---- Damaged and missing files

Bytes fixtureBytes(const char* name)
{
    return readFile(fixture(name));
}

// im_4x3.gif: header and screen at 0, global map of 8 colours at 13, image descriptor at 45.
Bytes gifWith(const std::function<void(Bytes&)>& change)
{
    Bytes gif = fixtureBytes("im_4x3.gif");
    EXPECT_EQ(gifLayout(gif).imageDescriptor, 45u);
    change(gif);
    return gif;
}

Bytes jpegWithSize(int width, int height)
{
    Bytes jpeg = fixtureBytes("im_4x3.jpg");
    for (std::size_t at = 2; at + 9 < jpeg.size(); at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]))
        if (jpeg[at + 1] == 0xC0) {
            jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[at + 6] = static_cast<std::uint8_t>(height);
            jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[at + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    ADD_FAILURE() << "no frame header in im_4x3.jpg";
    return jpeg;
}

struct DamagedCase {
    const char* name;
    Reader read;
    std::function<Bytes()> make;  // no function: the file does not exist
    const char* reason;           // part of the error after the file's name
};

const DamagedCase kDamagedCases[] = {
    {"GifMissing", readGif, nullptr, "No such file"},
    {"GifEmpty", readGif, [] { return Bytes{}; }, "not a readable GIF"},
    {"GifNotAGif", readGif, [] { return bytesOf("no GIF, a text file"); }, "not a readable GIF: Data is not in GIF"},
    // giflib only looks at the letters "GIF"; what follows is read as a screen and records.
    {"GifStampOnly", readGif, [] { return bytesOf("GIF? no, a text file"); }, "damaged GIF"},
    {"GifCutInsideColourTable", readGif, [] { return gifWith([](Bytes& b) { b.resize(13 + 10); }); },
     "global colour map is cut short"},
    {"GifWithoutTrailer", readGif, [] { return gifWith([](Bytes& b) { b.pop_back(); }); }, "damaged GIF"},
    {"GifWithoutImage", readGif,
     [] {
         return gifWith([](Bytes& b) {
             b.resize(37);
             b.push_back(';');
         });
     },
     "holds no image"},
    {"GifWithoutColourMap", readGif,
     [] {
         return gifWith([](Bytes& b) {
             b[10] &= 0x7F;
             b.erase(b.begin() + 13, b.begin() + 37);
         });
     },
     "no colour map"},
    {"GifImageOfWidth0", readGif, [] { return gifWith([](Bytes& b) { b[50] = b[51] = 0; }); }, "empty (0 x 3"},
    {"GifImageOfTooManyPixels", readGif, [] { return gifWith([](Bytes& b) { b[50] = b[51] = b[52] = b[53] = 0xFF; }); },
     "claims 65535 x 65535"},
    // The cap is 64,000,000 pixels: 8000 x 8001 is refused before anything is allocated, 8000 x 8000
    // passes it and fails only on the pixels the file does not hold.
    {"GifImageJustOverTheCap", readGif,
     [] {
         return gifWith([](Bytes& b) {
             b[50] = 0x40;  // width 8000
             b[51] = 0x1F;
             b[52] = 0x41;  // height 8001
             b[53] = 0x1F;
         });
     },
     "claims 8000 x 8001 pixels, more than the 64000000"},
    {"GifImageAtTheCap", readGif,
     [] {
         return gifWith([](Bytes& b) {
             b[50] = b[52] = 0x40;
             b[51] = b[53] = 0x1F;
         });
     },
     "damaged GIF"},
    {"GifUnknownRecord", readGif, [] { return gifWith([](Bytes& b) { b.insert(b.begin() + 45, 0x00); }); },
     "damaged GIF: Wrong record type"},
    {"JpegMissing", readJpeg, nullptr, "No such file"},
    {"JpegEmpty", readJpeg, [] { return Bytes{}; }, "Premature end of input file"},
    {"JpegNotAJpeg", readJpeg, [] { return bytesOf("not a JPEG at all"); }, "Not a JPEG file"},
    {"JpegWithoutEndMarker", readJpeg,
     [] {
         Bytes b = fixtureBytes("im_4x3.jpg");
         b.resize(b.size() - 2);
         return b;
     },
     "Premature end of input file"},
    {"JpegOfTooManyPixels", readJpeg, [] { return jpegWithSize(60000, 60000); }, "claims 60000 x 60000"},
    {"JpegJustOverTheCap", readJpeg, [] { return jpegWithSize(8000, 8001); },
     "claims 8000 x 8001 pixels, more than the 64000000"},
    {"JpegOfWidth0", readJpeg, [] { return jpegWithSize(0, 3); }, "Empty JPEG image"},
};

class DamagedFileTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedFileTest, FailsNamingTheFileAndTheReason)
{
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("damaged"));
    if (GetParam().make) writeFile(path, GetParam().make());
    QImage out(2, 2, QImage::Format_RGB32);
    out.fill(qRgb(1, 2, 3));
    const QImage before = out;
    QString error;
    EXPECT_FALSE(GetParam().read(path, &out, &error));
    EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().reason))) << error.toStdString();
    EXPECT_EQ(out, before);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::ValuesIn(kDamagedCases), caseName);

struct SweepCase {
    const char* name;
    const char* file;
    Reader read;
};

const SweepCase kSweepCases[] = {
    {"Gif", "im_4x3.gif", readGif},
    {"InterlacedGif", "im_interlaced_3x9.gif", readGif},
    {"Jpeg", "im_4x3.jpg", readJpeg},
    {"ProgressiveJpeg", "im_progressive_4x3.jpg", readJpeg},
};

class TruncationTest : public ::testing::TestWithParam<SweepCase> {};

TEST_P(TruncationTest, EveryPrefixFailsWithAnError)
{
    const Bytes whole = fixtureBytes(GetParam().file);
    ASSERT_FALSE(whole.empty());
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("cut"));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        writeFile(path, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        QImage out;
        QString error;
        ASSERT_FALSE(GetParam().read(path, &out, &error)) << "the first " << length << " bytes were read";
        ASSERT_TRUE(error.startsWith(path + QStringLiteral(": ")) && error.size() > path.size() + 2)
            << length << " bytes: " << error.toStdString();
        ASSERT_TRUE(out.isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TruncationTest, ::testing::ValuesIn(kSweepCases), caseName);

// ---- Writing that fails

struct WriteFailureCase {
    const char* name;
    Writer write;
    std::function<QImage()> make;
    bool missingFolder;
    const char* reason;
};

const WriteFailureCase kWriteFailureCases[] = {
    {"GifNoPicture", writeGif, [] { return QImage(); }, false, "no picture"},
    {"GifTooWide", writeGif, [] { return indexedPicture(70000, 1, {qRgb(0, 0, 0)}, 1); }, false,
     "larger than a GIF can hold"},
    {"GifIntoAMissingFolder", writeGif, fewColoursPicture, true, ""},
    {"JpegNoPicture", writeJpeg, [] { return QImage(); }, false, "no picture"},
    // libjpeg itself refuses this one, from inside the compressor.
    {"JpegTooWide", writeJpeg, [] { return noisePicture(70000, 1, QImage::Format_RGB888); }, false,
     "Maximum supported image dimension is 65500 pixels"},
    {"JpegIntoAMissingFolder", writeJpeg, fewColoursPicture, true, ""},
};

class WriteFailureTest : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(WriteFailureTest, LeavesAnEarlierFileAndNoOtherFile)
{
    TempFolder dir;
    const QString path =
        GetParam().missingFolder ? dir.path(QStringLiteral("missing/out")) : dir.path(QStringLiteral("out"));
    if (!GetParam().missingFolder) writeFile(path, bytesOf("an earlier file"));
    QString error;
    EXPECT_FALSE(GetParam().write(GetParam().make(), path, &error));
    EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().reason))) << error.toStdString();
    const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (GetParam().missingFolder) {
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    } else {
        EXPECT_EQ(left, QStringList{QStringLiteral("out")});
        EXPECT_EQ(readFile(path), bytesOf("an earlier file"));
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, WriteFailureTest, ::testing::ValuesIn(kWriteFailureCases), caseName);

// ---- What ImageMagick reads from the files we write

struct MagickCase {
    const char* name;
    Writer write;
    std::function<QImage()> make;
    const char* identifyFormat;
    const char* identified;  // identify's answer for the 5 x 3 pictures below
    int tolerance;           // per channel, against the source's colours
};

const MagickCase kMagickCases[] = {
    {"GifFromIndexed", writeGif, [] { return indexedPicture(5, 3, randomTable(5, 21), 5); }, "%m %w %h %z %n",
     "GIF 5 3 8 1", 0},
    {"GifFromRgb", writeGif, [] { return fewColoursPicture().copy(0, 0, 5, 3); }, "%m %w %h %z %n", "GIF 5 3 8 1", 0},
    {"JpegFromRgb", writeJpeg, [] { return noisePicture(5, 3, QImage::Format_RGB32, 22); },
     "%m %w %h %z %[colorspace] %[channels] %Q", "JPEG 5 3 8 sRGB srgb 100", 3},
    {"JpegFromIndexed", writeJpeg, [] { return indexedPicture(5, 3, randomTable(256, 23), 256); },
     "%m %w %h %z %[colorspace] %[channels] %Q", "JPEG 5 3 8 sRGB srgb 100", 3},
    {"JpegFromGrey", writeJpeg, [] { return noisePicture(5, 3, QImage::Format_Grayscale8, 24); },
     "%m %w %h %z %[colorspace] %[channels] %Q", "JPEG 5 3 8 sRGB srgb 100", 3},
};

class ImageMagickTest : public ::testing::TestWithParam<MagickCase> {
protected:
    void SetUp() override
    {
        if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick (identify and convert) is not installed";
    }
};

TEST_P(ImageMagickTest, ReadsWhatWeWrite)
{
    const QImage source = GetParam().make();
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("out"));
    QString error;
    ASSERT_TRUE(GetParam().write(source, path, &error)) << error.toStdString();
    EXPECT_EQ(runTool(QStringLiteral("identify"), {"-format", GetParam().identifyFormat, path}).toStdString(),
              GetParam().identified);
    const Gap gap = largestGap(magickPixels(path, source.size()), source);
    EXPECT_LE(gap.size, GetParam().tolerance) << describe(gap);
}

INSTANTIATE_TEST_SUITE_P(Writes, ImageMagickTest, ::testing::ValuesIn(kMagickCases), caseName);

// ImageMagick keeps only the last comment block of a GIF (the byte layout test above checks both).
TEST(ImageMagickGifTest, ReadsOurComment)
{
    if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick (identify and convert) is not installed";
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("out.gif"));
    QString error;
    ASSERT_TRUE(writeGif(fewColoursPicture(), path, &error)) << error.toStdString();
    const QString comments = runTool(QStringLiteral("identify"), {"-format", "%c", path});
    EXPECT_EQ(comments.toStdString(), std::string(kGifSecondComment));
}

}  // namespace
