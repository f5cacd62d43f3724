#pragma once

#include "sim/canvas.h"
#include "sim/defaults.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

/// The resolution every picture file states, 96 dots an inch. A new image takes the screen's
/// resolution, and picture files carry it in their header; a fixed one keeps every file
/// independent of the machine that made it.
constexpr int pictureDotsPerMeter = 3780;

/// The persistent drawing surface, the canvas of the window and of the renderer: an image of the
/// client area that keeps every pixel and circle drawn on it until it is cleared.
class Surface : public sim::Canvas
{
public:
    explicit Surface(QSize size = {}, std::int32_t background = sim::defaultBackground);

    /// Changes the size, keeping what is drawn where both sizes overlap; new area is background.
    void resize(QSize size);
    QSize size() const { return image_.size(); }

    void clear() override;
    /// Sets the background colour and clears to it.
    void setBackground(std::int32_t colour);
    std::int32_t background() const { return background_; }

    void setPixel(float x, float y, std::int32_t colour) override;
    void drawCircle(float x, float y, float radius, std::int32_t colour) override;
    std::int32_t pixel(int x, int y) const;

    const QImage &image() const { return image_; }

private:
    QImage image_;
    std::int32_t background_;
};

/// The packed colour as a Qt colour value.
QRgb toRgb(std::int32_t colour);
/// A Qt colour value packed as red + 256 x green + 65536 x blue.
std::int32_t fromRgb(QRgb rgb);

/// Writes image to path in format ("BMP": a 24-bit Windows bitmap, or "PNG") through
/// writeFileSafely(): only a regular file is replaced, nothing partial is left, and *reason (if
/// given) says why on failure ("not enough memory" when the encoder ran out). The file is encoded
/// as a stream, a row at a time, so writing needs little memory beside the image. What the
/// image writers print is kept from the user: the reason says it.
bool writeImageFile(const QImage &image, const QString &path, const char *format,
                    QString *reason = nullptr);
