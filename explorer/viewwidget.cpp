#include "viewwidget.h"

#include "massframe.h"
#include "pendingpattern.h"

#include "picture/surface.h"
#include "scene/text.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRubberBand>

#include <cmath>

namespace {

/// How near the cursor must come to a mass to take its handle, in logical pixels.
constexpr double handleReach = 8;

QString outcomeText(const ProbedTrajectory &t)
{
    if (t.outcome == 0)
        return QStringLiteral("never captured; ended after %1 steps").arg(t.steps);
    return QStringLiteral("captured by mass %1 at step %2")
        .arg(QLatin1String(massWord(t.outcome)))
        .arg(t.steps);
}

/// The pending pattern as a brush's tile.
QImage pendingTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int j = 0; j < tile.height(); ++j) {
        for (int i = 0; i < tile.width(); ++i)
            tile.setPixel(i, j, pendingColour(i, j));
    }
    return tile;
}

} // namespace

ViewWidget::ViewWidget(QWidget *parent)
    : QWidget(parent), band_(new QRubberBand(QRubberBand::Rectangle, this))
{
    setObjectName(QStringLiteral("view"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(64, 64);
    connect(&probe_, &TrajectoryProbe::ready, this, [this](const ProbedTrajectory &t) {
        trajectory_ = t;
        emit trajectoryShown(QStringLiteral("Trajectory from (%1, %2): %3")
                                 .arg(t.start.x(), 0, 'g', 9)
                                 .arg(t.start.y(), 0, 'g', 12)
                                 .arg(outcomeText(t)));
        update();
    });
}

QSize ViewWidget::deviceSize() const
{
    const double ratio = devicePixelRatioF();
    return QSize(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
}

QPointF ViewWidget::toDevice(QPointF logical) const
{
    return logical * devicePixelRatioF();
}

QPointF ViewWidget::toLogical(QPointF device) const
{
    return device / devicePixelRatioF();
}

void ViewWidget::setView(const Viewport &view)
{
    view_ = view;
    trajectory_.reset();
    update();
}

void ViewWidget::setScene(const Scene &scene)
{
    // Another scene's outcomes are no picture of this one: pending until its first pass.
    if (!scene.sameOutcomes(scene_))
        image_ = QImage();
    scene_ = scene;
    trajectory_.reset();
    update();
}

void ViewWidget::showPass(const PassResult &result)
{
    image_ = result.image;
    imageView_ = result.view;
    update();
}

void ViewWidget::zoomBy(double factor)
{
    emit viewWanted(view_.zoomed(QPointF(view_.size.width() / 2, view_.size.height() / 2),
                                 factor));
}

void ViewWidget::panBy(int di, int dj)
{
    emit viewWanted(view_.panned(di, dj));
}

void ViewWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (image_.isNull())
        painter.fillRect(rect(), QBrush(pendingTile()));
    else
        painter.fillRect(rect(), QColor(toRgb(scene_.background)));
    if (!image_.isNull()) {
        const double ratio = devicePixelRatioF();
        if (imageView_ == view_ && imageView_.size == image_.size()) {
            QImage shown = image_;
            shown.setDevicePixelRatio(ratio);
            painter.drawImage(QPointF(0, 0), shown);
        } else {
            // An older picture, scaled and moved to where its points lie now, until the passes
            // of this viewport land.
            const double scale = imageView_.spacing / view_.spacing;
            const QRectF whole(view_.device(QPointF(imageView_.x, imageView_.y)),
                               QSizeF(image_.size()) * scale);
            // Only the part in sight: deep in a zoom the whole would be vast.
            const QRectF shown = whole.intersected(QRectF(QPointF(0, 0), QSizeF(view_.size)));
            if (!shown.isEmpty()) {
                const QRectF source((shown.topLeft() - whole.topLeft()) / scale,
                                    shown.size() / scale);
                painter.drawImage(QRectF(toLogical(shown.topLeft()), shown.size() / ratio), image_,
                                  source);
            }
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintHandles(painter);
    paintTrajectory(painter);
}

void ViewWidget::paintHandles(QPainter &painter) const
{
    const TrajectoryParameters &p = scene_.trajectory;
    const auto handle = [&](int x, int y, int radius, std::int32_t colour) {
        const QPointF centre = toLogical(view_.device(QPointF(x, y)));
        const double r = radius / view_.spacing / devicePixelRatioF();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 3));
        painter.drawEllipse(centre, r, r);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawEllipse(centre, r, r);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(toRgb(colour)));
        painter.drawEllipse(centre, 5, 5);
    };
    for (std::size_t k = 0; k < p.masses.size(); ++k) {
        handle(p.masses[k].x, p.masses[k].y, p.masses[k].radius, scene_.colours[k]);
        paintArrow(painter, toLogical(view_.device(QPointF(p.masses[k].x, p.masses[k].y))),
                   scene_.colours[k]);
    }
}

void ViewWidget::paintArrow(QPainter &painter, QPointF mass, std::int32_t colour) const
{
    const std::optional<QPointF> at = edgeArrow(QRectF(rect()), mass, 14);
    if (!at)
        return;
    // A triangle at the edge, its tip toward the mass.
    const QPointF d = mass - *at;
    const QPointF along = d / std::hypot(d.x(), d.y());
    const QPointF across(-along.y(), along.x());
    const QPolygonF arrow{*at + along * 10, *at - along * 6 + across * 8,
                          *at - along * 6 - across * 8};
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(toRgb(colour)));
    painter.drawPolygon(arrow);
}

