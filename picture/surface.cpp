#include "surface.h"

#include "files/safefile.h"
#include "sim/pixels.h"

#include <QImageWriter>
#include <QPainter>

#include <cmath>

QRgb toRgb(std::int32_t colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int32_t fromRgb(QRgb rgb)
{
    return qRed(rgb) + 256 * qGreen(rgb) + 65536 * qBlue(rgb);
}

namespace {

/// 96 dots per inch. A new image takes the screen's resolution, and picture files carry it in
/// their header; a fixed one keeps every file independent of the machine that made it.
constexpr int dotsPerMeter = 3780;

QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace

Surface::Surface(QSize size, std::int32_t background)
    : image_(blankImage(size)), background_(background)
{
    clear();
}

void Surface::resize(QSize size)
{
    if (size == image_.size())
        return;
    QImage larger = blankImage(size);
    larger.fill(toRgb(background_));
    QPainter painter(&larger);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = larger;
}

void Surface::clear()
{
    image_.fill(toRgb(background_));
}

void Surface::setBackground(std::int32_t colour)
{
    background_ = colour;
    clear();
}

void Surface::setPixel(float x, float y, std::int32_t colour)
{
    const sim::Pixel p = sim::pixelAt(x, y);
    if (image_.valid(p.x, p.y))
        image_.setPixel(p.x, p.y, toRgb(colour));
}

void Surface::drawCircle(float x, float y, float radius, std::int32_t colour)
{
    const QRgb rgb = toRgb(colour);
    for (const sim::Pixel &p : sim::circleOutline(x, y, radius))
        if (image_.valid(p.x, p.y))
            image_.setPixel(p.x, p.y, rgb);
}

std::int32_t Surface::pixel(int x, int y) const
{
    return fromRgb(image_.pixel(x, y));
}

bool writeImageFile(const QImage &image, const QString &path, const char *format, QString *reason)
{
    // Qt's bitmap and PNG writers hand the device one row at a time, so the file never exists
    // whole in memory (bench/peak-memory.sh measures it).
    return writeFileSafely(
        path,
        [&](QIODevice &device) {
            QImageWriter writer(&device, format);
            return writer.write(image);
        },
        reason);
}
