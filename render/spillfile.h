#pragma once

#include "files/temporaryfile.h"

#include <QString>

#include <cstdint>
#include <vector>

/// A scratch file without a name, in the temporary folder ($TMPDIR or /tmp), for what a picture
/// computed in bands must keep until its last band is done: written once from the start, then
/// read once from the start. Step counts go in as few bytes as they need (seven bits a byte), so
/// that a picture's steps take about two bytes a start point rather than eight. It is gone
/// whatever ends the program, having never had a name anyone could see after its creation.
class SpillFile
{
public:
    SpillFile();
    SpillFile(const SpillFile &) = delete;
    SpillFile &operator=(const SpillFile &) = delete;

    /// Empty while every call succeeded; otherwise why one failed.
    const QString &error() const { return error_; }

    void writeBytes(const std::uint8_t *bytes, std::size_t count);
    void writeSteps(const std::uint64_t *steps, std::size_t count);
    /// Ends writing and goes back to the start for reading.
    void rewind();
    /// The next count bytes or step counts, as they were written; false once reading failed.
    bool readBytes(std::uint8_t *bytes, std::size_t count);
    bool readSteps(std::uint64_t *steps, std::size_t count);

private:
    void put(std::uint8_t byte);
    void flush();
    bool fill();
    bool get(std::uint8_t &byte);
    void fail(int error);

    Descriptor fd_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;  ///< the next byte of the buffer
    std::size_t end_ = 0; ///< reading: the end of what the buffer holds
    QString error_;
};
