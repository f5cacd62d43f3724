#pragma once

#include <QFont>
#include <QString>

class QWidget;

// What every window of the program shares.

/// The program's title, as message boxes show it: "Velmora".
QString programTitle();

/// The caption of every Velmora window: the program's title after two blanks.
QString windowCaption();

/// Gives a top-level window the program's caption and icon (velmoraIcon()).
void dressWindow(QWidget *window);

/// Arial at the given size in points, the font of every text on the program's windows.
QFont arial(qreal points, bool bold = false);

/// A secondary window that is open: shown and not closed. A closed window deletes itself only at
/// the next pass of the event loop, so it may still exist.
bool isOpen(const QWidget *window);

/// Places a window that is about to open centred over another, within the other's screen.
void centreOver(QWidget *window, const QWidget *over);

/// Shows a modeless window and brings it to the front.
void bringUp(QWidget *window);
