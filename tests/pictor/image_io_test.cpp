// Every prefix of a valid PCX or TGA file, and Qt's image I/O using our codecs.

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

// ---- Every prefix of a valid file: refused or decoded, never a read outside the data ----

struct SweepCase {
    const char* name;
    Kind kind;
    std::function<QByteArray()> file;
};

class TruncationSweepTest : public ::testing::TestWithParam<SweepCase> {};

TEST_P(TruncationSweepTest, EveryPrefixFailsOrDecodesCleanly)
{
    const SweepCase& c = GetParam();
    const QByteArray full = c.file();
    QImage whole;
    QString error;
    ASSERT_TRUE(load(c.kind, full, &whole, &error)) << error.toStdString();
    const Indices wholeIndices = indicesOf(whole);
    for (qsizetype n = 0; n < full.size(); ++n) {
        QImage image;
        error.clear();
        const bool loaded = load(c.kind, full.left(n), &image, &error);
        if (c.kind == Kind::Tga) {
            // Every pixel is needed; a footer after them is not.
            if (n < 786 + whole.width() * whole.height()) {
                ASSERT_FALSE(loaded) << "prefix " << n;
                ASSERT_FALSE(error.isEmpty()) << "prefix " << n;
            } else {
                ASSERT_TRUE(loaded) << "prefix " << n << ": " << error.toStdString();
                ASSERT_EQ(indicesOf(image), wholeIndices) << "prefix " << n;
            }
            continue;
        }
        // PCX: refused until the header holds its sizes, then shown with what is there.
        if (n < 68) {
            ASSERT_FALSE(loaded) << "prefix " << n;
            ASSERT_EQ(error, QString::fromLatin1(pictor::kPcxRefusal));
            continue;
        }
        ASSERT_TRUE(loaded) << "prefix " << n;
        ASSERT_EQ(image.size(), whole.size()) << "prefix " << n;
        const Indices got = indicesOf(image);
        // Missing bytes read as 0: a 256-colour pixel is whole or 0; a 16-colour pixel keeps the
        // bits of the planes that arrived, so it holds no bit that the whole file's pixel lacks.
        const bool planar = whole.colorCount() == 16;
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (planar)
                ASSERT_EQ(got[i] & ~wholeIndices[i], 0) << "prefix " << n << " pixel " << i;
            else
                ASSERT_TRUE(got[i] == wholeIndices[i] || got[i] == 0) << "prefix " << n << " pixel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, TruncationSweepTest,
    ::testing::Values(
        SweepCase{"MagickPcx", Kind::Pcx, [] { return readFixture(QStringLiteral("im_5x3.pcx")); }},
        SweepCase{"Pcx16", Kind::Pcx, [] { return makePcx16(19, 3, patternIndices(57, 16, 2), palette16()); }},
        SweepCase{"PillowTga", Kind::Tga, [] { return readFixture(QStringLiteral("pil_5x3_topleft.tga")); }},
        SweepCase{"OurTga", Kind::Tga,
                  [] {
                      return makeTga(3, 2, bytes({1, 2, 3, 4, 5, 6}), 0);
                  }}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- Qt's image I/O uses our codecs ----

TEST(ImageFormats, AreRegisteredForReadingAndTgaForWriting)
{
    pictor::registerImageFormats();
    pictor::registerImageFormats();  // a second call changes nothing
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    EXPECT_TRUE(readable.contains("pcx"));
    EXPECT_TRUE(readable.contains("tga"));
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    EXPECT_TRUE(writable.contains("tga"));
    EXPECT_FALSE(writable.contains("pcx"));
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains("image/x-tga"));
    EXPECT_EQ(readable.count("tga"), 1);
    EXPECT_EQ(pictor::imageFormatDescription("pcx"), QStringLiteral("PCX-Format"));
    EXPECT_EQ(pictor::imageFormatDescription("tga"), QStringLiteral("Targa image"));
}

struct ReaderCase {
    const char* name;
    const char* file;
    Kind kind;
    const char* format;
};

class ImageReaderTest : public ::testing::TestWithParam<ReaderCase> {
protected:
    void SetUp() override { pictor::registerImageFormats(); }
};

TEST_P(ImageReaderTest, BySuffixAndByContentGivesWhatOurReaderGives)
{
    const ReaderCase& c = GetParam();
    const QByteArray data = readFixture(QString::fromLatin1(c.file));
    QImage ours;
    QString error;
    ASSERT_TRUE(load(c.kind, data, &ours, &error)) << error.toStdString();

    // format() asks the handler, which looks at the header: ask before reading.
    QImageReader bySuffix(fixturePath(QString::fromLatin1(c.file)));
    EXPECT_EQ(bySuffix.format(), QByteArray(c.format));
    const QImage viaSuffix = bySuffix.read();
    EXPECT_EQ(viaSuffix, ours) << bySuffix.errorString().toStdString();

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader byContent(&buffer);
    EXPECT_EQ(byContent.format(), QByteArray(c.format));
    const QImage viaContent = byContent.read();
    EXPECT_EQ(viaContent, ours);

    QImage viaLoad;
    EXPECT_TRUE(viaLoad.load(fixturePath(QString::fromLatin1(c.file))));
    EXPECT_EQ(viaLoad, ours);
}

INSTANTIATE_TEST_SUITE_P(Files, ImageReaderTest,
                         ::testing::Values(ReaderCase{"MagickPcx", "im_5x3.pcx", Kind::Pcx, "pcx"},
                                           ReaderCase{"PillowPcx", "pil_5x3.pcx", Kind::Pcx, "pcx"},
                                           ReaderCase{"MagickTga", "im_16x16.tga", Kind::Tga, "tga"},
                                           ReaderCase{"PillowTgaTopDownWithFooter", "pil_5x3_topleft.tga", Kind::Tga,
                                                      "tga"}),
                         [](const auto& p) { return std::string(p.param.name); });

// Files that other readers would show but ours refuses: the reader Qt picks must refuse them too.
TEST(ImageFormats, QtRefusesWhatOurReadersRefuse)
{
    pictor::registerImageFormats();
    for (const char* file : {"im_4colours_5x3.tga", "pil_rle_5x3.tga", "pil_1bit_11x2.pcx", "im_truecolor_4x2.pcx"}) {
        QImageReader reader(fixturePath(QString::fromLatin1(file)));
        EXPECT_TRUE(reader.read().isNull()) << file;
    }
}

TEST(ImageFormats, WriterWritesOurTga)
{
    pictor::registerImageFormats();
    const QImage image = indexedImage(3, 2, {1, 2, 3, 4, 5, 6}, distinctColours());
    QByteArray expected;
    QString error;
    ASSERT_TRUE(pictor::saveTga(image, &expected, &error));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tga");
    ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    EXPECT_EQ(buffer.data(), expected);
}
