#include "temporaryfile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <utility>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

Descriptor::Descriptor(Descriptor &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

Descriptor::~Descriptor()
{
    if (fd_ >= 0)
        close(fd_);
}

namespace {

constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int signalCount = int(sizeof endingSignals / sizeof endingSignals[0]);

/// The one temporary file a signal handler removes: a handler may use nothing but plain memory
/// and calls that are safe in it. Only one write at a time is guarded.
struct Pending
{
    std::atomic<bool> taken{false};
    int folder = -1;
    char name[NAME_MAX + 1] = {};
    struct sigaction before[signalCount] = {};
};
Pending pending;

extern "C" void removePending(int signal)
{
    int i = 0;
    while (i < signalCount && endingSignals[i] != signal)
        ++i;
    struct sigaction &before = pending.before[i];
    if (before.sa_handler == SIG_IGN)
        return;
    if (before.sa_handler != SIG_DFL) {
        // The program handles the signal itself, and ends the write its own way.
        if (before.sa_flags & SA_SIGINFO)
            before.sa_sigaction(signal, nullptr, nullptr);
        else
            before.sa_handler(signal);
        if (before.sa_flags & SA_RESETHAND)
            before.sa_handler = SIG_DFL;
        return;
    }
    unlinkat(pending.folder, pending.name, 0);
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal); // delivered, and ends the program, when this handler returns
}

/// Guards the temporary file against the signals; false when another write holds the guard.
bool guard(int folder, const QByteArray &name)
{
    if (name.size() > NAME_MAX || pending.taken.exchange(true))
        return false;
    pending.folder = folder;
    std::memcpy(pending.name, name.constData(), std::size_t(name.size()) + 1);
    struct sigaction action = {};
    action.sa_handler = removePending;
    sigemptyset(&action.sa_mask);
    for (const int signal : endingSignals)
        sigaddset(&action.sa_mask, signal);
    for (int i = 0; i < signalCount; ++i)
        sigaction(endingSignals[i], &action, &pending.before[i]);
    return true;
}

void unguard()
{
    for (int i = 0; i < signalCount; ++i)
        sigaction(endingSignals[i], &pending.before[i], nullptr);
    pending.taken.store(false);
}

QByteArray randomLetters()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, int(sizeof letters) - 2);
    QByteArray suffix;
    for (int i = 0; i < 6; ++i)
        suffix += letters[pick(generator)];
    return suffix;
}

/// A new temporary name beside name: after it where that fits, a short one where it does not.
QByteArray temporaryName(int folder, const QByteArray &name)
{
    const long longest = fpathconf(folder, _PC_NAME_MAX);
    if (name.size() + 7 <= (longest > 0 ? longest : NAME_MAX))
        return name + '.' + randomLetters();
    return ".velmora-" + randomLetters();
}

/// Whether an unnamed file can be given a name later: through its descriptor's entry in /proc,
/// or directly by a process that may look up any file.
bool canLinkUnnamed()
{
    static const bool can = access("/proc/self/fd", X_OK) == 0;
    return can;
}

} // namespace

TemporaryFile::TemporaryFile(int folder, const QByteArray &name, mode_t mode)
    : folder_(folder), for_(name)
{
    if (canLinkUnnamed()) {
        fd_ = Descriptor(openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        unnamed_ = fd_.get() >= 0;
        if (unnamed_)
            return;
        // Not on this file system (or not at all): a named file tells what else is wrong.
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (createNamed(temporaryName(folder, name), mode) || error_ != EEXIST)
            return;
    }
}

bool TemporaryFile::createNamed(const QByteArray &name, mode_t mode)
{
    name_ = name;
    // The guard is set before the file exists, so that no moment leaves it behind.
    guarded_ = guard(folder_, name_);
    fd_ = Descriptor(openat(folder_, name_.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd_.get() >= 0) {
        present_ = true;
        return true;
    }
    error_ = errno;
    if (guarded_)
        unguard();
    guarded_ = false;
    return false;
}

TemporaryFile::~TemporaryFile()
{
    if (present_)
        unlinkat(folder_, name_.constData(), 0);
    if (guarded_)
        unguard();
}

bool TemporaryFile::linkAs(const char *target) const
{
    if (linkat(fd_.get(), "", folder_, target, AT_EMPTY_PATH) == 0)
        return true;
    const QByteArray entry = "/proc/self/fd/" + QByteArray::number(fd_.get());
    return linkat(AT_FDCWD, entry.constData(), folder_, target, AT_SYMLINK_FOLLOW) == 0;
}

bool TemporaryFile::nameIt()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name_ = temporaryName(folder_, for_);
        guarded_ = guard(folder_, name_);
        if (linkAs(name_.constData())) {
            present_ = true;
            return true;
        }
        const int error = errno;
        if (guarded_)
            unguard();
        guarded_ = false;
        errno = error;
        if (error != EEXIST)
            return false;
    }
    return false;
}

bool TemporaryFile::holdsItself() const
{
    struct stat named = {};
    struct stat opened = {};
    return fstatat(folder_, name_.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstat(fd_.get(), &opened) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
}

FileWriter::FileWriter(int fd) : fd_(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FileWriter::writeData(const char *data, qint64 size)
{
    // After a failed write the rest goes nowhere, and the encoder is not told: the PNG library
    // would print a message of its own. The caller asks error() at the end.
    const qint64 at = pos();
    for (qint64 done = 0; done < size && error_ == 0;) {
        const ssize_t n = ::pwrite(fd_, data + done, std::size_t(size - done), off_t(at + done));
        if (n >= 0)
            done += n;
        else if (errno != EINTR)
            error_ = errno;
    }
    return size;
}
