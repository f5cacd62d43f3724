#pragma once

#include "scene.h"
#include "viewport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

/// A place in the plane: what the view shows and under which parameters.
struct Place
{
    Viewport view;
    Scene scene;
    bool operator==(const Place &o) const { return view == o.view && scene == o.scene; }
    bool operator!=(const Place &o) const { return !(*this == o); }
};

/// A view file: a small JSON object with the format's name and version, the viewport, its size
/// and every parameter, numbers in shortest round-trip form so that they read back to the same
/// bits. Version 1 names the parameters of two masses; version 2, written for any other number,
/// lists the masses, each with its position, weight, radius and colour.
namespace viewfile {

inline constexpr int version = 2;
/// The largest picture side a view file, and Save Picture, accepts.
inline constexpr int maxSide = 16384;

QByteArray write(const Place &place);
/// Reads a view file's contents into place. A file that is not a view file, one from a later
/// version and one with a value missing or out of range are refused: false, place unchanged, and
/// *problem names the problem.
bool read(const QByteArray &contents, Place &place, QString *problem);

/// The velmora-render options that render place: --view, --size and every parameter, the masses
/// as --mass when there are not two.
QStringList renderArguments(const Place &place);

/// The largest view file read, in bytes.
inline constexpr qint64 maxFileSize = 1 << 20;
/// Reads the view file at path into place; false, place unchanged, with *problem naming why
/// when it cannot be read or is not a valid view file. Only a regular file is read (a pipe or
/// a device is refused, naming its kind), and of it no more than maxFileSize + 1 bytes.
bool readViewFile(const QString &path, Place &place, QString *problem);

} // namespace viewfile
