#pragma once

#include <QtGlobal>

namespace pictor {

// Game pictures, PCX and TGA files above this many pixels are refused before anything is allocated.
constexpr qint64 kMaxPixels = 64ll * 1000 * 1000;

}  // namespace pictor
