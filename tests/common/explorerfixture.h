#pragma once

#include <QDebug>
#include <QFile>
#include <QProcess>
#include <QString>

// For the explorer's tests: velmora-render run on the command lines the explorer gives.

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
