#pragma once

#include "job.h"

#include <QString>

/// The checks a job's files pass before anything is computed.

/// Whether two paths name the same file: the same device and inode where both exist, otherwise
/// the same name in the same folder once links and dots are resolved.
bool sameFile(const QString &a, const QString &b);

/// Empty when every file the job writes is a file of its own; otherwise one line naming two
/// that are the same file.
QString sameOutputs(const RenderJob &job);

/// Empty when the job's files can all be written as far as can be told beforehand: the first
/// frame and the one with the longest name (so the frames' folder and the longest name too), the
/// statistics and the plot. Otherwise "cannot write 'PATH': REASON" for the first that cannot.
QString unwritableOutput(const RenderJob &job);
