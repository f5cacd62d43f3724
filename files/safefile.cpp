#include "safefile.h"

#include "readfile.h"
#include "temporaryfile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return qt_error_string(error);
}

const QString changedMeanwhile = QStringLiteral("it was replaced while the new file was written");

bool sameInode(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// Whether this process may replace any user's file in a sticky folder.
bool ownsEveryFile()
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return geteuid() == 0;
    return (data[0].effective & (1u << CAP_FOWNER)) != 0;
}

/// The folder a path's file lies in, open, and the file's name in it. A link is resolved once,
/// here: everything after works on this folder and name, whatever the link names by then.
struct Place
{
    QString problem;
    Descriptor folder;
    QByteArray name;
};

Place locate(const QString &path)
{
    if (path.isEmpty())
        return {QStringLiteral("no file name"), {}, {}};
    QByteArray bytes = QFile::encodeName(path);
    struct stat status = {};
    if (lstat(bytes.constData(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char *resolved = realpath(bytes.constData(), nullptr);
        if (!resolved) {
            return {errno == ENOENT ? QStringLiteral("it is a link to a missing file")
                                    : systemReason(errno),
                    {},
                    {}};
        }
        bytes = resolved;
        std::free(resolved);
    }
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : bytes.left(slash);
    const QByteArray name = bytes.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return {QStringLiteral("it is a folder"), {}, {}};
    Descriptor fd(open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return {systemReason(errno), {}, {}};
    return {{}, std::move(fd), name};
}

/// What lies at a place that may be written: nothing yet, or a regular file with this status,
/// open for reading where this process may read it.
struct Target
{
    QString problem; ///< empty when the file may be written
    std::optional<struct stat> existing;
    Descriptor file;
};

/// Why a regular file may not be replaced, as far as its flags and its folder tell.
QString whyNotReplaceable(const Place &place, const struct stat &status, int file)
{
    int flags = 0;
    if (file >= 0 && ioctl(file, FS_IOC_GETFLAGS, &flags) == 0) {
        if (flags & FS_IMMUTABLE_FL)
            return QStringLiteral("the file is immutable");
        if (flags & FS_APPEND_FL)
            return QStringLiteral("the file is append-only");
    }
    // In a sticky folder (like /tmp) only a file's owner, the folder's owner and the superuser
    // may replace it.
    struct stat folder = {};
    if (fstat(place.folder.get(), &folder) == 0 && (folder.st_mode & S_ISVTX) &&
        status.st_uid != geteuid() && folder.st_uid != geteuid() && !ownsEveryFile()) {
        return QStringLiteral("it belongs to another user in a shared folder");
    }
    return {};
}

/// Looks at the place without creating anything.
Target examine(const Place &place)
{
    const int folder = place.folder.get();
    const char *name = place.name.constData();
    struct stat status = {};
    if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return {errno == ENOENT ? QString() : systemReason(errno), {}, {}};
    if (QString kind = specialKind(status.st_mode); !kind.isEmpty())
        return {kind, {}, {}};
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return {QStringLiteral("the file is read-only"), {}, {}};
    if (faccessat(folder, name, W_OK, 0) != 0)
        return {systemReason(errno), {}, {}};
    // Not blocking, in case something else took the name meanwhile.
    Descriptor file(
        openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened = {};
    if (file.get() >= 0 && (fstat(file.get(), &opened) != 0 || !sameInode(opened, status)))
        return {changedMeanwhile, {}, {}};
    if (QString problem = whyNotReplaceable(place, status, file.get()); !problem.isEmpty())
        return {problem, {}, {}};
    return {{}, status, std::move(file)};
}

/// Copies the extended attributes (among them the access control list) where the system
/// allows; those this process may not set are left out.
void copyExtendedAttributes(int from, int to)
{
    const ssize_t size = flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(std::size_t(size) + 1);
    const ssize_t got = flistxattr(from, names.data(), names.size() - 1);
    std::vector<char> value;
    for (ssize_t i = 0; i < got; i += ssize_t(std::strlen(names.data() + i)) + 1) {
        const char *name = names.data() + i;
        const ssize_t length = fgetxattr(from, name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(std::size_t(length) + 1);
        const ssize_t read = fgetxattr(from, name, value.data(), value.size());
        if (read >= 0)
            fsetxattr(to, name, value.data(), std::size_t(read), 0);
    }
}

/// Gives the new file the owner, group, extended attributes and permission bits of the one it
/// replaces; the owner and group only where the system allows it (only the superuser may give a
/// file away). The mode comes after the last write and the change of owner, both of which
/// clear the set-user and set-group bits.
bool keepAttributes(int fd, const struct stat &old, int oldFile)
{
    const bool owned =
        fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, uid_t(-1), old.st_gid) == 0;
    Q_UNUSED(owned)
    if (oldFile >= 0)
        copyExtendedAttributes(oldFile, fd);
    return fchmod(fd, old.st_mode & 07777) == 0;
}

/// Puts the written temporary in place of the examined file: exchanges the two, and if what
/// came out is not the examined file after all, exchanges them back and refuses.
QString exchange(const Place &place, TemporaryFile &temporary, const Target &target)
{
    const int folder = place.folder.get();
    const char *name = place.name.constData();
    const struct stat &examined = *target.existing;
    if (temporary.unnamed() && !temporary.nameIt())
        return systemReason(errno);
    if (renameat2(folder, temporary.name(), folder, name, RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            return systemReason(errno);
        // The file system cannot exchange: a last look, then a plain rename.
        struct stat now = {};
        if (fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(now.st_mode) ||
            !sameInode(now, examined)) {
            return changedMeanwhile;
        }
        if (renameat(folder, temporary.name(), folder, name) != 0)
            return systemReason(errno);
        temporary.renamed();
        return {};
    }
    struct stat out = {};
    if (fstatat(folder, temporary.name(), &out, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(out.st_mode) || !sameInode(out, examined)) {
        // Whatever lies at the temporary's name after that goes only if it is the new file.
        if (renameat2(folder, temporary.name(), folder, name, RENAME_EXCHANGE) != 0 ||
            !temporary.holdsItself()) {
            temporary.renamed();
        }
        return changedMeanwhile;
    }
    // Its mode or owner may have changed since it was looked at.
    if (out.st_mode != examined.st_mode || out.st_uid != examined.st_uid ||
        out.st_gid != examined.st_gid) {
        keepAttributes(temporary.descriptor(), out, -1);
    }
    // The temporary's name now holds the old file, which goes.
    return {};
}

/// Puts the written temporary where nothing was, and never over anything that came meanwhile.
QString placeNew(const Place &place, TemporaryFile &temporary)
{
    const int folder = place.folder.get();
    const char *name = place.name.constData();
    int error = 0;
    if (temporary.unnamed()) {
        error = temporary.linkAs(name) ? 0 : errno;
    } else if (renameat2(folder, temporary.name(), folder, name, RENAME_NOREPLACE) == 0) {
        temporary.renamed();
        return {};
    } else {
        error = errno;
    }
    if (!temporary.unnamed() && (error == EINVAL || error == ENOSYS || error == ENOTSUP)) {
        // A link, unlike a rename, never replaces what is there.
        error = linkat(folder, temporary.name(), folder, name, 0) == 0 ? 0 : errno;
    }
    if (error == EEXIST)
        return QStringLiteral("something else took its place while the file was written");
    return error == 0 ? QString() : systemReason(error);
}

/// The folder and name of path and what lies there now; the problem, if either has one.
QString locateAndExamine(const QString &path, Place &place, Target &target)
{
    place = locate(path);
    if (!place.problem.isEmpty())
        return place.problem;
    target = examine(place);
    return target.problem;
}

/// Writes the file through its descriptor: empty, or the problem.
using Contents = std::function<QString(int)>;

QString replace(const QString &path, const Contents &writeContents)
{
    Place place;
    Target target;
    if (const QString problem = locateAndExamine(path, place, target); !problem.isEmpty())
        return problem;
    // A replacement stays private until it takes the old file's mode.
    TemporaryFile temporary(place.folder.get(), place.name, target.existing ? 0600 : 0666);
    if (temporary.descriptor() < 0)
        return systemReason(temporary.error());

    if (const QString problem = writeContents(temporary.descriptor()); !problem.isEmpty())
        return problem;
    if (target.existing &&
        !keepAttributes(temporary.descriptor(), *target.existing, target.file.get())) {
        return systemReason(errno);
    }
    if (fsync(temporary.descriptor()) != 0)
        return systemReason(errno);

    const QString problem =
        target.existing ? exchange(place, temporary, target) : placeNew(place, temporary);
    if (!problem.isEmpty())
        return problem;
    // The new name lasts only once the folder is on the disk as well.
    const Descriptor folder(openat(place.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        fsync(folder.get());
    return {};
}

} // namespace

QString whyNotWritable(const QString &path)
{
    try {
        Place place;
        Target target;
        if (const QString problem = locateAndExamine(path, place, target); !problem.isEmpty())
            return problem;
        // Making what a write starts with finds out what only the file system knows: a
        // missing or read-only folder, a name it refuses.
        const TemporaryFile probe(place.folder.get(), place.name, 0600);
        return probe.descriptor() < 0 ? systemReason(probe.error()) : QString();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("not enough memory");
    }
}

namespace {

bool replaceReporting(const QString &path, const Contents &writeContents, QString *reason)
{
    QString problem;
    try {
        problem = replace(path, writeContents);
    } catch (const std::bad_alloc &) {
        problem = QStringLiteral("not enough memory");
    }
    if (reason)
        *reason = problem;
    return problem.isEmpty();
}

} // namespace

bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason)
{
    return replaceReporting(
        path,
        [&](int fd) {
            FileWriter device(fd);
            const bool written = writeContents(device);
            if (device.error() != 0)
                return systemReason(device.error());
            return written ? QString() : QStringLiteral("the contents could not be written");
        },
        reason);
}

bool writeFileThrough(const QString &path, const std::function<QString(int)> &writeContents,
                      QString *reason)
{
    return replaceReporting(path, writeContents, reason);
}

QByteArray fileIdentity(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (stat(name.constData(), &status) == 0)
        return "file " + QByteArray::number(quint64(status.st_dev)) + ':' +
               QByteArray::number(quint64(status.st_ino));
    // Not there yet: the same name in the same folder, however the folders are written.
    const Place place = locate(path);
    struct stat folder = {};
    if (!place.problem.isEmpty() || fstat(place.folder.get(), &folder) != 0)
        return "path " + name;
    return "name " + QByteArray::number(quint64(folder.st_dev)) + ':' +
           QByteArray::number(quint64(folder.st_ino)) + '/' + place.name;
}

bool isSameFile(const QString &a, const QString &b)
{
    return fileIdentity(a) == fileIdentity(b);
}

bool writeBytesSafely(const QString &path, const QByteArray &bytes, QString *reason)
{
    return writeFileSafely(
        path, [&](QIODevice &device) { return device.write(bytes) == bytes.size(); }, reason);
}
