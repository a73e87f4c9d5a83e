#pragma once

// A picture shown at a zoom, pixels kept sharp (nearest neighbour). The widget sizes itself to the
// zoomed picture, as the viewer's picture and palette strip do; an empty picture gives an empty
// widget.

#include <QImage>
#include <QWidget>

namespace pictor {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Shows `image` (copied, Qt shares the pixels) at the current zoom.
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // Zoom in percent (see kZoomSteps); values below 1 are taken as 1.
    void setZoom(int percent);
    int zoom() const { return m_zoom; }
    // The picture pixel under a point of this widget; false when the point is outside the picture.
    bool pixelAt(const QPoint& widgetPoint, QPoint* pixel) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitSize();

    QImage m_image;
    int m_zoom = 100;
};

}  // namespace pictor
