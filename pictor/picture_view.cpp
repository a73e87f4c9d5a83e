#include "picture_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "viewer_rules.h"

namespace pictor {

PictureView::PictureView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    fitSize();
}

void PictureView::setImage(const QImage& image)
{
    m_image = image;
    fitSize();
    update();
}

void PictureView::setZoom(int percent)
{
    m_zoom = qMax(1, percent);
    fitSize();
    update();
}

bool PictureView::pixelAt(const QPoint& widgetPoint, QPoint* pixel) const
{
    const QPoint p = PicturePixelAt(widgetPoint, m_zoom);
    if (!m_image.rect().contains(p)) return false;
    *pixel = p;
    return true;
}

QSize PictureView::sizeHint() const
{
    return QSize(static_cast<int>(static_cast<qint64>(m_image.width()) * m_zoom / 100),
                 static_cast<int>(static_cast<qint64>(m_image.height()) * m_zoom / 100));
}

void PictureView::fitSize()
{
    setFixedSize(sizeHint());
}

void PictureView::paintEvent(QPaintEvent* event)
{
    if (m_image.isNull()) return;
    QPainter painter(this);
    // Nearest neighbour: each picture pixel stays a sharp square at any zoom.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(event->rect());
    painter.drawImage(QRect(QPoint(0, 0), sizeHint()), m_image);
}

}  // namespace pictor
