#include "program_icon.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace kestrix {

QIcon ProgramIcon(QChar letter, const QColor& top, const QColor& bottom)
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, size, size);
        gradient.setColorAt(0, top);
        gradient.setColorAt(1, bottom);
        p.setBrush(gradient);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font = QApplication::font();
        font.setPixelSize(size * 3 / 4);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString(letter));
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace kestrix
