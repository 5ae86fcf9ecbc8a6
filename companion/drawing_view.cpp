#include "companion/drawing_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QWheelEvent>
#include <cmath>

namespace coordconv::companion {
namespace {

constexpr double kPi = 3.14159265358979323846;

// AutoCAD colour index to a colour on the dark background.
QColor IndexColor(int index) {
    switch (index) {
        case 1: return QColor(255, 0, 0);
        case 2: return QColor(255, 255, 0);
        case 3: return QColor(0, 255, 0);
        case 4: return QColor(0, 255, 255);
        case 5: return QColor(0, 0, 255);
        case 6: return QColor(255, 0, 255);
        case 8: return QColor(128, 128, 128);
        case 9: return QColor(192, 192, 192);
        default: break;
    }
    if (index >= 10 && index <= 249) {
        // Hues in steps of 15°, lightness and saturation by the last digit.
        const int hue = ((index - 10) / 10) * 15;
        const int shade = index % 10;
        const int value = 255 - (shade / 2) * 40;
        const int saturation = shade % 2 == 0 ? 255 : 128;
        return QColor::fromHsv(hue % 360, saturation, std::max(value, 60));
    }
    return QColor(255, 255, 255);
}

QColor EntityColor(const CadDrawing& drawing, const EntityAttributes& attributes) {
    if (attributes.color == 256) {
        for (const auto& layer : drawing.layers)
            if (QString::fromStdString(layer.name).compare(QString::fromStdString(attributes.layer),
                                                           Qt::CaseInsensitive) == 0)
                return IndexColor(std::abs(layer.color));
        return IndexColor(7);
    }
    return IndexColor(attributes.color);
}

// The visible text of an MTEXT: paragraph breaks as line ends, formatting
// codes and grouping braces removed.
QString PlainMText(const std::string& text) {
    QString plain = QString::fromStdString(text);
    plain.replace("\\P", "\n");
    plain.remove(QRegularExpression(R"(\\[A-Za-z][^;\\{}]*;)"));
    plain.remove(QRegularExpression(R"(\\[LlOoKk])"));
    plain.remove('{');
    plain.remove('}');
    return plain;
}

}  // namespace

DrawingView::DrawingView(const CadDrawing& drawing, QWidget* parent) : QWidget(parent), drawing_(drawing) {
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setMinimumSize(320, 240);
    setFocusPolicy(Qt::ClickFocus);
}

QPointF DrawingView::ToScreen(double x, double y) const {
    return {width() / 2.0 + (x - centre_.x()) * scale_, height() / 2.0 - (y - centre_.y()) * scale_};
}

QPointF DrawingView::ToWorld(const QPointF& screen) const {
    return {centre_.x() + (screen.x() - width() / 2.0) / scale_, centre_.y() - (screen.y() - height() / 2.0) / scale_};
}

void DrawingView::ZoomExtents() {
    double box[4];
    if (!drawing_.Extents(box)) {
        centre_ = {0, 0};
        scale_ = std::min(width(), height()) / 100.0;
    } else {
        const double w = std::max(box[2] - box[0], 1e-9), h = std::max(box[3] - box[1], 1e-9);
        centre_ = {(box[0] + box[2]) / 2, (box[1] + box[3]) / 2};
        scale_ = 0.85 * std::min(width() / w, height() / h);
        if (box[2] - box[0] < 1e-9 && box[3] - box[1] < 1e-9) scale_ = std::min(width(), height()) / 100.0;
    }
    fitted_ = true;
    update();
}

void DrawingView::BeginPick(std::optional<CadPoint> base) {
    picking_ = true;
    base_ = base;
    update();
}

void DrawingView::EndPick() {
    picking_ = false;
    base_.reset();
    update();
}

void DrawingView::ShowPickedPoint(const CadPoint& point) {
    last_pick_ = point;
    update();
}

void DrawingView::resizeEvent(QResizeEvent*) {
    if (!fitted_) ZoomExtents();
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(33, 40, 48));

