#include "rowwriter.h"

#include "surface.h"
#include "files/safefile.h"

#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

/// libpng's complaint, kept for after the jump out of it.
struct Complaint
{
    char text[200] = {};
};

[[noreturn]] void complain(png_structp png, png_const_charp message)
{
    auto *complaint = static_cast<Complaint *>(png_get_error_ptr(png));
    std::snprintf(complaint->text, sizeof complaint->text, "%s", message);
    png_longjmp(png, 1);
}

void ignore(png_structp, png_const_charp) {}

bool outOfMemory(const Complaint &complaint)
{
    return std::strstr(complaint.text, "memory") || std::strstr(complaint.text, "Memory");
}

void writeBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<QIODevice *>(png_get_io_ptr(png))
        ->write(reinterpret_cast<const char *>(data), qint64(size));
}

void flushNothing(png_structp) {}

void littleEndian(unsigned char *at, std::uint32_t value, int bytes)
{
    for (int k = 0; k < bytes; ++k)
        at[k] = static_cast<unsigned char>(value >> (8 * k));
}

/// The chunks as libpng takes them, pointing into texts.
std::vector<png_text> textChunks(const PngTexts &texts)
{
    std::vector<png_text> chunks(texts.size());
    for (std::size_t k = 0; k < texts.size(); ++k) {
        chunks[k].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[k].key = const_cast<char *>(texts[k].first.constData());
        chunks[k].text = const_cast<char *>(texts[k].second.constData());
        chunks[k].text_length = std::size_t(texts[k].second.size());
    }
    return chunks;
}

std::size_t bitmapRowBytes(int width)
{
    return (std::size_t(width) * 3 + 3) / 4 * 4;
}

class PngWriter : public RowWriter
{
public:
    PngWriter(QIODevice &device, QSize size, const PngTexts &texts)
        : row_(std::size_t(size.width()) * 3)
    {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &complaint_, complain, ignore);
        if (!png_)
            throw std::bad_alloc();
        info_ = png_create_info_struct(png_);
        std::vector<png_text> chunks = textChunks(texts);
        if (!info_ || !begin(device, size, chunks.data(), int(chunks.size())))
            fail();
    }
    ~PngWriter() override { png_destroy_write_struct(&png_, &info_); }

    bool writeRow(const QRgb *row) override
    {
        if (failed_)
            return false;
        for (std::size_t i = 0; i < row_.size() / 3; ++i) {
            row_[3 * i] = png_byte(qRed(row[i]));
            row_[3 * i + 1] = png_byte(qGreen(row[i]));
            row_[3 * i + 2] = png_byte(qBlue(row[i]));
        }
        if (setjmp(png_jmpbuf(png_)))
            return fail();
        png_write_row(png_, row_.data());
        return true;
    }
    bool finish() override
    {
        if (failed_)
            return false;
        if (setjmp(png_jmpbuf(png_)))
            return fail();
        png_write_end(png_, info_);
        return true;
    }

private:
    bool begin(QIODevice &device, QSize size, png_text *chunks, int count)
    {
        if (setjmp(png_jmpbuf(png_)))
            return false;
        png_set_write_fn(png_, &device, writeBytes, flushNothing);
        png_set_IHDR(png_, info_, png_uint_32(size.width()), png_uint_32(size.height()), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                     PNG_FILTER_TYPE_BASE);
        png_set_pHYs(png_, info_, pictureDotsPerMeter, pictureDotsPerMeter, PNG_RESOLUTION_METER);
        if (count > 0)
            png_set_text(png_, info_, chunks, count);
        png_write_info(png_, info_);
        return true;
    }
    bool fail()
    {
        failed_ = true;
        if (outOfMemory(complaint_))
            throw std::bad_alloc();
        return false;
    }

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    Complaint complaint_;
    std::vector<png_byte> row_;
    bool failed_ = false;
};

/// Rows at their places: the file is a bitmap's header, then the rows from the bottom one up.
class BitmapWriter : public RowWriter
{
public:
    BitmapWriter(QIODevice &device, QSize size)
        : device_(device), size_(size), row_(bitmapRowBytes(size.width()), 0)
    {
        unsigned char header[54] = {'B', 'M'};
        littleEndian(header + 2, std::uint32_t(bitmapBytes(size)), 4);
        littleEndian(header + 10, 54, 4);
        littleEndian(header + 14, 40, 4);
        littleEndian(header + 18, std::uint32_t(size.width()), 4);
        littleEndian(header + 22, std::uint32_t(size.height()), 4);
        littleEndian(header + 26, 1, 2);
        littleEndian(header + 28, 24, 2);
        littleEndian(header + 34, std::uint32_t(bitmapBytes(size) - 54), 4);
        littleEndian(header + 38, std::uint32_t(pictureDotsPerMeter), 4);
        littleEndian(header + 42, std::uint32_t(pictureDotsPerMeter), 4);
        ok_ = !device.isSequential() &&
              device.write(reinterpret_cast<const char *>(header), 54) == 54;
    }

