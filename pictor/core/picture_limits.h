#pragma once

#include <QtGlobal>

namespace pictor {

// Pictures above this many pixels are refused before anything is allocated for them: game pictures,
// PCX, TGA, GIF and JPEG alike.
constexpr qint64 kMaxPixels = 64ll * 1000 * 1000;

}  // namespace pictor
