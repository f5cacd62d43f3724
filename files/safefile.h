#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

// Files are only ever created or replaced whole. The thing at the path may be replaced only when
// it is a regular file, directly or behind symbolic links; a link stays a link and its target is
// written. A link is followed once, when the file is examined: the file replaced is the one that
// was examined, even when the link or the file changes while the new one is written. A file is
// read-only, and refused for every user, the superuser included, when none of its write bits
// (owner, group, others) is set; a file with a write bit is also refused when the system would
// not let this process write it or replace it (append-only and immutable files, another user's
// file in a sticky folder). A link that leads nowhere is refused rather than creating its
// target.

/// Empty when a file at path may be written (created or replaced); otherwise the reason, in
/// words for the user (e.g. "it is a device", "the file is read-only", "No such file or
/// directory"). Besides looking at the path, creates and removes the file that a write would start
/// with, so a missing or read-only folder and a name the file system refuses are found out here.
QString whyNotWritable(const QString &path);

/// Writes a file: writeContents writes everything to the device and returns false on failure.
/// Replaces only a regular file (following a symlink to one), leaves nothing partial, not even
/// when the program is ended by INT, TERM or HUP meanwhile. Returns false and sets *reason (if
/// given) on failure, with the system's reason where a write failed. The file that is replaced
/// keeps its permission bits (set-user and set-group bits included), its extended attributes
/// and access control list, and its owner and group, each where the system allows. Once
/// written, the file and its folder are synced to the disk. A failed allocation, in
/// writeContents or here, is a failure like any other.
bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason = nullptr);

/// The same, for contents already in memory.
bool writeBytesSafely(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

/// The same, for a writer that needs the file itself (to seek in it, or to hand it to another
/// program): writeContents writes through the descriptor, open for writing and reading again
/// through /proc/self/fd, and returns empty, or the problem that becomes *reason.
bool writeFileThrough(const QString &path, const std::function<QString(int)> &writeContents,
                      QString *reason = nullptr);

/// What a path names, as a key: the same for two paths exactly when isSameFile() says they name
/// the same file.
QByteArray fileIdentity(const QString &path);

/// Whether two paths name the same file: the same device and inode where either exists, the
/// same name in the same folder where neither does yet.
bool isSameFile(const QString &a, const QString &b);
