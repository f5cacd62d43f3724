#pragma once

#include <QIcon>

/// The 32 x 32 window icon of the main window and both dialogs: a symmetric pattern in green,
/// violet and blue. Needs a QGuiApplication.
QIcon velmoraIcon();
