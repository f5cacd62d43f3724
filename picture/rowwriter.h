#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

/// Text chunks of a PNG file, keyword and text, in the order written.
using PngTexts = std::vector<std::pair<QByteArray, QByteArray>>;

/// A picture file written a row at a time, top to bottom, so that the picture never exists whole
/// in memory. The bytes are those writeImageFile() writes for the same image: a PNG through
/// libpng with the settings of Qt's PNG writer (one zlib stream), a 24-bit bitmap with each row
/// written at its place in the file, bottom row first as the format keeps them.
class RowWriter
{
public:
    virtual ~RowWriter() = default;
    /// The next row, width() colours as QImage::Format_RGB32 holds them; false once writing
    /// failed. Memory the encoder runs out of is thrown as std::bad_alloc.
    virtual bool writeRow(const QRgb *row) = 0;
    /// Ends the file once every row is written; false when it could not be.
    virtual bool finish() = 0;
};

/// The most bytes a bitmap file may have: its header states its size in 32 bits.
constexpr std::uint64_t maxBitmapBytes = 0xFFFFFFFFu;
/// The bytes of a 24-bit bitmap file of this size.
std::uint64_t bitmapBytes(QSize size);

/// A writer of a size picture in format ("BMP" or "PNG") to device, which for a bitmap must
/// be able to seek (the safe replace's temporary can); texts go into a PNG only.
std::unique_ptr<RowWriter> makeRowWriter(QIODevice &device, const char *format, QSize size,
                                         const PngTexts &texts = {});

/// Writes a picture whose rows produce hands to the writer, top to bottom, through
/// writeFileSafely(): nothing partial is left when produce or the writer fails, and *reason
/// says why ("not enough memory" when memory ran out, the system's reason when a write failed).
bool writeRowsSafely(const QString &path, const char *format, QSize size, const PngTexts &texts,
                     const std::function<bool(RowWriter &)> &produce, QString *reason = nullptr);

/// A PNG file read a row at a time: its size, its text chunks and then its rows as RGB32.
class PngRowReader
{
public:
    /// Opens path and reads everything before its pixels; ok() says whether it could.
    explicit PngRowReader(const QString &path);
    ~PngRowReader();
    PngRowReader(const PngRowReader &) = delete;
    PngRowReader &operator=(const PngRowReader &) = delete;

    bool ok() const { return error_.isEmpty(); }
    /// Why the file could not be read, in words for the user.
    const QString &error() const { return error_; }
    QSize size() const { return size_; }
    /// The text of a chunk with this keyword; empty when there is none.
    QByteArray text(const QByteArray &keyword) const;
    /// The next row into width() colours; false, with error() set, when it could not be read.
    bool readRow(QRgb *row);

private:
    struct Png;
    std::unique_ptr<Png> png_;
    QSize size_;
    PngTexts texts_;
    std::vector<unsigned char> bytes_;
    QString error_;
};
