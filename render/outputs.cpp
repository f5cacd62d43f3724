#include "outputs.h"

#include "files/safefile.h"

#include <QHash>

QString sameOutputs(const RenderJob &job)
{
    QStringList paths;
    if (job.movie)
        paths << job.output;
    for (int number = job.first(); number < job.end() && !job.movie; ++number)
        paths << job.frame(number).path;
    if (job.statisticsToFile())
        paths << job.statistics;
    if (!job.plot.isEmpty())
        paths << job.plot;
    // Frames among each other too: a link can make two of them one file.
    QHash<QByteArray, QString> seen;
    for (const QString &path : paths) {
        const QByteArray identity = fileIdentity(path);
        if (const auto earlier = seen.constFind(identity); earlier != seen.constEnd()) {
            return QStringLiteral("'%1' and '%2' are the same file; each output needs a file of "
                                  "its own.")
                .arg(*earlier, path);
        }
        seen.insert(identity, path);
    }
    return {};
}

QString unwritableOutput(const RenderJob &job)
{
    QStringList paths;
    if (job.movie) {
        paths << job.output;
    } else if (job.first() < job.end()) {
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

bool readArguments(int argc, char **argv, QStringList &arguments, QString *problem)
{
    arguments.clear();
    for (int i = 0; i < argc; ++i) {
        const QByteArray given(argv[i]);
        const QString text = QString::fromLocal8Bit(given);
        if (text.toLocal8Bit() != given) {
            *problem = QStringLiteral("argument %1 ('%2') is not text in this system's encoding; "
                                      "file names must be.")
                           .arg(i)
                           .arg(text);
            return false;
        }
        arguments.append(text);
    }
    return true;
}
