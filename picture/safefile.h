#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

// Files are only ever created or replaced whole. The thing at the path may be replaced only when
// it is a regular file, directly or behind symbolic links; a link stays a link and its target is
// written. A file is read-only, and refused for every user, the superuser included, when none of
// its write bits (owner, group, others) is set; a file with a write bit is also refused when the
// system would not let this process write it. A link that leads nowhere is refused rather than
// creating its target.

/// Empty when a file at path may be written (created or replaced); otherwise the reason, in
/// words for the user (e.g. "it is a device", "the file is read-only", "No such file or
/// directory"). Besides looking at the path, creates and removes the file that a write would start
/// with, so a missing or read-only folder and a name the file system refuses are found out here.
QString whyNotWritable(const QString &path);

/// Writes a file through QSaveFile: writeContents writes everything to the device and returns
/// false on failure. Replaces only a regular file (following a symlink to one), keeps its
/// permission bits, leaves nothing partial. Returns false and sets *reason (if given) on failure.
/// The file that is replaced also keeps its owner and group where the system allows. A failed
/// allocation, in writeContents or here, is a failure like any other.
bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason = nullptr);
