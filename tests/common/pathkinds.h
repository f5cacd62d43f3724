#pragma once

// The things a picture may be asked to replace, made in a test's own folder, and a description
// of what lies at a path that proves it untouched (or changed only as intended).

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace pathkinds {

/// Every kind that make() knows; those that may be written come first.
inline QStringList writableKinds()
{
    return {"nothing",
            "regular file",
            "private file",
            "someone else's file",
            "link to a regular file",
            "file with an extended attribute",
            "file with an access control list",
            "set-user file",
            "file of the longest name",
            "new file of the longest name"};
}
inline QStringList refusedKinds()
{
    return {"read-only file",
            "pipe",
            "socket",
            "device",
            "link to a device",
            "folder",
            "link to nothing",
            "missing folder",
            "name too long",
            "append-only file",
            "immutable file",
            "someone else's file in a sticky folder"};
}

/// The kinds that only the superuser can make; the last two are then written by a normal user.
inline QStringList privilegedKinds()
{
    return {"append-only file", "immutable file", "set-user file",
            "someone else's file in a sticky folder"};
}
inline bool forNormalUser(const QString &kind)
{
    return kind == QLatin1String("set-user file") ||
           kind == QLatin1String("someone else's file in a sticky folder");
}

/// Sets or clears a file's append-only or immutable flag; false where the system does not let.
inline bool setFlags(const QString &path, int flags)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    const bool set = fd >= 0 && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        close(fd);
    return set;
}

inline bool writeFile(const QString &path, const QByteArray &contents, mode_t mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() &&
           file.flush() && chmod(QFile::encodeName(path).constData(), mode) == 0;
}

/// A character device that does what /dev/null does, in folder where the process may make one
/// (the superuser), so that a faulty write harms only the test's own node; elsewhere /dev/null
/// itself, which such a process cannot harm.
inline QString device(const QDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("device.bmp"));
    if (QFile::exists(path) ||
        mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return path;
    return QStringLiteral("/dev/null");
}

