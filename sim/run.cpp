#include "run.h"

#include "number.h"
#include "scan.h"
#include "step.h"

namespace sim {

namespace {

/// The trajectory of the current start point, step by step with the window: reads the radii
/// afresh at every step, shows the live variables, moves the sprite and yields after every step
/// that ends without a capture. Returns false when a yield reports that the program is ending.
bool followTrajectory(simstate &s, Host &host, std::uint64_t limit)
{
    Trajectory trajectory;
    for (;;) {
        const std::int16_t radiusOne = host.value(Scrollbar::vscradred);
        const std::int16_t radiusTwo = host.value(Scrollbar::vscradblau);
        const bool goesOn = trajectory.advance(s, radiusOne, radiusTwo, limit);
        if (!goesOn && trajectory.capture() == Capture::none)
            return true; // no step taken: unpainted
        host.setField(Field::textrrot, realNumber(s.distrot));
        host.setField(Field::textrblau, realNumber(s.distblau));
        if (!goesOn) {
            const bool one = trajectory.capture() == Capture::one;
            host.setPixel(s.scanx, s.scany, one ? s.colorrot : s.colorblau);
            return true;
        }
        host.setField(Field::textfrot, realNumber(s.powerrot));
        host.setField(Field::textfblau, realNumber(s.powerblau));
        host.setField(Field::textlrot, realNumber(s.lambdarot));
        host.setField(Field::textxfrot, realNumber(s.xpowerrot));
        host.setField(Field::textyfrot, realNumber(s.ypowerrot));
        host.setField(Field::textlblau, realNumber(s.lambdablau));
        host.setField(Field::textxfblau, realNumber(s.xpowerblau));
        host.setField(Field::textyfblau, realNumber(s.ypowerblau));

        const float halfWidth = roundToSingle(host.spriteWidth() / 2.0f);
        const float halfHeight = roundToSingle(host.spriteHeight() / 2.0f);
        host.moveSprite(roundToSingle(static_cast<float>(s.xgreen - halfWidth)),
                        roundToSingle(static_cast<float>(s.ygreen - halfHeight)));
        if (!host.yield())
            return false;
    }
}

} // namespace

void drawCircleOne(const simstate &s, Host &host)
{
    host.drawCircle(s.xrot, s.yrot, host.value(Scrollbar::vscradred), s.colorrot);
}

void drawCircleTwo(const simstate &s, Host &host)
{
    host.drawCircle(s.xblau, s.yblau, host.value(Scrollbar::vscradblau), s.colorblau);
}

void drawCaptureCircles(const simstate &s, Host &host)
{
    drawCircleTwo(s, host);
    drawCircleOne(s, host);
}

void run(simstate &s, Host &host, std::uint64_t limit)
{
    const bool previousComplete = static_cast<float>(s.rowsdone) >= host.picture().height;
    s.rowsdone = 0;
    host.clear();
    drawCaptureCircles(s, host);
    if (previousComplete)
        return;

    host.setSpriteVisible(true);
    host.setPictureBorder(0);
    Scan scan(s, host.picture());
    for (;;) {
        switch (scan.advance(s, host.picture())) {
        case Scan::Next::columnLimit:
            return;
        case Scan::Next::complete:
            host.setSpriteVisible(false);
            return;
        case Scan::Next::point:
            break;
        }
        s.xgreen = s.scanx;
        s.ygreen = s.scany;
        host.setField(Field::textxgreen, singleNumber(s.scanx));
        host.setField(Field::textygreen, int16Number(s.scany));
        if (!followTrajectory(s, host, limit))
            return;
    }
}

void cmdstart_Click(simstate &s, Host &host)
{
    run(s, host);
}

void cmdstop_Click(Host &host)
{
    host.message(stopText, programTitle);
}

} // namespace sim