void ViewWidget::paintTrajectory(QPainter &painter) const
{
    if (!trajectory_ || trajectory_->path.isEmpty())
        return;
    QPainterPath path(toLogical(view_.device(trajectory_->path.front())));
    for (const QPointF &p : trajectory_->path)
        path.lineTo(toLogical(view_.device(p)));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 160, 0), 1.5));
    painter.drawPath(path);
    for (const QPointF &p : trajectory_->path)
        painter.fillRect(QRectF(toLogical(view_.device(p)) - QPointF(1.5, 1.5), QSizeF(3, 3)),
                         QColor(0, 110, 0));
    const QPointF start = toLogical(view_.device(trajectory_->start));
    const QString text = outcomeText(*trajectory_);
    const QRectF box = painter.boundingRect(QRectF(start + QPointF(12, 12), QSizeF(400, 40)),
                                            Qt::AlignLeft | Qt::AlignTop, text)
                           .adjusted(-4, -2, 4, 2);
    painter.fillRect(box, QColor(255, 255, 255, 220));
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
}

void ViewWidget::resizeEvent(QResizeEvent *)
{
    emit deviceSizeChanged(deviceSize());
}

int ViewWidget::handleAt(QPointF logical) const
{
    const TrajectoryParameters &p = scene_.trajectory;
    const auto distance = [&](int x, int y) {
        const QPointF d = toLogical(view_.device(QPointF(x, y))) - logical;
        return std::hypot(d.x(), d.y());
    };
    int nearest = 0;
    double nearestDistance = handleReach;
    for (std::size_t k = 0; k < p.masses.size(); ++k) {
        const double d = distance(p.masses[k].x, p.masses[k].y);
        if (d <= nearestDistance) {
            nearest = int(k) + 1;
            nearestDistance = d;
        }
    }
    return nearest;
}

void ViewWidget::mousePressEvent(QMouseEvent *event)
{
    dragStart_ = event->position();
    dragView_ = view_;
    const bool band = event->button() == Qt::RightButton ||
                      (event->button() == Qt::LeftButton &&
                       (event->modifiers() & Qt::ControlModifier));
    if (band) {
        drag_ = Drag::band;
        band_->setGeometry(QRect(dragStart_.toPoint(), QSize()));
        band_->show();
    } else if (event->button() == Qt::LeftButton) {
        draggedMass_ = handleAt(event->position());
        drag_ = draggedMass_ > 0 ? Drag::mass : Drag::pan;
        if (drag_ == Drag::pan)
            setCursor(Qt::ClosedHandCursor);
    }
}

void ViewWidget::mouseMoveEvent(QMouseEvent *event)
{
    cursor_ = event->position();
    const QPointF device = toDevice(cursor_);
    emit cursorMoved(view_.plane(QPointF(std::floor(device.x()), std::floor(device.y()))));
    switch (drag_) {
    case Drag::pan: {
        const QPointF moved = toDevice(cursor_ - dragStart_);
        const Viewport v =
            dragView_.panned(-int(std::lround(moved.x())), -int(std::lround(moved.y())));
        if (v != view_)
            emit viewWanted(v);
        break;
    }
    case Drag::band:
        band_->setGeometry(QRectF(dragStart_, cursor_).normalized().toRect());
        break;
    case Drag::mass: {
        const QPointF p = view_.plane(device);
        emit massMoved(draggedMass_, QPoint(int(std::lround(p.x())), int(std::lround(p.y()))));
        break;
    }
    case Drag::none:
        setCursor(handleAt(cursor_) ? Qt::OpenHandCursor : Qt::CrossCursor);
        break;
    }
    if (event->modifiers() & Qt::ShiftModifier)
        probeAt(cursor_);
}

void ViewWidget::mouseReleaseEvent(QMouseEvent *)
{
    if (drag_ == Drag::band) {
        band_->hide();
        const QRectF box = QRectF(toDevice(dragStart_), toDevice(cursor_)).normalized();
        if (box.width() >= 4 && box.height() >= 4) {
            const QRectF plane(view_.plane(box.topLeft()), view_.plane(box.bottomRight()));
            emit viewWanted(Viewport::fitting(plane, view_.size));
        }
    }
    drag_ = Drag::none;
    setCursor(Qt::CrossCursor);
}

void ViewWidget::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    emit viewWanted(view_.zoomed(toDevice(event->position()), std::pow(zoomStep, -notches)));
}

void ViewWidget::keyPressEvent(QKeyEvent *event)
{
    const int stepX = std::max(1, view_.size.width() / 8);
    const int stepY = std::max(1, view_.size.height() / 8);
    switch (event->key()) {
    case Qt::Key_Left:
        return panBy(-stepX, 0);
    case Qt::Key_Right:
        return panBy(stepX, 0);
    case Qt::Key_Up:
        return panBy(0, -stepY);
    case Qt::Key_Down:
        return panBy(0, stepY);
    case Qt::Key_Shift:
        return probeAt(cursor_);
    default:
        QWidget::keyPressEvent(event);
    }
}

void ViewWidget::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift) {
        probe_.cancel();
        trajectory_.reset();
        emit trajectoryShown(QString());
        update();
    }
    QWidget::keyReleaseEvent(event);
}

void ViewWidget::leaveEvent(QEvent *)
{
    probe_.cancel();
}

void ViewWidget::probeAt(QPointF logical)
{
    if (!rect().contains(logical.toPoint()))
        return;
    const QPointF device = toDevice(logical);
    const int i = int(std::floor(device.x()));
    const int j = int(std::floor(device.y()));
    probe_.probe(view_.startX(i), view_.startY(j), scene_);
}
