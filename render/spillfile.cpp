#include "spillfile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t bufferBytes = 1 << 20;

} // namespace

SpillFile::SpillFile() : buffer_(bufferBytes)
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    fd_ = Descriptor(open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (fd_.get() < 0) {
        // A file system without unnamed files: the name goes as soon as the file is open.
        QByteArray name = folder + "/velmora-spill-XXXXXX";
        fd_ = Descriptor(mkostemp(name.data(), O_CLOEXEC));
        if (fd_.get() >= 0)
            unlink(name.constData());
    }
    if (fd_.get() < 0)
        fail(errno);
}

void SpillFile::fail(int error)
{
    if (error_.isEmpty())
        error_ = QStringLiteral("cannot keep the steps in a scratch file in '%1': %2")
                     .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(error)));
}

void SpillFile::put(std::uint8_t byte)
{
    if (at_ == buffer_.size())
        flush();
    buffer_[at_++] = byte;
}

void SpillFile::flush()
{
    for (std::size_t done = 0; done < at_ && error_.isEmpty();) {
        const ssize_t n = write(fd_.get(), buffer_.data() + done, at_ - done);
        if (n >= 0)
            done += std::size_t(n);
        else if (errno != EINTR)
            fail(errno);
    }
    at_ = 0;
}

void SpillFile::writeBytes(const std::uint8_t *bytes, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        put(bytes[k]);
}

void SpillFile::writeSteps(const std::uint64_t *steps, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        std::uint64_t v = steps[k];
        while (v >= 0x80) {
            put(std::uint8_t(v | 0x80));
            v >>= 7;
        }
        put(std::uint8_t(v));
    }
}

void SpillFile::rewind()
{
    flush();
    if (error_.isEmpty() && lseek(fd_.get(), 0, SEEK_SET) != 0)
        fail(errno);
    at_ = end_ = 0;
}

bool SpillFile::fill()
{
    for (;;) {
        const ssize_t n = read(fd_.get(), buffer_.data(), buffer_.size());
        if (n > 0) {
            at_ = 0;
            end_ = std::size_t(n);
            return true;
        }
        if (n == 0)
            fail(EIO);
        else if (errno != EINTR)
            fail(errno);
        if (!error_.isEmpty())
            return false;
    }
}

bool SpillFile::get(std::uint8_t &byte)
{
    if (at_ == end_ && (!error_.isEmpty() || !fill()))
        return false;
    byte = buffer_[at_++];
    return true;
}

bool SpillFile::readBytes(std::uint8_t *bytes, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        if (!get(bytes[k]))
            return false;
    return true;
}

bool SpillFile::readSteps(std::uint64_t *steps, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        std::uint64_t v = 0;
        std::uint8_t byte = 0x80;
        for (int shift = 0; byte & 0x80; shift += 7) {
            if (!get(byte) || shift > 63)
                return false;
            v |= std::uint64_t(byte & 0x7F) << shift;
        }
        steps[k] = v;
    }
    return error_.isEmpty();
}
