// kestrix-cli image convert and palette convert, checked with ImageMagick where it reads what we
// write: the formats, the palette files, and the usage and refusal exits.

#include <gtest/gtest.h>

#include <functional>

#include <QProcess>
#include <QStandardPaths>

#include "test_support.h"

using namespace testing_support;

namespace {

bool haveImageMagick()
{
    return !QStandardPaths::findExecutable(QStringLiteral("identify")).isEmpty();
}

QString identify(const QString& format, const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("identify"), {QStringLiteral("-format"), format, path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A full-screen game picture (307,200 bytes: 640 x 480 indices) with every index in use.
QString fullScreenPicture(const TempFolder& dir)
{
    Bytes pixels(640 * 480);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>((i / 640 + i % 640) & 0xFF);
    const QString path = dir.path(QStringLiteral("screen.raw"));
    writeFile(path, pixels);
    return path;
}

struct FormatCase {
    const char* name;
    const char* out;
    const char* format;      // "" for none: the extension decides
    const char* identified;  // identify's "%m %w %h %[type] %[colors]"
    int bmpBits;             // a BMP's bits per pixel (header byte 28); 0 for other formats
};

// ImageMagick calls a picture of at most 256 colours "Palette" even when it is stored in 24 bits,
// hence the BMP header check.
const FormatCase kFormatCases[] = {
    {"Bmp8ByExtension", "a.bmp", "", "BMP3 640 480 Palette 256", 8},
    {"Bmp24", "a.bmp", "bmp24", "BMP3 640 480 Palette 256", 24},
    {"Gif", "a.gif", "", "GIF 640 480 Palette 256", 0},
    {"Jpeg", "a.jpg", "", "JPEG 640 480 TrueColor", 0},
    {"Tga", "a.tga", "", "TGA 640 480 Palette 256", 0},
    {"PngIndexed", "a.png", "", "PNG 640 480 Palette 256", 0},
    {"PngNamedByFormat", "picture.out", "png", "PNG 640 480 Palette 256", 0},
};

class ImageConvertTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ImageConvertTest, WritesWhatImageMagickReads)
{
    if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    const FormatCase& c = GetParam();
    TempFolder dir;
    const QString out = dir.path(QString::fromLatin1(c.out));
    QStringList args{"image", "convert", fullScreenPicture(dir), out};
    if (*c.format) args << "--format" << QString::fromLatin1(c.format);
    const CliRun run = runCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    // A JPEG's colours are not counted: they depend on the encoder's rounding.
    const bool jpeg = QByteArray(c.identified).startsWith("JPEG");
    const QString format = jpeg ? QStringLiteral("%m %w %h %[type]") : QStringLiteral("%m %w %h %[type] %[colors]");
    EXPECT_EQ(identify(format, out).toStdString(), c.identified);
    if (c.bmpBits) {
        EXPECT_EQ(readFile(out).at(28), c.bmpBits);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageConvertTest, ::testing::ValuesIn(kFormatCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ImageConvert, QimIsTheIndicesAndBackAgain)
{
    TempFolder dir;
    const QString in = fullScreenPicture(dir);
    const CliRun toQim = runCli({"image", "convert", in, dir.path("a.qim")});
    ASSERT_EQ(toQim.exitCode, 0) << toQim.err.toStdString();
    EXPECT_EQ(readFile(dir.path("a.qim")), readFile(in));

    // A 24-bit picture cannot become a game image.
    ASSERT_EQ(runCli({"image", "convert", in, dir.path("b.bmp"), "--format", "bmp24"}).exitCode, 0);
    const CliRun refused = runCli({"image", "convert", dir.path("b.bmp"), dir.path("b.qim")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("kestrix-cli: Sorry, only 8bit bitmaps are supported"))
        << refused.err.toStdString();
    EXPECT_FALSE(fileExists(dir.path("b.qim")));
}

struct ErrorCase {
    const char* name;
    std::function<QStringList(const TempFolder&)> args;
    int exitCode;
    const char* errorPart;
};

const ErrorCase kErrorCases[] = {
    {"UnknownFormat",
     [](const TempFolder& d) {
         return QStringList{"image", "convert", fullScreenPicture(d), d.path("x"), "--format", "webp"};
     },
     2, "--format"},
    {"ExtensionNamesNoFormat",
     [](const TempFolder& d) {
         return QStringList{"image", "convert", fullScreenPicture(d), d.path("x.dat")};
     },
     2, "x.dat"},
    {"MissingPaletteFile",
     [](const TempFolder& d) {
         return QStringList{"image", "convert", fullScreenPicture(d), d.path("x.bmp"), "--palette", d.path("none.pal")};
     },
     1, "none.pal"},
    {"NoRuleMatches",
     [](const TempFolder& d) {
         writeFile(d.path("odd.raw"), Bytes(1000, 1));
         return QStringList{"image", "convert", d.path("odd.raw"), d.path("x.bmp")};
     },
     1, "no rule"},
    {"PaletteWithoutFormat",
     [](const TempFolder& d) {
         return QStringList{"palette", "convert", "quarn1", d.path("p.pal")};
     },
     2, "--format"},
    {"PaletteNotAPalette",
     [](const TempFolder& d) {
         writeFile(d.path("bad.pal"), bytesOf("not a palette"));
         return QStringList{"palette", "convert", d.path("bad.pal"), d.path("p.pal"), "--format", "raw"};
     },
     1, "This is neither a RIFF nor RAW palette"},
};

class ConvertErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ConvertErrorTest, ExitsWithTheMessage)
{
    TempFolder dir;
    const CliRun run = runCli(GetParam().args(dir));
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("kestrix-cli: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(GetParam().errorPart)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Errors, ConvertErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const auto& p) { return std::string(p.param.name); });

// RAW 768 bytes, RIFF 1048 bytes, JASC 259 lines: each read back gives the same colours.
TEST(PaletteConvert, WritesTheThreeFormatsOfTheSameColours)
{
    TempFolder dir;
    ASSERT_EQ(runCli({"palette", "convert", "quarn2", dir.path("q.raw"), "--format", "raw"}).exitCode, 0);
    ASSERT_EQ(runCli({"palette", "convert", "quarn2", dir.path("q.riff"), "--format", "riff"}).exitCode, 0);
    ASSERT_EQ(runCli({"palette", "convert", "quarn2", dir.path("q.jasc"), "--format", "jasc"}).exitCode, 0);
    const Bytes raw = readFile(dir.path("q.raw"));
    const Bytes riff = readFile(dir.path("q.riff"));
    ASSERT_EQ(raw.size(), 768u);
    ASSERT_EQ(riff.size(), 1048u);
    EXPECT_EQ(Bytes(riff.begin(), riff.begin() + 4), bytesOf("RIFF"));
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(riff[24 + 4 * i + c], raw[3 * i + c]) << "entry " << i;

    const Bytes jasc = readFile(dir.path("q.jasc"));
    const QStringList lines =
        QString::fromLatin1(reinterpret_cast<const char*>(jasc.data()), static_cast<int>(jasc.size()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 259);
    EXPECT_EQ(lines[0], QStringLiteral("JASC-PAL"));
    EXPECT_EQ(lines[2], QStringLiteral("256"));
    EXPECT_EQ(lines[3 + 255], QStringLiteral("%1 %2 %3").arg(raw[765]).arg(raw[766]).arg(raw[767]));

    // The RIFF file converts back to the same RAW bytes.
    ASSERT_EQ(runCli({"palette", "convert", dir.path("q.riff"), dir.path("back.raw"), "--format", "raw"}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("back.raw")), raw);
    // And differs from the other built-in palette.
    ASSERT_EQ(runCli({"palette", "convert", "quarn1", dir.path("q1.raw"), "--format", "raw"}).exitCode, 0);
    EXPECT_NE(readFile(dir.path("q1.raw")), raw);
}

}  // namespace
