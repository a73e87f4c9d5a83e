#pragma once

// The look both windows of the text viewer share: the gradient caption strip, the highlight
// colours of a selected cell or frame item, and the fixed-pitch font.

#include <QColor>
#include <QFont>

class QLabel;

namespace tessel {

// A selected Text cell and the frame item under the focus: blue-violet with aqua text.
inline const QColor kHighlightColour(0x7B, 0x7B, 0xFF);
inline const QColor kHighlightTextColour(0x00, 0xFF, 0xFF);

// Gives `strip` the caption look: a gradient from light blue-violet to black, the caption in bold
// aqua; while its window is inactive the caption is pale violet.
void StyleCaptionStrip(QLabel* strip, bool active);

// The system's fixed-pitch font at `pixels` pixels.
QFont FixedFont(int pixels);

}  // namespace tessel
