#pragma once

#include <QColor>

/// The system's colour for the border of the active window: the sub-headings of the variables
/// panel use it. Windows reports it; elsewhere it is the classic grey, RGB (212, 208, 200).
QColor activeBorderColour();
