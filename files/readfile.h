#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

/// Empty for a regular file; otherwise what the thing with this mode is, in words for the user
/// ("it is a pipe", "it is a device", ...).
QString specialKind(mode_t mode);

/// Reads the regular file at path (directly or behind symbolic links) into contents. Anything
/// else is refused without being read, so that a pipe or a device never blocks and never pours
/// out without end; at most limit + 1 bytes are read, whatever the file's size says. Returns
/// false, contents unchanged, with *problem (if given) naming why: the kind of thing it is, the
/// system's reason, or "it is larger than N bytes".
bool readRegularFile(const QString &path, qint64 limit, QByteArray &contents,
                     QString *problem = nullptr);
