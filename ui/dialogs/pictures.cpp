#include "pictures.h"

#include "sim/capturemap.h"
#include "sim/defaults.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

QImage basinPicture(const sim::simstate &s, QSize size, std::int16_t radiusOne,
                    std::int16_t radiusTwo, std::uint64_t limit, QRgb colourOne, QRgb colourTwo,
                    QRgb uncaptured)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(uncaptured);
    const sim::Rect all{0, 0, float(size.width()), float(size.height())};
    for (const sim::CapturedPoint &p : sim::captureMap(s, all, radiusOne, radiusTwo, limit)) {
        if (p.result.capture != sim::Capture::none)
            image.setPixel(int(p.point.x), p.point.y,
                           p.result.capture == sim::Capture::one ? colourOne : colourTwo);
    }
    return image;
}

namespace {

/// The masses of a fresh program placed as start-up places them in a client area of the size of
/// the picture, so that the samples show what the program paints at start-up.
sim::simstate sampleState(QSize size)
{
    return sim::defaultState(float(size.width()), float(size.height()));
}

constexpr std::int16_t sampleRadius = sim::defaultRadius;
/// Enough steps for the structure to show; the points that need more stay white.
constexpr std::uint64_t sampleStepLimit = 120;

QPointF pointOnLine(QPointF from, QPointF to, qreal fraction)
{
    return from + (to - from) * fraction;
}

/// A straight arrow from tail to tip with a filled head.
void drawArrow(QPainter &painter, QPointF tail, QPointF tip, qreal headLength = 6)
{
    painter.drawLine(tail, tip);
    const qreal angle = std::atan2(tip.y() - tail.y(), tip.x() - tail.x());
    const qreal spread = qDegreesToRadians(25.0);
    QPainterPath head(tip);
    head.lineTo(tip - headLength * QPointF(std::cos(angle - spread), std::sin(angle - spread)));
    head.lineTo(tip - headLength * QPointF(std::cos(angle + spread), std::sin(angle + spread)));
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

void drawDisc(QPainter &painter, QPointF centre, qreal radius, const QColor &colour)
{
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(Qt::NoBrush);
}

QFont labelFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QImage makeAboutSample()
{
    const QSize size(160, 216);
    const sim::simstate s = sampleState(size);
    const QColor green(0, 160, 0);
    const QColor purple(128, 0, 128);
    QImage image = basinPicture(s, size, sampleRadius, sampleRadius, sampleStepLimit, green.rgb(),
                                purple.rgb(), qRgb(255, 255, 255));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF one(s.xrot + 0.5, s.yrot + 0.5);
    const QPointF two(s.xblau + 0.5, s.yblau + 0.5);
    drawDisc(painter, one, sampleRadius, green.darker(140));
    drawDisc(painter, two, sampleRadius, purple.darker(140));

    // 1: the rings around mass one, 2 and 3: the masses, 4: the balance point between them.
    struct Label
    {
        QPointF tail;
        QPointF tip;
        QString text;
    };
    const Label labels[] = {
        {{24, 60}, {one.x() - 19, one.y() - 14}, QStringLiteral("1")},
        {{50, 160}, {one.x() - 3, one.y() + 7}, QStringLiteral("2")},
        {{110, 160}, {two.x() + 3, two.y() + 7}, QStringLiteral("3")},
        {{80, 60}, {(one.x() + two.x()) / 2, one.y() - 3}, QStringLiteral("4")},
    };
    // A white halo keeps the red marks readable on the speckled basins.
    const QColor red(230, 0, 0);
    painter.setFont(labelFont(12, true));
    for (const Label &label : labels) {
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        drawArrow(painter, label.tail, label.tip, 8);
        painter.setPen(QPen(red, 2, Qt::SolidLine, Qt::RoundCap));
        drawArrow(painter, label.tail, label.tip, 7);
        const bool above = label.tail.y() < label.tip.y();
        const QRectF box(label.tail.x() - 7, label.tail.y() + (above ? -15 : 1), 14, 14);
        painter.setPen(QPen(red, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(box);
        painter.setBrush(Qt::NoBrush);
        painter.drawText(box, Qt::AlignCenter, label.text);
    }
    return image;
}

QImage makeAboutDiagram()
{
    QImage image(201, 178, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(labelFont(11, false));

    // Axes from the origin at the top left: x to the right, y downwards.
    const QPointF origin(10, 10);
    painter.setPen(QPen(Qt::black, 1));
    drawArrow(painter, origin, {192, 10}, 5);
    drawArrow(painter, origin, {10, 170}, 5);
    painter.drawText(QPointF(186, 24), QStringLiteral("x"));
    painter.drawText(QPointF(16, 172), QStringLiteral("y"));
    painter.drawText(QPointF(2, 8), QStringLiteral("0"));

    const QPointF moving(62, 44);
    const QPointF one(52, 146);
    const QPointF two(172, 110);
    const QPointF reachedOne = pointOnLine(moving, one, 0.45);
    const QPointF reachedTwo = pointOnLine(moving, two, 0.4);
    const QPointF result = reachedOne + reachedTwo - moving;

    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLine(reachedOne, result);
    painter.drawLine(reachedTwo, result);
    painter.drawLine(reachedOne, one);
    painter.drawLine(reachedTwo, two);

    painter.setPen(QPen(Qt::black, 1.5));
    drawArrow(painter, moving, reachedOne);
    drawArrow(painter, moving, reachedTwo);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(reachedOne.x() - 46, reachedOne.y() - 10), QStringLiteral("power 1"));
    painter.drawText(QPointF(reachedTwo.x() - 6, reachedTwo.y() - 12), QStringLiteral("power 2"));

    drawDisc(painter, moving, 7, QColor(0, 180, 0));
    drawDisc(painter, one, 8, QColor(230, 0, 0));
    drawDisc(painter, two, 8, QColor(0, 0, 230));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(moving.x() + 11, moving.y() - 3), QStringLiteral("moving mass"));
    painter.drawText(QPointF(one.x() + 12, one.y() + 12), QStringLiteral("mass one"));
    painter.drawText(QPointF(two.x() - 26, two.y() + 22), QStringLiteral("mass two"));

    painter.setBrush(Qt::black);
    painter.drawEllipse(result, 2.5, 2.5);
    painter.drawText(QPointF(result.x() - 22, result.y() + 16), QStringLiteral("P (result)"));
    return image;
}

QImage makeExitSample()
{
    const QSize size(100, 137);
    const sim::simstate s = sampleState(size);
    const QImage basins = basinPicture(s, size, sampleRadius, sampleRadius, sampleStepLimit,
                                       qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 255, 255));
    // The dialog shows a stored JPEG, with the soft edges that go with one.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage decoded;
    if (!basins.save(&buffer, "JPG", 80) || !decoded.loadFromData(jpeg, "JPG"))
        return basins;
    return decoded.convertToFormat(QImage::Format_RGB32);
}

} // namespace

const QImage &aboutSamplePicture()
{
    static const QImage image = makeAboutSample();
    return image;
}

const QImage &aboutDiagram()
{
    static const QImage image = makeAboutDiagram();
    return image;
}

const QImage &exitSamplePicture()
{
    static const QImage image = makeExitSample();
    return image;
}

void preparePictures()
{
    aboutSamplePicture();
    aboutDiagram();
    exitSamplePicture();
}
