#pragma once

#include <QChar>
#include <QColor>
#include <QIcon>

namespace kestrix {

// A program's icon, drawn so that it needs no file: a rounded square in a diagonal gradient from
// `top` to `bottom` with `letter` in white, at 16, 32, 48 and 64 pixels.
QIcon ProgramIcon(QChar letter, const QColor& top, const QColor& bottom);

}  // namespace kestrix
