#include "variablespanel.h"

#include "controls.h"

#include <QLineEdit>

namespace {

/// One text box of the panel; field is the sim::Field a value field shows, -1 for the others.
struct BoxRow
{
    const char *name;
    Box role;
    const char *text;
    Twips geometry;
    int field;
};

constexpr int noField = -1;

constexpr int field(sim::Field f)
{
    return static_cast<int>(f);
}

} // namespace

VariablesPanel::VariablesPanel(QWidget *parent) : QFrame(parent)
{
    setUpPanel(this, "frmvariables", {1440, 5400, 9015, 1935});

    // Three columns of caption boxes with value fields to their right, under sub-headings.
    using F = sim::Field;
    // clang-format off
    static constexpr BoxRow boxes[] = {
        {"Text5", Box::subHeading, " (x,y) position of moving mass in pixel", {120, 240, 2775, 255},
         noField},
        {"txtxgrün", Box::caption, "x pos mov", {120, 480, 975, 255}, noField},
        {"textxgreen", Box::valueField, "", {1080, 480, 1815, 270}, field(F::textxgreen)},
        {"txtygrün", Box::caption, "y pos mov", {120, 720, 975, 255}, noField},
        {"textygreen", Box::valueField, "", {1080, 720, 1815, 255}, field(F::textygreen)},
        {"Text6", Box::subHeading, "power of gravitation in m³ / kg * s²", {120, 1080, 2775, 255},
         noField},
        {"txtfrot", Box::caption, "power one", {120, 1320, 975, 255}, noField},
        {"textfrot", Box::valueField, "", {1080, 1320, 1815, 255}, field(F::textfrot)},
        {"txtfblau", Box::caption, "power two", {120, 1560, 975, 255}, noField},
        {"textfblau", Box::valueField, "", {1080, 1560, 1815, 255}, field(F::textfblau)},

        {"Text1", Box::heading, "Variables", {3000, 240, 2775, 270}, noField},
        {"Text7", Box::subHeading, "Current (x,y) position of power", {3000, 600, 2775, 255},
         noField},
        {"txtxfrot", Box::caption, "xpower one", {3000, 840, 975, 255}, noField},
        {"textxfrot", Box::valueField, "", {3960, 840, 1815, 255}, field(F::textxfrot)},
        {"txtyfrot", Box::caption, "ypower one", {3000, 1080, 975, 255}, noField},
        {"textyfrot", Box::valueField, "", {3960, 1080, 1815, 255}, field(F::textyfrot)},
        {"txtxfblau", Box::caption, "xpower two", {3000, 1320, 975, 255}, noField},
        {"textxfblau", Box::valueField, "", {3960, 1320, 1815, 255}, field(F::textxfblau)},
        {"txtyfblau", Box::caption, "ypower two", {3000, 1560, 975, 255}, noField},
        {"textyfblau", Box::valueField, "", {3960, 1560, 1815, 255}, field(F::textyfblau)},

        {"Text8", Box::subHeading, "Current distance", {5880, 240, 2775, 255}, noField},
        {"txtrrot", Box::caption, "dist. to one", {5880, 480, 975, 255}, noField},
        {"textrrot", Box::valueField, "", {6840, 480, 1815, 255}, field(F::textrrot)},
        {"txtrblau", Box::caption, "dist. to two", {5880, 720, 975, 255}, noField},
        {"textrblau", Box::valueField, "", {6840, 720, 1815, 255}, field(F::textrblau)},
        {"Text9", Box::subHeading, "Ratio of distances", {5880, 1080, 2775, 255}, noField},
        {"txtlrot", Box::caption, "lambda one", {5880, 1320, 975, 255}, noField},
        {"textlrot", Box::valueField, "", {6840, 1320, 1815, 255}, field(F::textlrot)},
        {"txtlblau", Box::caption, "lambda two", {5880, 1560, 975, 255}, noField},
        {"textlblau", Box::valueField, "", {6840, 1560, 1815, 255}, field(F::textlblau)},
    };
    // clang-format on

    for (const BoxRow &row : boxes) {
        QLineEdit *box = createBox(this, row.name, row.role, row.geometry, row.text);
        // The sub-headings take no part in the Tab order.
        if (row.role == Box::subHeading)
            box->setFocusPolicy(Qt::ClickFocus);
        if (row.field != noField)
            fields_[static_cast<std::size_t>(row.field)] = box;
    }
}