/// Makes a thing of this kind in folder and returns the path to write; empty on failure. Regular
/// files hold "old".
inline QString make(const QString &kind, const QDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("picture.bmp"));
    const QByteArray name = QFile::encodeName(path);
    bool made = true;
    if (kind == QLatin1String("nothing")) {
    } else if (kind == QLatin1String("regular file")) {
        made = writeFile(path, "old", 0644);
    } else if (kind == QLatin1String("private file")) {
        made = writeFile(path, "old", 0600);
    } else if (kind == QLatin1String("someone else's file")) {
        // The superuser can make one; anyone else gets a file of their own.
        made = writeFile(path, "old", 0664) &&
               (geteuid() != 0 || chown(name.constData(), 65534, 65534) == 0);
    } else if (kind == QLatin1String("file with an access control list")) {
        // Version 2; the owner, the user nobody and the mask may read and write, the group and
        // others read: as setfacl -m u:nobody:rw makes it.
        const std::uint32_t acl[] = {2,   0x60001, ~0u, 0x60002, 65534, 0x40004,
                                     ~0u, 0x60010, ~0u, 0x40020, ~0u};
        made = writeFile(path, "old", 0664) &&
               setxattr(name.constData(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    } else if (kind == QLatin1String("file with an extended attribute")) {
        made = writeFile(path, "old", 0644) &&
               setxattr(name.constData(), "user.velmora", "kept", 4, 0) == 0;
    } else if (kind == QLatin1String("append-only file") ||
               kind == QLatin1String("immutable file")) {
        made = writeFile(path, "old", 0644) &&
               setFlags(path, kind.startsWith(QLatin1Char('a')) ? FS_APPEND_FL : FS_IMMUTABLE_FL);
    } else if (kind == QLatin1String("set-user file")) {
        // A normal user's own file in a folder of theirs; the set bits last, as a change of
        // owner clears them.
        const QByteArray folderName = QFile::encodeName(folder.path());
        made = writeFile(path, "old", 0644) && chown(folderName.constData(), 65534, 65534) == 0 &&
               chown(name.constData(), 65534, 65534) == 0 && chmod(name.constData(), 06775) == 0;
    } else if (kind == QLatin1String("someone else's file in a sticky folder")) {
        // The superuser's file, written by a normal user: nobody else can make it.
        made = geteuid() == 0 && writeFile(path, "old", 0666) &&
               chmod(QFile::encodeName(folder.path()).constData(), 01777) == 0;
    } else if (kind == QLatin1String("read-only file")) {
        made = writeFile(path, "old", 0444);
    } else if (kind == QLatin1String("link to a regular file")) {
        made = writeFile(folder.filePath(QStringLiteral("target.bmp")), "old", 0640) &&
               symlink("target.bmp", name.constData()) == 0;
    } else if (kind == QLatin1String("pipe")) {
        made = mkfifo(name.constData(), 0644) == 0;
    } else if (kind == QLatin1String("socket")) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        made = std::size_t(name.size()) < sizeof address.sun_path;
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (made) {
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
            made = bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        }
        close(fd);
    } else if (kind == QLatin1String("device")) {
        return device(folder);
    } else if (kind == QLatin1String("link to a device")) {
        made = symlink(QFile::encodeName(device(folder)).constData(), name.constData()) == 0;
    } else if (kind == QLatin1String("folder")) {
        made = folder.mkdir(QStringLiteral("picture.bmp"));
    } else if (kind == QLatin1String("link to nothing")) {
        made = symlink("missing.bmp", name.constData()) == 0;
    } else if (kind == QLatin1String("missing folder")) {
        return folder.filePath(QStringLiteral("missing/picture.bmp"));
    } else if (kind == QLatin1String("name too long")) {
        return folder.filePath(QString(300, QLatin1Char('a')) + QStringLiteral(".bmp"));
    } else if (kind.endsWith(QLatin1String("of the longest name"))) {
        // 255 bytes: no room for a temporary name made longer from it.
        const QString longName = folder.filePath(QString(251, QLatin1Char('a')) + ".bmp");
        return kind.startsWith(QLatin1String("new")) || writeFile(longName, "old", 0644)
                   ? longName
                   : QString();
    } else {
        made = false;
    }
    return made ? path : QString();
}

/// What lies at path: its kind, mode, owner and, for a regular file, its contents; for a link,
/// where it points and what lies there.
inline QString describe(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (lstat(name.constData(), &status) != 0)
        return QStringLiteral("nothing");
    QString text;
    if (S_ISLNK(status.st_mode)) {
        char target[4096] = {};
        const ssize_t length = readlink(name.constData(), target, sizeof target - 1);
        text = QStringLiteral("link to %1, ").arg(QFile::decodeName(QByteArray(target, length)));
        if (stat(name.constData(), &status) != 0)
            return text + QStringLiteral("which leads nowhere");
    }
    text += QStringLiteral("mode %1, owner %2:%3")
                .arg(status.st_mode, 0, 8)
                .arg(status.st_uid)
                .arg(status.st_gid);
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        text +=
            QStringLiteral(", device %1,%2").arg(major(status.st_rdev)).arg(minor(status.st_rdev));
    if (S_ISREG(status.st_mode)) {
        QFile file(path);
        text += QStringLiteral(", holding '%1'")
                    .arg(file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll())
                                                        : QStringLiteral("?"));
        char value[64] = {};
        for (const char *attribute : {"user.velmora", "system.posix_acl_access"}) {
            const ssize_t length = getxattr(name.constData(), attribute, value, sizeof value);
            if (length >= 0) {
                text += QStringLiteral(", %1 %2").arg(
                    QLatin1String(attribute),
                    QString::fromLatin1(QByteArray(value, length).toHex()));
            }
        }
    }
    return text;
}

/// Every entry of folder, hidden ones included: a temporary file left behind shows here.
inline QStringList entries(const QDir &folder)
{
    return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace pathkinds
