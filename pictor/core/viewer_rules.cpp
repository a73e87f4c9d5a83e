#include "viewer_rules.h"

#include <QFileInfo>

#include <cmath>

namespace pictor {

const char kViewerTitle[] = "Quarn Viewer";

ViewerCommandLine ParseViewerCommandLine(const QStringList& arguments)
{
    ViewerCommandLine r;
    if (arguments.isEmpty()) return r;
    const QString& first = arguments.first();
    if (first == QLatin1String("-dev")) {
        r.developer = true;
        return r;
    }
    if (!first.isEmpty() && QFileInfo(first).isFile()) r.file = first;
    return r;
}

bool IsPaletteFileName(const QString& path)
{
    return path.toLower().endsWith(QLatin1String(".pal"));
}

QString ViewerCaption(const QString& fileName)
{
    return QStringLiteral("%1 - [%2]").arg(QLatin1String(kViewerTitle), fileName);
}

QString PointerText(int x, int y)
{
    return QStringLiteral("X = %1\n\rY = %2").arg(x).arg(y);
}

QRgb InvertedColour(QRgb colour)
{
    return qRgb(255 - qRed(colour), 255 - qGreen(colour), 255 - qBlue(colour));
}

int ZoomIn(int percent)
{
    for (int step : kZoomSteps)
        if (step > percent) return step;
    return std::end(kZoomSteps)[-1];
}

int ZoomOut(int percent)
{
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < percent) return *it;
    return kZoomSteps[0];
}

QPoint PicturePixelAt(const QPoint& viewPoint, int percent)
{
    const double scale = percent / 100.0;
    return QPoint(static_cast<int>(std::floor(viewPoint.x() / scale)),
                  static_cast<int>(std::floor(viewPoint.y() / scale)));
}

QString SizeZoomText(const QSize& size, int percent)
{
    return QStringLiteral("%1 x %2  %3%").arg(size.width()).arg(size.height()).arg(percent);
}

}  // namespace pictor
