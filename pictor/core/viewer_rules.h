#pragma once

// The image viewer's small rules that its window follows: the command line, which names are
// palettes, the caption, the readout texts and the zoom steps. QtCore/QtGui only.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace pictor {

// The program's title, the caption while no file is shown.
extern const char kViewerTitle[];  // "Quarn Viewer"

// What the first argument of the command line asks for; later arguments are not used.
struct ViewerCommandLine {
    bool developer = false;  // exactly "-dev" (case-sensitive): the Developer tool bar is shown
    QString file;            // an existing file (not a folder), as given; empty otherwise
};
// Reads the first argument of `arguments` (the command line without the program's name).
ViewerCommandLine ParseViewerCommandLine(const QStringList& arguments);

// Whether `path` names a palette by its extension (".pal", compared in lower case).
bool IsPaletteFileName(const QString& path);

// "Quarn Viewer - [name]" for a file name without folder.
QString ViewerCaption(const QString& fileName);

// "X = x" line feed, carriage return, "Y = y": the pointer's picture pixel.
QString PointerText(int x, int y);

// The colour with all 24 colour bits inverted (alpha kept opaque): the readout's text colour.
QRgb InvertedColour(QRgb colour);

// Zoom in percent. The steps run from 25 % to 1600 %; 100 % shows one picture pixel a screen pixel.
inline constexpr int kZoomSteps[] = {25, 50, 100, 200, 300, 400, 600, 800, 1200, 1600};
inline constexpr int kNoZoom = 100;
// The next step above / below `percent` (a value between steps goes to the neighbouring step);
// the largest and smallest steps stay where they are.
int ZoomIn(int percent);
int ZoomOut(int percent);

// The picture pixel under a point of the zoomed view (floor of point / zoom); no clamping.
QPoint PicturePixelAt(const QPoint& viewPoint, int percent);

// The size and zoom panel: "640 x 480  200%".
QString SizeZoomText(const QSize& size, int percent);

}  // namespace pictor
