#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;

/// The 32 x 32 window icon of the main window and both dialogs: a symmetric pattern in green,
/// violet and blue. Needs a QGuiApplication.
QIcon velmoraIcon();

/// The program's title, as message boxes show it: "Velmora".
QString programTitle();

/// The caption of every Velmora window: the program's title after two blanks.
QString windowCaption();

/// Gives a top-level window the program's caption and icon.
void dressWindow(QWidget *window);

/// Arial at the given size in points, the font of every text on the program's windows.
QFont arial(qreal points, bool bold = false);
