#include "outputs.h"

#include "files/safefile.h"


QString sameOutputs(const RenderJob &job)
{
    QStringList ends;
    if (job.statisticsToFile())
        ends << job.statistics;
    if (!job.plot.isEmpty())
        ends << job.plot;
    const auto clash = [](const QString &a, const QString &b) {
        return QStringLiteral("'%1' and '%2' are the same file; each output needs a file of its "
                              "own.")
            .arg(a, b);
    };
    for (int i = 0; i < ends.size(); ++i) {
        for (int j = i + 1; j < ends.size(); ++j)
            if (isSameFile(ends[i], ends[j]))
                return clash(ends[i], ends[j]);
    }
    for (int number = job.first(); number < job.end(); ++number) {
        const QString frame = job.frame(number).path;
        for (const QString &end : ends)
            if (isSameFile(frame, end))
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
