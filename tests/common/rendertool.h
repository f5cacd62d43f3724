#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include <csignal>
#include <sys/resource.h>

// velmora-render run as a program, for the tests of what it writes and says.

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Starts the renderer without a display or a platform chosen for it, as on a server.
inline void startTool(QProcess &process, const QStringList &arguments,
                      rlim_t fileSizeLimit = RLIM_INFINITY, const QString &setup = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([fileSizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    if (setup.isEmpty()) {
        process.start(QStringLiteral(VELMORA_RENDER_PATH), arguments);
        return;
    }
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"), setup + QStringLiteral("; exec \"$0\" \"$@\""),
                              QStringLiteral(VELMORA_RENDER_PATH)} +
                      arguments);
}

/// Waits for the renderer; one that ends by a signal, or does not end, has exit code -1.
inline Outcome finish(QProcess &process)
{
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

/// Runs the renderer, after the shell commands in setup when there are any (limits,
/// redirections). With fileSizeLimit, every file it writes fails past that many bytes, as on a
/// full disk.
inline Outcome runTool(const QStringList &arguments, const QString &setup = {},
                       rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess process;
    startTool(process, arguments, fileSizeLimit, setup);
    return finish(process);
}

/// The renderer with the words of line as its arguments, in folder.
inline Outcome runToolIn(const QString &folder, const QString &line)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    startTool(process, line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    return finish(process);
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The names in a folder, hidden ones included.
inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

/// The lines of text, without the last one's line break.
inline QList<QByteArray> lines(const QByteArray &text)
{
    QList<QByteArray> list = text.split('\n');
    if (!list.isEmpty() && list.constLast().isEmpty())
        list.removeLast();
    return list;
}

/// A test whose command lines write into a temporary folder of each test function's own.
class ToolFolderTest : public QObject
{
protected:
    /// For init().
    bool makeFolder()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        return dir_->isValid();
    }
    /// The words of line, with @ standing for the temporary folder.
    QStringList arguments(const QString &line) const
    {
        return QString(line)
            .replace(QLatin1Char('@'), dir_->path())
            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

/// The smallest address space, in kB and to 32 MB, in which the renderer starts at all.
inline qint64 smallestAddressSpace()
{
    for (qint64 kb = 32768; kb <= 4194304; kb += 32768)
        if (runTool({QStringLiteral("--version")}, QStringLiteral("ulimit -v %1").arg(kb))
                .exitCode == 0)
            return kb;
    return -1;
}
