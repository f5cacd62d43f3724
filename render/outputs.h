#pragma once

#include "job.h"

#include <QString>
#include <QStringList>

/// The program's arguments as its own, from argv: Qt is given none of them. False, with
/// *problem set, when one is not text in the system's encoding: a file name would then be
/// written other than as given.
bool readArguments(int argc, char **argv, QStringList &arguments, QString *problem);

/// The checks a job's files pass before anything is computed.

/// Empty when every file the job writes is a file of its own; otherwise one line naming two
/// that are the same file.
QString sameOutputs(const RenderJob &job);

/// Empty when the job's files can all be written as far as can be told beforehand: the first
/// frame and the one with the longest name (so the frames' folder and the longest name too), the
/// statistics and the plot. Otherwise "cannot write 'PATH': REASON" for the first that cannot.
QString unwritableOutput(const RenderJob &job);