    bool writeRow(const QRgb *row) override
    {
        if (!ok_ || next_ >= size_.height())
            return false;
        for (int i = 0; i < size_.width(); ++i) {
            row_[3 * std::size_t(i)] = static_cast<unsigned char>(qBlue(row[i]));
            row_[3 * std::size_t(i) + 1] = static_cast<unsigned char>(qGreen(row[i]));
            row_[3 * std::size_t(i) + 2] = static_cast<unsigned char>(qRed(row[i]));
        }
        const qint64 at = 54 + qint64(size_.height() - 1 - next_) * qint64(row_.size());
        ok_ = device_.seek(at) && device_.write(reinterpret_cast<const char *>(row_.data()),
                                                qint64(row_.size())) == qint64(row_.size());
        ++next_;
        return ok_;
    }
    bool finish() override { return ok_ && next_ == size_.height(); }

private:
    QIODevice &device_;
    QSize size_;
    std::vector<unsigned char> row_;
    int next_ = 0;
    bool ok_ = false;
};

} // namespace

std::uint64_t bitmapBytes(QSize size)
{
    return 54 + std::uint64_t(bitmapRowBytes(size.width())) * std::uint64_t(size.height());
}

std::unique_ptr<RowWriter> makeRowWriter(QIODevice &device, const char *format, QSize size,
                                         const PngTexts &texts)
{
    if (qstricmp(format, "BMP") == 0)
        return std::make_unique<BitmapWriter>(device, size);
    return std::make_unique<PngWriter>(device, size, texts);
}

bool writeRowsSafely(const QString &path, const char *format, QSize size, const PngTexts &texts,
                     const std::function<bool(RowWriter &)> &produce, QString *reason)
{
    return writeFileSafely(
        path,
        [&](QIODevice &device) {
            const std::unique_ptr<RowWriter> writer = makeRowWriter(device, format, size, texts);
            return produce(*writer) && writer->finish();
        },
        reason);
}

struct PngRowReader::Png
{
    std::FILE *file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    Complaint complaint;

    ~Png()
    {
        png_destroy_read_struct(&png, &info, nullptr);
        if (file)
            std::fclose(file);
    }
};

namespace {

/// Reads the header and the chunks before the pixels; false when libpng complained.
bool readHeader(png_structp png, png_infop info, std::FILE *file)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_palette_to_rgb(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_read_update_info(png, info);
    return true;
}

bool readPngRow(png_structp png, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

} // namespace

PngRowReader::PngRowReader(const QString &path) : png_(std::make_unique<Png>())
{
    png_->file = std::fopen(QFile::encodeName(path).constData(), "rbe");
    if (!png_->file) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    png_->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &png_->complaint, complain, ignore);
    if (png_->png)
        png_->info = png_create_info_struct(png_->png);
    if (!png_->info)
        throw std::bad_alloc();
    if (!readHeader(png_->png, png_->info, png_->file) ||
        png_get_interlace_type(png_->png, png_->info) != PNG_INTERLACE_NONE) {
        error_ = QStringLiteral("it is not a PNG file of rows");
        return;
    }
    size_ = QSize(int(png_get_image_width(png_->png, png_->info)),
                  int(png_get_image_height(png_->png, png_->info)));
    png_textp chunks = nullptr;
    const int count = png_get_text(png_->png, png_->info, &chunks, nullptr);
    for (int k = 0; k < count; ++k)
        texts_.emplace_back(QByteArray(chunks[k].key),
                            QByteArray(chunks[k].text, int(chunks[k].text_length)));
    bytes_.resize(std::size_t(size_.width()) * 3);
}

PngRowReader::~PngRowReader() = default;

QByteArray PngRowReader::text(const QByteArray &keyword) const
{
    for (const auto &[key, value] : texts_)
        if (key == keyword)
            return value;
    return {};
}

bool PngRowReader::readRow(QRgb *row)
{
    if (!ok())
        return false;
    if (!readPngRow(png_->png, bytes_.data())) {
        error_ = QStringLiteral("it is damaged (%1)").arg(QLatin1String(png_->complaint.text));
        return false;
    }
    for (int i = 0; i < size_.width(); ++i) {
        const std::size_t k = 3 * std::size_t(i);
        row[i] = qRgb(bytes_[k], bytes_[k + 1], bytes_[k + 2]);
    }
    return true;
}
