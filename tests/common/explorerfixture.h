#pragma once

#include "explorer/explorerwindow.h"
#include "explorer/passcomputer.h"

#include <QFile>
#include <QObject>
#include <QProcess>
#include <QTest>

// What the explorer's tests drive: its window as a user sees it, the passes it computes and
// velmora-render run on the command lines it gives.

/// An explorer window of a fixed size on the screen; exposed() waits until it shows.
struct ShownExplorer
{
    explicit ShownExplorer(QSize size = QSize(640, 400))
    {
        window.resize(size);
        window.show();
    }
    bool exposed() { return QTest::qWaitForWindowExposed(&window); }

    ExplorerWindow window;
};

/// The last finished pass a computer delivered, collected on the GUI thread.
struct FinishedPass
{
    explicit FinishedPass(PassComputer &computer)
    {
        QObject::connect(&computer, &PassComputer::passReady, &context,
                         [this](const PassResult &r) {
                             if (r.finished)
                                 last = r;
                         });
    }
    QObject context;
    PassResult last;
};

/// The file velmora-render writes to output for a command line as Copy Command Line gives it,
/// run by a shell; empty when it fails.
inline QByteArray renderedByShell(const QString &commandLine, const QString &output)
{
    const QString program = QStringLiteral("velmora-render ");
    if (!commandLine.startsWith(program))
        return {};
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("\"$0\" ") + commandLine.mid(program.size()),
                   QStringLiteral(VELMORA_RENDER_PATH)});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning() << process.readAllStandardError();
        return {};
    }
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
