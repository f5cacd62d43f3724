#pragma once

#include "sim/number.h"

#include <QRect>

#include <cstdint>

class QFrame;
class QLineEdit;
class QScrollBar;
class QWidget;

// How the main window makes its controls: designed geometry in twips, the roles of its text
// boxes, and the numbers they show.

/// A control rectangle as designed, in twips: 15 to a pixel at 96 dots per inch.
struct Twips
{
    int left, top, width, height;
};

inline constexpr int twipsPerPixel = 15;

/// A designed length in twips, in whole pixels.
constexpr int pixels(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

/// A designed rectangle in pixels.
QRect pixelRect(const Twips &t);

/// The roles a text box plays on the main window.
enum class Box {
    valueField, ///< one number, written only by the program
    caption,    ///< a fixed caption next to a value field
    subHeading, ///< a fixed caption above a group of value fields
    heading,    ///< the title of a panel or of a part of one
};

/// A single-line text box in its role's font, colours and alignment. No text box reacts to
/// typing.
QLineEdit *createBox(QWidget *panel, const char *name, Box role, const Twips &geometry,
                     const char *text = "");

/// Makes frame a panel: a sunken frame at its designed place that shows or hides the controls
/// inside it.
void setUpPanel(QFrame *frame, const char *name, const Twips &geometry);

/// Shows n in a value field as text in the user's locale, from its first character.
void showNumber(QLineEdit *field, sim::Number n);

/// A scrollbar's Value, an int16.
std::int16_t int16Value(const QScrollBar *bar);
