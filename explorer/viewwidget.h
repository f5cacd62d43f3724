#pragma once

#include "passcomputer.h"
#include "trajectoryprobe.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <optional>

class QRubberBand;

/// The plane as the explorer shows it: the latest pass, the masses' handles with their capture
/// circles and, while Shift is held, the trajectory under the cursor. Turns the mouse and the keys
/// into wishes for another viewport or another mass position; the window decides.
class ViewWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ViewWidget(QWidget *parent = nullptr);

    /// The viewport asked for last; the picture shown may still be of an earlier one, drawn
    /// scaled and moved to where it lies in this one.
    const Viewport &view() const { return view_; }
    void setView(const Viewport &view);
    void setScene(const Scene &scene);
    /// Shows a pass of the latest request.
    void showPass(const PassResult &result);
    /// The picture shown and its viewport.
    const QImage &image() const { return image_; }
    const Viewport &imageView() const { return imageView_; }

    /// The widget's size in device pixels: one start point each.
    QSize deviceSize() const;

    /// Wheel notches and + and - zoom by this factor.
    static constexpr double zoomStep = 1.25;

signals:
    void viewWanted(const Viewport &view);
    /// mass (from 1) dragged to a whole plane position.
    void massMoved(int mass, QPoint position);
    void cursorMoved(QPointF plane);
    void deviceSizeChanged(QSize size);
    void trajectoryShown(const QString &text);

public slots:
    void zoomBy(double factor);
    void panBy(int di, int dj);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    enum class Drag { none, pan, band, mass };
    QPointF toDevice(QPointF logical) const;
    QPointF toLogical(QPointF device) const;
    /// The mass whose handle is under the logical position, from 1; 0 for none.
    int handleAt(QPointF logical) const;
    void probeAt(QPointF logical);
    void paintHandles(QPainter &painter) const;
    /// An arrow at the view's edge toward a mass out of sight (logical position).
    void paintArrow(QPainter &painter, QPointF mass, std::int32_t colour) const;
    void paintTrajectory(QPainter &painter) const;

    Viewport view_;
    Scene scene_;
    QImage image_;
    Viewport imageView_;
    Drag drag_ = Drag::none;
    int draggedMass_ = 0; ///< the mass whose handle is dragged, from 1
    QPointF dragStart_;
    Viewport dragView_;
    QRubberBand *band_;
    TrajectoryProbe probe_;
    std::optional<ProbedTrajectory> trajectory_;
    QPointF cursor_;
};
