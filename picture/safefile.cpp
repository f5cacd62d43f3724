#include "safefile.h"

#include <QFileInfo>
#include <QSaveFile>

QString whyNotWritable(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("not a regular file");
    if (target.exists() && !target.isWritable())
        return QStringLiteral("the file is read-only");
    // A probe that is discarded and leaves nothing behind.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.cancelWriting();
    return {};
}

bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &)> &writeContents,
                     QString *reason)
{
    const QString why = whyNotWritable(path);
    QSaveFile file(path);
    bool written = why.isEmpty() && file.open(QIODevice::WriteOnly);
    // commit() can report success after a failed final flush on a full disk, so the flush is
    // checked before committing.
    written = written && writeContents(file) && file.flush();
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written && reason)
        *reason = why.isEmpty() ? file.errorString() : why;
    return written;
}
