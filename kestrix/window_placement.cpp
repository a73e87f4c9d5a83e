#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kestrix {

void CentreOver(QWidget* window, QWidget* owner)
{
    QScreen* screen = owner ? owner->window()->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect over = owner ? owner->window()->frameGeometry() : available;
    if (!over.isValid()) return;
    const QSize size = window->frameGeometry().size();
    QPoint topLeft = over.center() - QPoint(size.width() / 2, size.height() / 2);
    if (available.isValid()) {
        topLeft.setX(std::clamp(topLeft.x(), available.left(),
                                std::max(available.left(), available.right() - size.width() + 1)));
        topLeft.setY(std::clamp(topLeft.y(), available.top(),
                                std::max(available.top(), available.bottom() - size.height() + 1)));
    }
    window->move(topLeft);
}

}  // namespace kestrix
