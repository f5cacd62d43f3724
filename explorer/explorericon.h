#pragma once

#include <QIcon>
#include <QImage>

/// Velmora Explorer's icon at size x size pixels: two fixed masses in red and blue inside the
/// interleaved rings of their basins, under a magnifying glass. size is at least 16; every size
/// is drawn from the same 32-pixel layout. Needs a QGuiApplication.
QImage explorerIconImage(int size);

/// The explorer's window icon at the sizes a window frame and a task bar ask for.
QIcon explorerIcon();
