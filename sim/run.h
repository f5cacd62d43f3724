#pragma once

#include "canvas.h"
#include "host.h"
#include "simstate.h"

#include <cstdint>

namespace sim {

/// The text and title of the box that Stop shows.
inline constexpr std::string_view stopText = "                          stop";
inline constexpr std::string_view programTitle = "Velmora";

/// Computes the picture and paints it on canvas, or only clears the canvas when the last picture
/// is complete. Every step that ends without a capture writes the ten live variables, moves the
/// sprite and yields once, so any handler, a nested run included, may change s in between; the
/// next step reads it afresh. Returns when the picture is complete, after clearing only, when
/// the picture rectangle was widened past the scan's end column, or when a yield reports that
/// the program is ending.
void run(simstate &s, Host &host, Canvas &canvas, std::uint64_t limit = stepLimit);

/// Start / Clearscreen: runs the picture.
void cmdstart_Click(simstate &s, Host &host, Canvas &canvas);

/// Stop: shows the stop message; a run in progress holds until it is closed.
void cmdstop_Click(Host &host);

/// The capture circle of mass one: centre (xrot, yrot), the given radius (the Value of
/// vscradred), colorrot.
void drawCircleOne(const simstate &s, Canvas &canvas, std::int16_t radius);
/// The capture circle of mass two: centre (xblau, yblau), the given radius (the Value of
/// vscradblau), colorblau.
void drawCircleTwo(const simstate &s, Canvas &canvas, std::int16_t radius);
/// Both capture circles, mass two's first, as a run and the colour commands draw them.
void drawCaptureCircles(const simstate &s, Canvas &canvas, std::int16_t radiusOne,
                        std::int16_t radiusTwo);

} // namespace sim
