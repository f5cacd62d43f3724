#include "outputs.h"

#include "commandline.h"

#include "picture/safefile.h"

QString sameOutputTwice(const RenderCommandLine &commandLine)
{
    QStringList others; // the files besides the picture or the frames
    if (!commandLine.statistics().isEmpty() && commandLine.statistics() != QStringLiteral("-"))
        others.append(commandLine.statistics());
    if (!commandLine.plot().isEmpty())
        others.append(commandLine.plot());
    QStringList pictures{commandLine.output()};
    if (const SweepRange *range = commandLine.sweep()) {
        pictures.clear();
        for (int i = 0; i < range->frameCount(); ++i)
            pictures.append(commandLine.frames().fileName(i));
    }
    // Frames differ from each other by their numbers.
    for (int i = 0; i < others.size(); ++i) {
        for (const QStringList &against : {pictures, others.mid(i + 1)}) {
            for (const QString &path : against) {
                if (isSameFile(others[i], path)) {
                    return QStringLiteral("'%1' and '%2' are the same file; each output needs a "
                                          "file of its own.")
                        .arg(path, others[i]);
                }
            }
        }
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
