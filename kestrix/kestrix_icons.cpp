#include "kestrix_icons.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "explorer_listing.h"
#include "program_icon.h"

namespace kestrix {
namespace {

// A 16 x 16 document with a coloured band and a letter: the archive kinds.
QIcon archiveIcon(const QColor& band, QChar letter)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.fillRect(QRectF(2, 2, 12, 5), band);
    QFont font = QApplication::font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(2, 6, 12, 9), Qt::AlignCenter, QString(letter));
    return QIcon(pixmap);
}

QIcon standard(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which);
}

}  // namespace

QIcon ExplorerIcon(ExplorerImage image)
{
    switch (image) {
    case ExplorerImage::Speech:
        return archiveIcon(QColor(40, 150, 60), QLatin1Char('V'));
    case ExplorerImage::Island:
        return archiveIcon(QColor(220, 130, 20), QLatin1Char('I'));
    case ExplorerImage::IslandObject:
        return archiveIcon(QColor(130, 60, 170), QLatin1Char('O'));
    case ExplorerImage::Folder:
        return standard(QStyle::SP_DirIcon);
    case ExplorerImage::Favourite:
        return standard(QStyle::SP_DirLinkIcon);
    case ExplorerImage::Archive:
        break;
    }
    return archiveIcon(QColor(30, 80, 190), QLatin1Char('H'));
}

QIcon KestrixIcon()
{
    return ProgramIcon(QLatin1Char('K'), QColor(0, 0, 128), QColor(16, 132, 208));
}

QIcon ToolBarMarkIcon(bool shown)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(70, 70, 70));
    p.setBrush(shown ? QColor(16, 132, 208) : QColor(235, 235, 235));
    p.drawRect(QRectF(2.5, 4.5, 11, 7));
    return QIcon(pixmap);
}

}  // namespace kestrix
