#include "safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <new>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return qt_error_string(error);
}

/// Empty for a regular file; otherwise what the thing with this mode is.
QString specialKind(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

/// What lies at a path that may be written: nothing yet, or a regular file with this status.
struct Target
{
    QString problem; ///< empty when the path may be written
    std::optional<struct stat> existing;
};

/// Looks at the path without creating anything.
Target examine(const QString &path)
{
    if (path.isEmpty())
        return {QStringLiteral("no file name"), {}};
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (lstat(name.constData(), &status) != 0)
        return {errno == ENOENT ? QString() : systemReason(errno), {}};
    if (S_ISLNK(status.st_mode) && stat(name.constData(), &status) != 0) {
        return {errno == ENOENT ? QStringLiteral("it is a link to a missing file")
                                : systemReason(errno),
                {}};
    }
    if (QString kind = specialKind(status.st_mode); !kind.isEmpty())
        return {kind, {}};
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return {QStringLiteral("the file is read-only"), {}};
    if (access(name.constData(), W_OK) != 0)
        return {systemReason(errno), {}};
    // QSaveFile replaces an existing file through one named after it, with a dot and six
    // characters appended, in the same folder; that longer name must fit as well.
    const QFileInfo replacement(QFileInfo(path).canonicalFilePath() + QStringLiteral(".XXXXXX"));
    const long longest = pathconf(QFile::encodeName(replacement.path()).constData(), _PC_NAME_MAX);
    if (longest > 0 && QFile::encodeName(replacement.fileName()).size() > longest)
        return {QStringLiteral("the name is too long to replace the file"), {}};
    return {{}, status};
}

/// Opens the file that replaces path once committed, or returns why it cannot be opened.
QString open(QSaveFile &file)
{
    // Writing straight into the old file would leave a partial one on failure.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    return {};
}

/// Gives the new file the owner, group and permission bits of the one it replaces; the owner
/// and group only where the system allows it (only the superuser may give a file away). The
/// mode comes last, as a change of owner clears the set-user and set-group bits.
bool keepAttributes(const QSaveFile &file, const struct stat &old)
{
    const int fd = file.handle();
    const bool owned =
        fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, uid_t(-1), old.st_gid) == 0;
    Q_UNUSED(owned)
    return fchmod(fd, old.st_mode & 07777) == 0;
}

QString replace(const QString &path, const std::function<bool(QIODevice &)> &writeContents)
{
    const Target target = examine(path);
    if (!target.problem.isEmpty())
        return target.problem;
    QSaveFile file(path);
    if (QString problem = open(file); !problem.isEmpty())
        return problem;
    if (target.existing && !keepAttributes(file, *target.existing)) {
        const QString problem = systemReason(errno);
        file.cancelWriting();
        return problem;
    }

    // commit() can report success after a failed final flush on a full disk, so the flush is
    // checked before committing. After a failed write, it is the flush that names the system's
    // reason.
    const bool written = writeContents(file);
    if (!file.flush() || !written) {
        const QString problem = file.error() != QFileDevice::NoError
                                    ? file.errorString()
                                    : QStringLiteral("the contents could not be written");
        file.cancelWriting();
        return problem;
    }
    // Something else may have taken the path meanwhile.
    if (QString problem = examine(path).problem; !problem.isEmpty()) {
        file.cancelWriting();
        return problem;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

QString whyNotWritable(const QString &path)
{
    try {
        const Target target = examine(path);
        if (!target.problem.isEmpty())
            return target.problem;
        // Opening what a write starts with finds out what only the file system knows: a
        // missing or read-only folder, a name it refuses.
        QSaveFile probe(path);
        if (QString problem = open(probe); !problem.isEmpty())
            return problem;
        probe.cancelWriting();
        return {};
    } catch (const std::bad_alloc &) {
        return QStringLiteral("not enough memory");
    }
}

bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason)
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
