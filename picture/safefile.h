#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

/// Empty when a file at path may be written (created or replaced); otherwise the reason.
QString whyNotWritable(const QString &path);
/// Writes a file through QSaveFile: writeContents writes everything to the device and returns
/// false on failure. Replaces only a regular file, keeps its permission bits, leaves nothing
/// partial. Returns false and sets *reason (if given) on failure.
bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason = nullptr);
