#include "readfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (S_ISLNK(mode))
        return QStringLiteral("it is a link");
    return QStringLiteral("it is not a regular file");
}

namespace {

QString readInto(const QString &path, qint64 limit, QByteArray &contents)
{
    if (path.isEmpty())
        return QStringLiteral("no file name");
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (stat(name.constData(), &status) != 0)
        return qt_error_string(errno);
    if (QString kind = specialKind(status.st_mode); !kind.isEmpty())
        return kind;
    // Not blocking, and looked at again, in case something else took the name meanwhile.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    QString problem;
    if (fstat(fd, &status) != 0)
        problem = qt_error_string(errno);
    else
        problem = specialKind(status.st_mode);
    QByteArray read;
    while (problem.isEmpty() && read.size() <= limit) {
        const qsizetype before = read.size();
        read.resize(before + qsizetype(std::min<qint64>(limit + 1 - before, 1 << 16)));
        const ssize_t n = ::read(fd, read.data() + before, std::size_t(read.size() - before));
        read.resize(before + std::max<qsizetype>(n, 0));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            problem = qt_error_string(errno);
    }
    close(fd);
    if (problem.isEmpty() && read.size() > limit)
        problem = QStringLiteral("it is larger than %1 bytes").arg(limit);
    if (problem.isEmpty())
        contents = read;
    return problem;
}

} // namespace

bool readRegularFile(const QString &path, qint64 limit, QByteArray &contents, QString *problem)
{
    const QString why = readInto(path, limit, contents);
    if (problem)
        *problem = why;
    return why.isEmpty();
}
