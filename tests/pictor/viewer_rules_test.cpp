#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "viewer_rules.h"

using namespace pictor;

TEST(ViewerRulesTest, CommandLineTakesTheFirstArgumentOnly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pic.qim"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct Case {
        QStringList arguments;
        bool developer;
        QString file;
    };
    const Case cases[] = {
        {{}, false, {}},
        {{QStringLiteral("-dev")}, true, {}},
        {{QStringLiteral("-DEV")}, false, {}},  // the switch is exact
        {{QStringLiteral("-dev"), file}, true, {}},
        {{file}, false, file},
        {{file, QStringLiteral("-dev")}, false, file},  // only the first argument counts
        {{dir.path()}, false, {}},                      // a folder is no file
        {{dir.filePath(QStringLiteral("missing.qim"))}, false, {}},
        {{QString()}, false, {}},
    };
    for (const Case& c : cases) {
        const ViewerCommandLine r = ParseViewerCommandLine(c.arguments);
        EXPECT_EQ(r.developer, c.developer) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(r.file, c.file) << c.arguments.join(u' ').toStdString();
    }
}

TEST(ViewerRulesTest, PaletteNamesByLowerCaseExtension)
{
    EXPECT_TRUE(IsPaletteFileName(QStringLiteral("/a/b/GAME.PAL")));
    EXPECT_TRUE(IsPaletteFileName(QStringLiteral("x.Pal")));
    EXPECT_FALSE(IsPaletteFileName(QStringLiteral("x.pal.qim")));
    EXPECT_FALSE(IsPaletteFileName(QStringLiteral("/folder.pal/x")));
    EXPECT_FALSE(IsPaletteFileName(QStringLiteral("xpal")));
}

TEST(ViewerRulesTest, TextsOfCaptionReadoutAndPanel)
{
    EXPECT_EQ(ViewerCaption(QStringLiteral("a.qsp")), QStringLiteral("Quarn Viewer - [a.qsp]"));
    EXPECT_EQ(PointerText(12, 0), QStringLiteral("X = 12\n\rY = 0"));
    EXPECT_EQ(SizeZoomText(QSize(640, 480), 200), QStringLiteral("640 x 480  200%"));
    EXPECT_EQ(InvertedColour(qRgb(255, 0, 128)), qRgb(0, 255, 127));
    EXPECT_EQ(InvertedColour(qRgba(0, 0, 0, 0)), qRgb(255, 255, 255));
}

TEST(ViewerRulesTest, ZoomStepsAndTheirEnds)
{
    struct Case {
        int from, in, out;
    };
    const Case cases[] = {
        {100, 200, 50}, {25, 50, 25}, {1600, 1600, 1200}, {150, 200, 100}, {10, 25, 25}, {5000, 1600, 1600},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoomIn(c.from), c.in) << c.from;
        EXPECT_EQ(ZoomOut(c.from), c.out) << c.from;
    }
}

TEST(ViewerRulesTest, PicturePixelUnderAZoomedPoint)
{
    EXPECT_EQ(PicturePixelAt(QPoint(7, 3), 100), QPoint(7, 3));
    EXPECT_EQ(PicturePixelAt(QPoint(7, 3), 400), QPoint(1, 0));
    EXPECT_EQ(PicturePixelAt(QPoint(8, 4), 400), QPoint(2, 1));
    EXPECT_EQ(PicturePixelAt(QPoint(7, 3), 50), QPoint(14, 6));
    EXPECT_EQ(PicturePixelAt(QPoint(-1, 0), 200), QPoint(-1, 0));
}
