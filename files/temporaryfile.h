#pragma once

#include <QByteArray>
#include <QIODevice>

#include <sys/types.h>

/// A file descriptor, closed when it goes.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor &&other) noexcept;
    Descriptor &operator=(Descriptor &&other) noexcept;
    ~Descriptor();
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

/// The file a replacement is written to before it takes its place. Where the file system
/// allows, it has no name at all until it is linked in, so that nothing is left behind whatever
/// ends the program; elsewhere it is a new file beside the one it replaces, named after it with a
/// dot and six characters (or, where that name would be too long, a dot, "velmora-" and six
/// characters), removed again when this goes unless it was renamed. While it has a name, the
/// first INT, TERM or HUP that would end the program removes it first; a handler installed
/// before this one still gets the signal instead.
class TemporaryFile
{
public:
    /// Creates the file in folder (a descriptor), for name, with this mode (less the umask).
    TemporaryFile(int folder, const QByteArray &name, mode_t mode);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    /// Open for writing, or -1 with error() set.
    int descriptor() const { return fd_.get(); }
    int error() const { return error_; }
    /// Whether the file has no name yet.
    bool unnamed() const { return unnamed_ && !present_; }
    /// Links an unnamed file in as target in the folder, never over anything there; false with
    /// errno set (EEXIST when something is).
    bool linkAs(const char *target) const;
    /// Gives an unnamed file a temporary name beside the one it replaces, found in name(); false
    /// with errno set.
    bool nameIt();
    const char *name() const { return name_.constData(); }
    /// Whether name() still leads to this file.
    bool holdsItself() const;
    /// The file is no longer at name(), which must then be left alone.
    void renamed() { present_ = false; }

private:
    /// Makes the file under a temporary name: false with error_ set.
    bool createNamed(const QByteArray &name, mode_t mode);

    int folder_;
    QByteArray for_; ///< the name of the file it replaces
    QByteArray name_;
    Descriptor fd_;
    int error_ = 0;
    bool unnamed_ = false;
    bool present_ = false;
    bool guarded_ = false;
};

/// Writes straight to a file descriptor, unbuffered, at the device's position: a writer may seek
/// to put a part of the file in its place. A failed write is not reported to the writer: the
/// system's reason is kept for error(), and nothing more is written.
class FileWriter : public QIODevice
{
public:
    explicit FileWriter(int fd);
    bool isSequential() const override { return false; }
    /// The errno of the first failed write, 0 while none failed.
    int error() const { return error_; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int fd_;
    int error_ = 0;
};
