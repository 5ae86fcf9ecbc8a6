// The drawing area of coordconv-cad: model space on a dark background,
// y up. Wheel zooms about the cursor, a drag with the middle button (or the
// left button when no pick is asked) pans. While a point is asked, a left
// click picks it and a rubber-band line follows the cursor from the base point.
#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

#include "companion/cad_drawing.h"

namespace coordconv::companion {

class DrawingView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingView(const CadDrawing& drawing, QWidget* parent = nullptr);

    // Fits the whole drawing into the view.
    void ZoomExtents();
    // Picking mode: clicks give points; `base` draws the rubber band.
    void BeginPick(std::optional<CadPoint> base);
    void EndPick();
    // Marks a point picked by a script, as a short cross.
    void ShowPickedPoint(const CadPoint& point);

    QPointF ToWorld(const QPointF& screen) const;
    QPointF ToScreen(double x, double y) const;

signals:
    void PointPicked(double x, double y);
    void CursorMoved(double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const CadDrawing& drawing_;
    double scale_ = 1;           // pixels per drawing unit
    QPointF centre_{0, 0};       // drawing point at the middle of the view
    bool fitted_ = false;
    bool picking_ = false;
    std::optional<CadPoint> base_;
    std::optional<CadPoint> last_pick_;
    QPointF cursor_;
    std::optional<QPointF> drag_from_;
    bool dragged_ = false;
};

}  // namespace coordconv::companion
