#include "controls.h"

#include "systemcolours.h"

#include "ui/dialogs/look.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>

namespace {

/// The pixels QLineEdit keeps between its frame and its text, and those a classic text box
/// keeps.
constexpr int lineEditMargin = 2;
constexpr int classicTextMargin = 1;

} // namespace

QRect pixelRect(const Twips &t)
{
    return QRect(pixels(t.left), pixels(t.top), pixels(t.width), pixels(t.height));
}

QLineEdit *createBox(QWidget *panel, const char *name, Box role, const Twips &geometry,
                     const char *text)
{
    auto *box = new QLineEdit(QString::fromUtf8(text), panel);
    box->setObjectName(QString::fromUtf8(name));
    box->setReadOnly(true);
    box->setGeometry(pixelRect(geometry));
    box->setFont(arial(role == Box::heading ? 9 : 8.25));
    box->setAlignment(role == Box::heading ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    // A classic text box keeps one pixel between its frame and its text, QLineEdit two, which
    // cuts captions that fit the designed widths with Arial's metrics ("x pos two" in 735
    // twips). The text is clipped at the frame as before.
    box->setTextMargins(classicTextMargin - lineEditMargin, 0, 0, 0);
    box->setCursorPosition(0);

    if (role != Box::valueField) {
        const QPalette menuBar = QApplication::palette("QMenuBar");
        QPalette colours = box->palette();
        switch (role) {
        case Box::caption:
            colours.setColor(QPalette::Base, menuBar.color(QPalette::Window));
            break;
        case Box::subHeading:
            colours.setColor(QPalette::Base, activeBorderColour());
            break;
        case Box::heading:
            colours.setColor(QPalette::Base, menuBar.color(QPalette::Window));
            colours.setColor(QPalette::Text, menuBar.color(QPalette::ButtonText));
            break;
        case Box::valueField:
            break;
        }
        box->setPalette(colours);
    }
    return box;
}

void setUpPanel(QFrame *frame, const char *name, const Twips &geometry)
{
    frame->setObjectName(QString::fromUtf8(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    frame->setGeometry(pixelRect(geometry));
}

void showNumber(QLineEdit *field, sim::Number n)
{
    const std::string separator = QLocale().decimalPoint().toStdString();
    field->setText(QString::fromStdString(sim::numberText(n, separator)));
    field->setCursorPosition(0);
}

std::int16_t int16Value(const QScrollBar *bar)
{
    return static_cast<std::int16_t>(bar->value());
}
