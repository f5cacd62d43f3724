#pragma once

#include <QIcon>
#include <QImage>

/// The window icon of the main window and both dialogs at size x size pixels: a symmetric
/// pattern in green, violet and blue on a transparent ground. size is even and at least 2; every
/// size comes from the same drawing, scaled, and 32 is the window's; sizes above 32 are
/// antialiased. Needs a QGuiApplication.
QImage velmoraIconImage(int size);

/// The 32 x 32 window icon of the main window and both dialogs. Needs a QGuiApplication.
QIcon velmoraIcon();
