#pragma once

class QWidget;

namespace kestrix {

// Moves `window` so that it stands centred over `owner`'s window (over the screen when `owner` is
// null), kept inside the available area of that screen so that no part of it is out of reach.
void CentreOver(QWidget* window, QWidget* owner);

}  // namespace kestrix
