#include <QFile>
#include <algorithm>

#include <gtest/gtest.h>

#include "game_image.h"
#include "test_support.h"

using namespace pictor;
using namespace testing_support;

namespace {

// A palette whose entry i is (i, 255 - i, i / 2); entries 200 and 201 share 200's colour.
Palette testPalette()
{
    Palette p;
    for (int i = 0; i < 256; ++i)
        p.setEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                   static_cast<std::uint8_t>(i / 2));
    p.setEntry(201, 200, 55, 100);
    return p;
}

Bytes numbered(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return b;
}

Bytes sprite(int w, int h, const Bytes& pixels)
{
    Bytes b(12 + pixels.size(), 0xEE);
    b[8] = static_cast<std::uint8_t>(w);
    b[9] = static_cast<std::uint8_t>(h);
    std::copy(pixels.begin(), pixels.end(), b.begin() + 12);
    return b;
}

}  // namespace

struct GeometryCase {
    const char* name;
    const char* fileName;
    Bytes content;
    int width, height;
    std::size_t start;
};

class GameImageGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GameImageGeometryTest, SizeAndExtensionRulesPickTheLayout)
{
    const GeometryCase& c = GetParam();
    TempFolder dir;
    writeFile(dir.path(c.fileName), c.content);
    Palette palette = testPalette();
    for (bool dropped : {false, true}) {
        const GameImageLoad r = dropped ? LoadDroppedImage(dir.path(c.fileName), palette, {})
                                        : LoadGameImage(dir.path(c.fileName), palette, {});
        ASSERT_EQ(r.status, GameImageLoad::Status::Loaded) << dropped;
        EXPECT_EQ(r.fileName, QString::fromLatin1(c.fileName));
        if (c.width == 0 || c.height == 0) {
            EXPECT_TRUE(r.image.isNull());
            continue;
        }
        ASSERT_EQ(r.image.size(), QSize(c.width, c.height));
        EXPECT_EQ(r.image.format(), QImage::Format_Indexed8);
        EXPECT_EQ(r.image.colorTable(), palette.colorTable());
        for (int y : {0, c.height - 1}) {
            for (int x : {0, c.width - 1}) {
                const std::size_t at = c.start + static_cast<std::size_t>(y) * c.width + x;
                const int expected = at < c.content.size() ? c.content[at] : 0;
                EXPECT_EQ(r.image.pixelIndex(x, y), dropped && expected == 201 ? 200 : expected) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, GameImageGeometryTest,
    ::testing::Values(GeometryCase{"FullScreenAnyExtension", "a.dat", numbered(307200), 640, 480, 0},
                      GeometryCase{"Square", "b.qim", numbered(65536), 256, 256, 0},
                      GeometryCase{"WideSkipsItsHeader", "c.bin", numbered(131884), 512, 256, 812},
                      GeometryCase{"SpriteUpperCaseExtension", "d.QSR", sprite(3, 2, {10, 11, 12, 13, 14, 15}), 3, 2,
                                   12},
                      GeometryCase{"SpriteMixedCase", "e.Qsp", sprite(4, 3, {201, 1, 2, 3, 4}), 4, 3, 12},
                      GeometryCase{"SpriteOfWidthZeroIsEmpty", "f.qsp", sprite(0, 9, {1, 2}), 0, 9, 12},
                      GeometryCase{"SpriteHeaderCutShort", "g.qsp", Bytes{1, 2, 3}, 0, 0, 12},
                      GeometryCase{"SizeRuleWinsOverSpriteHeader", "h.qsp", numbered(65536), 256, 256, 0}),
    [](const ::testing::TestParamInfo<GeometryCase>& param) { return std::string(param.param.name); });

TEST(GameImageTest, SpriteTopRowHoldsTheFirstIndexes)
{
    TempFolder dir;
    writeFile(dir.path("s.qsr"), sprite(3, 2, {10, 11, 12, 13, 14, 15}));
    Palette palette = testPalette();
    const GameImageLoad r = LoadGameImage(dir.path("s.qsr"), palette, {});
    ASSERT_EQ(r.image.size(), QSize(3, 2));
    EXPECT_EQ(r.image.pixelIndex(0, 0), 10);
    EXPECT_EQ(r.image.pixelIndex(2, 0), 12);
    EXPECT_EQ(r.image.pixelIndex(0, 1), 13);
    EXPECT_EQ(r.image.pixel(1, 0), palette.rgb(11));
    EXPECT_EQ(dimensionText(r.image), QString("X : 3\n\rY : 2"));
}

TEST(GameImageTest, FilesMatchingNoRuleAndMissingFiles)
{
    TempFolder dir;
    writeFile(dir.path("x.qim"), Bytes(1000, 1));  // ".qim" alone is no rule
    Palette palette = testPalette();
    EXPECT_EQ(LoadGameImage(dir.path("x.qim"), palette, {}).status, GameImageLoad::Status::NoRule);
    EXPECT_EQ(LoadDroppedImage(dir.path("x.qim"), palette, {}).status, GameImageLoad::Status::NoRule);
    EXPECT_EQ(LoadGameImage(dir.path("none.qim"), palette, {}).status, GameImageLoad::Status::Nothing);
    EXPECT_EQ(LoadGameImage(QString(), palette, {}).status, GameImageLoad::Status::Nothing);
    EXPECT_EQ(LoadGameImage(dir.path(), palette, {}).status, GameImageLoad::Status::Nothing);  // a folder
}

TEST(GameImageTest, CustomLayoutWinsAndBoundsAreEnforced)
{
    TempFolder dir;
    writeFile(dir.path("raw.bin"), numbered(100));
    Palette palette = testPalette();
    CustomLayout layout;
    layout.custom = true;
    layout.width = 8;
    layout.height = 20;  // more rows than the file holds: the rest is 0
    layout.begin = 4;
    GameImageLoad r = LoadGameImage(dir.path("raw.bin"), palette, layout);
    ASSERT_EQ(r.image.size(), QSize(8, 20));
    EXPECT_EQ(r.image.pixelIndex(0, 0), numbered(100)[4]);
    EXPECT_EQ(r.image.pixelIndex(7, 11), numbered(100)[4 + 95]);
    EXPECT_EQ(r.image.pixelIndex(0, 12), 0);

    // The colour path with custom dimensions keeps 24-bit colours.
    r = LoadDroppedImage(dir.path("raw.bin"), palette, layout);
    EXPECT_EQ(r.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(r.image.pixel(0, 0), palette.rgb(numbered(100)[4]));

    struct Bound {
        int width, height;
        bool dropped;
        bool ok;
    };
    for (const Bound& b : {Bound{32768, 1, false, true}, Bound{32769, 1, false, false}, Bound{10922, 1, true, true},
                           Bound{10923, 1, true, false}, Bound{9000, 8000, false, false}}) {
        layout.width = b.width;
        layout.height = b.height;
        r = b.dropped ? LoadDroppedImage(dir.path("raw.bin"), palette, layout)
                      : LoadGameImage(dir.path("raw.bin"), palette, layout);
        EXPECT_EQ(r.status == GameImageLoad::Status::Loaded, b.ok) << b.width << "x" << b.height;
        if (!b.ok) {
            EXPECT_TRUE(r.error.startsWith(dir.path("raw.bin"))) << r.error.toStdString();
        }
    }
}

TEST(GameImageTest, BreakIndexLineCoding)
{
    TempFolder dir;
    // From the start offset 2: pixels 1 and 2, a break (255) to x = 5 on the next line, pixel 3.
    writeFile(dir.path("iso.bin"), Bytes{9, 9, 1, 2, 255, 5, 3});
    Palette palette = testPalette();
    CustomLayout layout;
    layout.custom = true;
    layout.width = 8;
    layout.height = 8;
    layout.begin = 2;
    layout.breakIndex = true;
    layout.breakFirst = 255;
    layout.breakLast = 255;
    layout.background = palette.rgb(77);

    const GameImageLoad indexed = LoadGameImage(dir.path("iso.bin"), palette, layout);
    ASSERT_EQ(indexed.image.size(), QSize(8, 8));
    EXPECT_EQ(indexed.image.pixelIndex(0, 0), 1);
    EXPECT_EQ(indexed.image.pixelIndex(1, 0), 2);
    EXPECT_EQ(indexed.image.pixelIndex(5, 1), 3);
    EXPECT_EQ(indexed.image.pixelIndex(2, 0), 77);
    EXPECT_EQ(indexed.image.pixelIndex(7, 7), 77);

    const GameImageLoad coloured = LoadDroppedImage(dir.path("iso.bin"), palette, layout);
    EXPECT_EQ(coloured.image.pixel(1, 0), palette.rgb(2));
    EXPECT_EQ(coloured.image.pixel(5, 1), palette.rgb(3));
    EXPECT_EQ(coloured.image.pixel(4, 1), palette.rgb(77));

    // An empty band (end below start) breaks nowhere: every byte is a pixel on line 0.
    layout.breakFirst = 10;
    layout.breakLast = 5;
    const GameImageLoad noBand = LoadGameImage(dir.path("iso.bin"), palette, layout);
    EXPECT_EQ(noBand.image.pixelIndex(2, 0), 255);
    EXPECT_EQ(noBand.image.pixelIndex(4, 0), 3);
}

TEST(GameImageTest, BatchFilesLoadTheirPaletteThenThePicture)
{
    TempFolder dir;
    Palette batchPalette;
    for (int i = 0; i < 256; ++i) batchPalette.setEntry(i, 9, static_cast<std::uint8_t>(i), 9);
    const QByteArray raw = batchPalette.toRaw();
    writeFile(dir.path("img5.pal"), Bytes(raw.begin(), raw.end()));
    writeFile(dir.path("img4.qim"), numbered(65536));
    writeFile(dir.path("img4.qbc"), bytesOf("img5.pal\r\nimg4.qim\r\n"));
    Palette palette = testPalette();
    GameImageLoad r = LoadGameImage(dir.path("img4.qbc"), palette, {});
    ASSERT_EQ(r.status, GameImageLoad::Status::Loaded);
    EXPECT_TRUE(r.paletteLoaded);
    EXPECT_EQ(palette, batchPalette);
    EXPECT_EQ(r.image.pixel(1, 0), batchPalette.rgb(numbered(65536)[1]));
    EXPECT_EQ(r.fileName, QString("img4.qim"));

    // A missing palette stops the batch silently; a single line names no picture.
    writeFile(dir.path("nopal.qbc"), bytesOf("none.pal\r\nimg4.qim\r\n"));
    EXPECT_EQ(LoadGameImage(dir.path("nopal.qbc"), palette, {}).status, GameImageLoad::Status::Nothing);
    writeFile(dir.path("one.qbc"), bytesOf("img5.pal"));
    EXPECT_EQ(LoadGameImage(dir.path("one.qbc"), palette, {}).status, GameImageLoad::Status::Nothing);
    // An invalid palette stops it with the palette's message.
    writeFile(dir.path("bad.pal"), bytesOf("not a palette"));
    writeFile(dir.path("badpal.qbc"), bytesOf("bad.pal\r\nimg4.qim\r\n"));
    r = LoadGameImage(dir.path("badpal.qbc"), palette, {});
    EXPECT_EQ(r.status, GameImageLoad::Status::Error);
    EXPECT_EQ(r.error, QString("This is neither a RIFF nor RAW palette"));

    // Batch files naming batch files: four levels are followed, a fifth is refused.
    for (int level = 1; level <= 5; ++level) {
        const QString next = level == 1 ? QStringLiteral("img4.qim") : QStringLiteral("n%1.qbc").arg(level - 1);
        writeFile(dir.path(QStringLiteral("n%1.qbc").arg(level)),
                  bytesOf(("img5.pal\r\n" + next + "\r\n").toStdString()));
    }
    EXPECT_EQ(LoadGameImage(dir.path("n4.qbc"), palette, {}).status, GameImageLoad::Status::Loaded);
    r = LoadGameImage(dir.path("n5.qbc"), palette, {});
    EXPECT_EQ(r.status, GameImageLoad::Status::Error);
    EXPECT_EQ(r.error, dir.path("n1.qbc") + ": batch files nested too deeply");
    // A dropped batch file is not run: it is taken as a picture file (and matches no rule here).
    EXPECT_EQ(LoadDroppedImage(dir.path("img4.qbc"), palette, {}).status, GameImageLoad::Status::NoRule);
}
