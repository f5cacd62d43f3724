#include "outputcheck.h"

#include "picture/safefile.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

bool sameFile(const QString &a, const QString &b)
{
    struct stat first = {};
    struct stat second = {};
    const bool firstExists = stat(QFile::encodeName(a).constData(), &first) == 0;
    const bool secondExists = stat(QFile::encodeName(b).constData(), &second) == 0;
    if (firstExists || secondExists) {
        return firstExists && secondExists && first.st_dev == second.st_dev &&
               first.st_ino == second.st_ino;
    }
    const auto resolved = [](const QString &path) {
        const QFileInfo info(path);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                                : folder + QLatin1Char('/') + info.fileName();
    };
    return resolved(a) == resolved(b);
}

QString sameOutputs(const RenderJob &job)
{
    QStringList ends;
    if (job.statisticsToFile())
        ends << job.statistics;
    if (!job.plot.isEmpty())
        ends << job.plot;
    const auto clash = [](const QString &a, const QString &b) {
        return QStringLiteral("'%1' and '%2' are the same file; each output needs one of its "
                              "own.")
            .arg(a, b);
    };
    for (int i = 0; i < ends.size(); ++i) {
        for (int j = i + 1; j < ends.size(); ++j)
            if (sameFile(ends[i], ends[j]))
                return clash(ends[i], ends[j]);
    }
    for (int number = job.first(); number < job.end(); ++number) {
        const QString frame = job.frame(number).path;
        for (const QString &end : ends)
            if (sameFile(frame, end))
                return clash(frame, end);
    }
    return {};
}

QString unwritableOutput(const RenderJob &job)
{
    QStringList paths;
    if (job.first() < job.end()) {
        paths << job.frame(job.first()).path;
        // With a frame number of at least N digits, the last has the longest name.
        if (job.end() - 1 > job.first())
            paths << job.frame(job.end() - 1).path;
    }
    if (job.statisticsToFile())
        paths << job.statistics;
    if (!job.plot.isEmpty())
        paths << job.plot;
    for (const QString &path : paths) {
        if (const QString why = whyNotWritable(path); !why.isEmpty())
            return QStringLiteral("cannot write '%1': %2").arg(path, why);
    }
    return {};
}
