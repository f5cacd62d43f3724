#include "surface.h"

#include "files/safefile.h"
#include "sim/pixels.h"

#include <QImageWriter>
#include <QPainter>
#include <QScopeGuard>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

#include <fcntl.h>
#include <unistd.h>

QRgb toRgb(std::int32_t colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int32_t fromRgb(QRgb rgb)
{
    return qRed(rgb) + 256 * qGreen(rgb) + 65536 * qBlue(rgb);
}

namespace {

QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(pictureDotsPerMeter);
    image.setDotsPerMeterY(pictureDotsPerMeter);
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

namespace {

/// What the image writers said on this thread while it wrote an image: they are not shown, only
/// looked at. Nothing here may allocate, as they speak when memory runs out.
struct WriterMessages
{
    bool writing = false;
    bool outOfMemory = false;
};
thread_local WriterMessages writerMessages;
QtMessageHandler otherMessages = nullptr;

void keepWriterMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!writerMessages.writing) {
        otherMessages(type, context, text);
        return;
    }
    // libpng's words: "Out of memory", "insufficient memory".
    if (text.contains(QLatin1String("memory"), Qt::CaseInsensitive))
        writerMessages.outOfMemory = true;
}

/// Standard error, while this lives, goes into a pipe that is read and dropped at the end: the
/// PNG library prints its errors there itself. Allocates nothing.
class CapturedStandardError
{
public:
    CapturedStandardError()
    {
        int ends[2] = {-1, -1};
        if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
            return;
        std::fflush(stderr);
        saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved_ < 0 || dup2(ends[1], STDERR_FILENO) < 0) {
            close(ends[0]);
            ends[0] = -1;
        }
        close(ends[1]);
        pipe_ = ends[0];
    }
    ~CapturedStandardError()
    {
        if (pipe_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        char text[4096];
        const ssize_t n = read(pipe_, text, sizeof text - 1);
        close(pipe_);
        if (n > 0) {
            text[n] = 0;
            if (std::strstr(text, "memory"))
                writerMessages.outOfMemory = true;
        }
    }
    CapturedStandardError(const CapturedStandardError &) = delete;
    CapturedStandardError &operator=(const CapturedStandardError &) = delete;

private:
    int saved_ = -1;
    int pipe_ = -1;
};

/// Whether the writer wrote image; memory it ran out of is thrown as std::bad_alloc.
bool encode(QImageWriter &writer, const QImage &image)
{
    writerMessages = {true, false};
    bool written = false;
    {
        const auto done = qScopeGuard([] { writerMessages.writing = false; });
        const CapturedStandardError captured;
        written = writer.write(image);
    }
    if (!written && writerMessages.outOfMemory)
        throw std::bad_alloc();
    return written;
}

} // namespace

bool writeImageFile(const QImage &image, const QString &path, const char *format, QString *reason)
{
    static std::once_flag installed;
    std::call_once(installed, [] { otherMessages = qInstallMessageHandler(keepWriterMessages); });
    // Qt's bitmap and PNG writers hand the device one row at a time, so the file never exists
    // whole in memory (bench/peak-memory.sh measures it).
    return writeFileSafely(
        path,
        [&](QIODevice &device) {
            QImageWriter writer(&device, format);
            return encode(writer, image);
        },
        reason);
}
