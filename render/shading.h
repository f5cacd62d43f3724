#pragma once

#include <cstdint>

class Renderer;

/// Shading by capture time: the later a start point is captured, the darker its mass's colour.

/// The brightness of a start point captured at step (1 when it starts inside a capture circle)
/// in a picture whose latest capture is at step latest: 1 - 0.75 ln(step) / ln(latest), from 1
/// for the earliest captures down to 0.25 for the latest; 1 when latest is 1.
double captureBrightness(std::uint64_t step, std::uint64_t latest);

/// colour (red + 256 x green + 65536 x blue) with each of red, green and blue multiplied by
/// brightness and rounded to the nearest whole number.
std::int32_t scaledColour(std::int32_t colour, double brightness);

/// Repaints every captured start point of a finished render in its mass's colour scaled by its
/// capture brightness; never-captured start points stay as they are. The renderer must have
/// kept its start points' steps.
void shadeCaptures(Renderer &renderer, std::int32_t colourOne, std::int32_t colourTwo);
