#pragma once

#include <QString>
#include <QStringList>

/// --view-file FILE: the view, size and every parameter of a view file the explorer saved,
/// standing for the options that give them (--view, --size, --one, --two, ...) at its place in
/// the command line, so that an option after it overrides what the file says.

/// Replaces each --view-file FILE (or --view-file=FILE) in arguments by the options it stands
/// for. False, with one line naming the file and the problem in error, when a file cannot be
/// read or is not a valid view file.
bool expandViewFiles(QStringList &arguments, QString &error);

/// help with the entry for --view-file, in the form of the others, before --help's.
QString withViewFileHelp(QString help);
