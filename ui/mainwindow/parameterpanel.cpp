#include "parameterpanel.h"

#include "controls.h"
#include "drawingarea.h"
#include "parameterscrollbar.h"
#include "pictureframe.h"

#include "engine/parameters.h"
#include "sim/defaults.h"
#include "sim/run.h"

#include <QLineEdit>
#include <QLocale>

#include <array>
#include <cmath>

namespace {

/// A scrollbar's range and its changes per arrow click and per trough click.
struct Range
{
    int min, max, smallChange, largeChange;
};

/// One parameter: caption box, value field and scrollbar, and the handler of the scrollbar.
struct Parameter
{
    const char *caption;
    const char *captionText;
    Twips captionBox;
    const char *field;
    QLineEdit *ParameterPanel::*fieldMember;
    Twips fieldBox;
    const char *bar;
    QScrollBar *ParameterPanel::*barMember;
    int barTop; ///< every scrollbar is 1215 x 200 twips at the panel's left margin
    Range range;
    void (ParameterPanel::*handler)();
};

/// The range of a scrollbar whose Value the engine's parameter table describes.
Range tableRange(const char *name, int smallChange, int largeChange)
{
    const ParameterInfo &p = *findParameter(name);
    return {int(p.min), int(p.max), smallChange, largeChange};
}

/// A heading box above the parameter with the given index.
struct Heading
{
    std::size_t before;
    const char *name;
    const char *text;
    int top;
};

} // namespace

ParameterPanel::ParameterPanel(sim::simstate &state, DrawingArea &drawingArea, PictureFrame &Image1,
                               QWidget *parent)
    : QFrame(parent), state_(state), drawingArea_(drawingArea), Image1(Image1)
{
    setUpPanel(this, "frmmasses", {0, 0, 1455, 10455});

    // A control's name and the member that points to it, so that the two never differ.
#define CONTROL(name) #name, &ParameterPanel::name
    // clang-format off
    static const std::array<Parameter, 11> parameters = {{
        {"txtmassegreen", "mov mass in kg", {120, 600, 2055, 255},
         CONTROL(textmgreen), {120, 840, 1215, 255}, CONTROL(vscmassegreen), 1080,
         tableRange("mass-moving", 1, 1), &ParameterPanel::vscmassegreen_Change},
        {"txtmasserot", "mass one in kg", {120, 1320, 1695, 255},
         CONTROL(textmrot), {120, 1560, 1215, 255}, CONTROL(vscmasserot), 1800,
         tableRange("mass-one", 1, 1), &ParameterPanel::vscmasserot_Change},
        {"txtmasseblau", "mass two in kg", {120, 2040, 1695, 255},
         CONTROL(textmblau), {120, 2280, 1215, 240}, CONTROL(vscmasseblau), 2520,
         tableRange("mass-two", 1, 1), &ParameterPanel::vscmasseblau_Change},
        {"txtxxrot", "x pos one", {120, 3120, 735, 255},
         CONTROL(textxxrot), {840, 3120, 495, 255}, CONTROL(vscxposred), 3360, {0, 2000, 1, 10},
         &ParameterPanel::vscxposred_Change},
        {"txtyyrot", "y pos one", {120, 3600, 735, 210},
         CONTROL(textyyrot), {840, 3600, 495, 255}, CONTROL(vscyposred), 3840, {0, 2000, 1, 10},
         &ParameterPanel::vscyposred_Change},
        {"txtxblau", "x pos two", {120, 4080, 735, 255},
         CONTROL(textxblau), {840, 4080, 495, 255}, CONTROL(vscxposblue), 4320, {0, 2000, 1, 10},
         &ParameterPanel::vscxposblue_Change},
        {"txtyblau", "y pos two", {120, 4560, 735, 255},
         CONTROL(textyblau), {840, 4560, 495, 240}, CONTROL(vscyposblue), 4800, {0, 2000, 1, 10},
         &ParameterPanel::vscyposblue_Change},
        {"txtradiusrot", "rad. one", {120, 5400, 735, 210},
         CONTROL(textradiusrot), {840, 5400, 495, 255}, CONTROL(vscradred), 5640,
         tableRange("radius-one", 1, 10), &ParameterPanel::vscradred_Change},
        {"txtradiusblau", "rad. two", {120, 5880, 855, 210},
         CONTROL(textradiusblau), {840, 5880, 495, 255}, CONTROL(vscradblau), 6120,
         tableRange("radius-two", 1, 10), &ParameterPanel::vscradblau_Change},
        {"txtpicsizex", "pic x", {120, 6360, 735, 210},
         CONTROL(Textpicsizex), {840, 6360, 495, 255}, CONTROL(vscpicsizex), 6600, {2, 200, 2, 10},
         &ParameterPanel::vscpicsizex_Change},
        {"txtpicsizey", "pic y", {120, 6840, 735, 210},
         CONTROL(Textpicsizey), {840, 6840, 495, 255}, CONTROL(vscpicsizey), 7080, {2, 1000, 1, 10},
         &ParameterPanel::vscpicsizey_Change},
    }};
    // clang-format on
#undef CONTROL
    static constexpr std::array<Heading, 3> headings = {{
        {0, "Text2", "Masses", 240},
        {3, "Text3", "Positions", 2760},
        {7, "Text10", "Size", 5040},
    }};

    // Created top to bottom, which is also the Tab order; the caption boxes take no part in it.
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        for (const Heading &h : headings)
            if (h.before == i)
                createBox(this, h.name, Box::heading, {120, h.top, 1215, 270}, h.text);
        const Parameter &p = parameters[i];
        createBox(this, p.caption, Box::caption, p.captionBox, p.captionText)
            ->setFocusPolicy(Qt::ClickFocus);
        this->*p.fieldMember = createBox(this, p.field, Box::valueField, p.fieldBox);
        QScrollBar *bar = new ParameterScrollBar(p.range.min, p.range.max, p.range.smallChange,
                                                 p.range.largeChange, this);
        bar->setObjectName(QString::fromLatin1(p.bar));
        bar->setGeometry(pixelRect({120, p.barTop, 1215, 200}));
        connect(bar, &QScrollBar::valueChanged, this, p.handler);
        this->*p.barMember = bar;
    }
}

