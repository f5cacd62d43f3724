#pragma once

#include <QString>
#include <QStringList>

class RenderCommandLine;

/// The program's arguments as its own, from argv: Qt is given none of them. False, with
/// *problem set, when one is not text in the system's encoding: a file name would then be
/// written other than as given.
bool readArguments(int argc, char **argv, QStringList &arguments, QString *problem);

/// Empty when every file the command line writes (OUTPUT or every frame, --stats, --plot) is
/// a file of its own; otherwise which two name the same file, which is bad input.
QString sameOutputTwice(const RenderCommandLine &commandLine);