    for (const auto& entity : drawing_.entities) {
        const QColor color = EntityColor(drawing_, entity.attributes);
        painter.setPen(QPen(color, 1));
        painter.setBrush(Qt::NoBrush);
        std::visit(
            [&](const auto& s) {
                using T = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<T, PointEntity>) {
                    const QPointF p = ToScreen(s.position.x, s.position.y);
                    painter.drawLine(p + QPointF(-2, 0), p + QPointF(2, 0));
                    painter.drawLine(p + QPointF(0, -2), p + QPointF(0, 2));
                } else if constexpr (std::is_same_v<T, LineEntity>) {
                    painter.drawLine(ToScreen(s.start.x, s.start.y), ToScreen(s.end.x, s.end.y));
                } else if constexpr (std::is_same_v<T, CircleEntity>) {
                    const double r = s.radius * scale_;
                    painter.drawEllipse(ToScreen(s.centre.x, s.centre.y), r, r);
                } else if constexpr (std::is_same_v<T, ArcEntity>) {
                    const double r = s.radius * scale_;
                    const QPointF c = ToScreen(s.centre.x, s.centre.y);
                    double span = std::fmod(s.end_degrees - s.start_degrees, 360.0);
                    if (span <= 0) span += 360;
                    painter.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), static_cast<int>(s.start_degrees * 16),
                                    static_cast<int>(span * 16));
                } else if constexpr (std::is_same_v<T, PolylineEntity>) {
                    QPainterPath path;
                    const std::size_t n = s.vertices.size();
                    if (n == 0) return;
                    path.moveTo(ToScreen(s.vertices[0].x, s.vertices[0].y));
                    const std::size_t segments = s.closed ? n : n - 1;
                    for (std::size_t i = 0; i < segments; ++i) {
                        const auto& a = s.vertices[i];
                        const auto& b = s.vertices[(i + 1) % n];
                        if (std::fabs(a.bulge) < 1e-12) {
                            path.lineTo(ToScreen(b.x, b.y));
                            continue;
                        }
                        // Bulge arc: included angle 4 atan(bulge), drawn in 16 steps.
                        const double angle = 4 * std::atan(a.bulge);
                        const double chord = std::hypot(b.x - a.x, b.y - a.y);
                        const double radius = chord / (2 * std::sin(angle / 2));
                        const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
                        const double offset = radius * std::cos(angle / 2);
                        const double nx = -(b.y - a.y) / chord, ny = (b.x - a.x) / chord;
                        const double cx = mx + nx * offset, cy = my + ny * offset;
                        const double start = std::atan2(a.y - cy, a.x - cx);
                        for (int k = 1; k <= 16; ++k) {
                            const double t = start + angle * k / 16;
                            path.lineTo(ToScreen(cx + std::fabs(radius) * std::cos(t), cy + std::fabs(radius) * std::sin(t)));
                        }
                    }
                    painter.drawPath(path);
                } else if constexpr (std::is_same_v<T, TextEntity> || std::is_same_v<T, MTextEntity>) {
                    const double pixels = s.height * scale_;
                    if (pixels < 1) return;
                    QFont font("WenQuanYi Micro Hei");
                    // CAD text height is the capital height, about 0.72 of the font's em.
                    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels / 0.72))));
                    painter.setFont(font);
                    painter.save();
                    painter.translate(ToScreen(s.insertion.x, s.insertion.y));
                    painter.rotate(-s.rotation_degrees);
                    if constexpr (std::is_same_v<T, TextEntity>) {
                        painter.scale(s.width_factor > 0 ? s.width_factor : 1, 1);
                        painter.drawText(QPointF(0, 0), QString::fromStdString(s.text));
                    } else {
                        const QStringList lines = PlainMText(s.text).split('\n');
                        double y = pixels;
                        for (const auto& line : lines) {
                            painter.drawText(QPointF(0, y), line);
                            y += pixels * 1.667 * s.line_spacing_factor;
                        }
                    }
                    painter.restore();
                } else if constexpr (std::is_same_v<T, HatchEntity>) {
                    QPainterPath path;
                    path.setFillRule(Qt::OddEvenFill);
                    for (const auto& loop : s.loops) {
                        bool first = true;
                        for (const auto& e : loop) {
                            if (e.is_arc) {
                                double span = e.end_degrees - e.start_degrees;
                                if (!e.counter_clockwise) span = -span;
                                for (int k = 0; k <= 32; ++k) {
                                    const double t = (e.start_degrees + span * k / 32) * kPi / 180;
                                    const QPointF p = ToScreen(e.x1 + e.radius * std::cos(t), e.y1 + e.radius * std::sin(t));
                                    if (first) path.moveTo(p), first = false;
                                    else path.lineTo(p);
                                }
                            } else {
                                if (first) path.moveTo(ToScreen(e.x1, e.y1)), first = false;
                                path.lineTo(ToScreen(e.x2, e.y2));
                            }
                        }
                        path.closeSubpath();
                    }
                    painter.fillPath(path, s.solid ? QBrush(color) : QBrush(color, Qt::BDiagPattern));
                }
            },
            entity.shape);
    }

    if (last_pick_) {
        painter.setPen(QPen(QColor(255, 160, 0), 1));
        const QPointF p = ToScreen(last_pick_->x, last_pick_->y);
        painter.drawLine(p + QPointF(-6, -6), p + QPointF(6, 6));
        painter.drawLine(p + QPointF(-6, 6), p + QPointF(6, -6));
    }
    if (picking_ && base_ && rect().contains(cursor_.toPoint())) {
        painter.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
        painter.drawLine(ToScreen(base_->x, base_->y), cursor_);
    }
    if (picking_) {
        painter.setPen(QPen(QColor(255, 200, 0), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const QPointF anchor = ToWorld(event->position());
    const double factor = std::pow(1.2, event->angleDelta().y() / 120.0);
    scale_ = std::clamp(scale_ * factor, 1e-12, 1e12);
    // Keep the drawing point under the cursor where it was.
    centre_ = {anchor.x() - (event->position().x() - width() / 2.0) / scale_,
               anchor.y() + (event->position().y() - height() / 2.0) / scale_};
    update();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton) {
        drag_from_ = event->position();
        dragged_ = false;
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    cursor_ = event->position();
    if (drag_from_) {
        const QPointF delta = event->position() - *drag_from_;
        const bool panning = (event->buttons() & Qt::MiddleButton) || ((event->buttons() & Qt::LeftButton) && !picking_);
        if (panning && (dragged_ || delta.manhattanLength() > 3)) {
            dragged_ = true;
            centre_ -= QPointF(delta.x() / scale_, -delta.y() / scale_);
            drag_from_ = event->position();
        }
    }
    const QPointF world = ToWorld(cursor_);
    emit CursorMoved(world.x(), world.y());
    if (picking_ && base_) update();
    if (dragged_) update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    const bool was_drag = dragged_;
    drag_from_.reset();
    dragged_ = false;
    if (event->button() == Qt::LeftButton && picking_ && !was_drag) {
        const QPointF world = ToWorld(event->position());
        emit PointPicked(world.x(), world.y());
    }
}

}  // namespace coordconv::companion