void ParameterPanel::drawCircleOne()
{
    sim::drawCircleOne(state_, drawingArea_, int16Value(vscradred));
}

void ParameterPanel::drawCircleTwo()
{
    sim::drawCircleTwo(state_, drawingArea_, int16Value(vscradblau));
}

void ParameterPanel::drawCaptureCircles()
{
    sim::drawCaptureCircles(state_, drawingArea_, int16Value(vscradred), int16Value(vscradblau));
}

double ParameterPanel::massThroughField(const QScrollBar *bar, QLineEdit *field, double unit)
{
    showNumber(field, sim::int16Number(int16Value(bar)));
    return QLocale().toDouble(field->text()) * unit;
}

void ParameterPanel::showPosition(Mass mass)
{
    if (mass == Mass::one) {
        showNumber(textxxrot, sim::int16Number(state_.xrot));
        showNumber(textyyrot, sim::int16Number(state_.yrot));
    } else {
        showNumber(textxblau, sim::int16Number(state_.xblau));
        showNumber(textyblau, sim::int16Number(state_.yblau));
    }
}

void ParameterPanel::redrawCircles(Mass first, const QScrollBar *bar, QLineEdit *field)
{
    const auto draw = [this](Mass mass) {
        if (mass == Mass::one)
            drawCircleOne();
        else
            drawCircleTwo();
    };
    draw(first);
    showNumber(field, sim::int16Number(int16Value(bar)));
    draw(first == Mass::one ? Mass::two : Mass::one);
}

void ParameterPanel::resizeAndCentre(Qt::Orientation axis, const QScrollBar *bar)
{
    const float clientWidth = static_cast<float>(drawingArea_.width());
    const float clientHeight = static_cast<float>(drawingArea_.height());
    if (axis == Qt::Horizontal) {
        Image1.setPictureWidth(int16Value(bar));
        Image1.setLeft(sim::centredPicture(clientWidth, clientHeight, Image1.pictureWidth(),
                                           Image1.pictureHeight())
                           .left);
    } else {
        Image1.setPictureHeight(int16Value(bar));
        Image1.setTop(sim::centredPicture(clientWidth, clientHeight, Image1.pictureWidth(),
                                          Image1.pictureHeight())
                          .top);
    }
}

// The handlers ---------------------------------------------------------------------------------

void ParameterPanel::vscmasserot_Change()
{
    state_.massrot = massThroughField(vscmasserot, textmrot, sim::fixedMassUnit);
    showNumber(textmrot, sim::realNumber(state_.massrot));
}

void ParameterPanel::vscmasseblau_Change()
{
    state_.massblau = static_cast<std::int32_t>(
        std::lround(massThroughField(vscmasseblau, textmblau, sim::fixedMassUnit)));
    showNumber(textmblau, sim::int32Number(state_.massblau));
}

void ParameterPanel::vscmassegreen_Change()
{
    state_.massgreen = massThroughField(vscmassegreen, textmgreen, sim::movingMassUnit);
    showNumber(textmgreen, sim::realNumber(state_.massgreen));
}

void ParameterPanel::vscradred_Change()
{
    drawingArea_.clear();
    redrawCircles(Mass::one, vscradred, textradiusrot);
}

void ParameterPanel::vscradblau_Change()
{
    drawingArea_.clear();
    redrawCircles(Mass::two, vscradblau, textradiusblau);
}

void ParameterPanel::vscxposred_Change()
{
    drawingArea_.clear();
    state_.xrot = int16Value(vscxposred);
    showPosition(Mass::one);
    redrawCircles(Mass::one, vscxposred, textxxrot);
}

void ParameterPanel::vscyposred_Change()
{
    drawingArea_.clear();
    state_.yrot = int16Value(vscyposred);
    showPosition(Mass::one);
    redrawCircles(Mass::one, vscyposred, textyyrot);
}

void ParameterPanel::vscxposblue_Change()
{
    drawingArea_.clear();
    state_.xblau = int16Value(vscxposblue);
    showPosition(Mass::two);
    redrawCircles(Mass::two, vscxposblue, textxblau);
}

void ParameterPanel::vscyposblue_Change()
{
    drawingArea_.clear();
    state_.yblau = int16Value(vscyposblue);
    showPosition(Mass::two);
    redrawCircles(Mass::two, vscyposblue, textyblau);
}

void ParameterPanel::vscpicsizex_Change()
{
    Image1.setBorderStyle(1);
    showNumber(Textpicsizex, sim::int16Number(int16Value(vscpicsizex)));
    resizeAndCentre(Qt::Horizontal, vscpicsizex);
}

void ParameterPanel::vscpicsizey_Change()
{
    Image1.setBorderStyle(1);
    showNumber(Textpicsizey, sim::int16Number(int16Value(vscpicsizey)));
    resizeAndCentre(Qt::Vertical, vscpicsizey);
}
