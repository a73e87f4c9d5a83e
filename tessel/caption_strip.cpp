#include "caption_strip.h"

#include <QFontDatabase>
#include <QLabel>

namespace tessel {

void StyleCaptionStrip(QLabel* strip, bool active)
{
    strip->setStyleSheet(QStringLiteral("QLabel { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                                        "stop:0 #8080FF, stop:1 #000000); color: %1; font-weight: bold; "
                                        "padding-left: 4px; }")
                             .arg(active ? QStringLiteral("#00FFFF") : QStringLiteral("#B5B5FF")));
    strip->setMinimumHeight(20);
}

QFont FixedFont(int pixels)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace tessel
