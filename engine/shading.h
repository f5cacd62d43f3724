#pragma once

#include <cstdint>

/// Shading by capture time: the later a start point is captured, the darker its mass's colour.
/// Colours are red + 256 x green + 65536 x blue.

/// The brightness of a start point captured at step (1 when it starts inside a capture circle)
/// in a picture whose latest capture is at step latest: 1 - 0.75 ln(step) / ln(latest), from 1
/// for the earliest captures down to 0.25 for the latest; 1 when latest is 1.
double captureBrightness(std::uint64_t step, std::uint64_t latest);

/// colour with each of red, green and blue multiplied by brightness and rounded to the nearest
/// whole number.
std::int32_t scaledColour(std::int32_t colour, double brightness);

/// The latest step at which any of count start points was captured (outcomes as the maps hold
/// them: 0 never captured, k by mass k, 0xFF not computed); 1 when none was.
std::uint64_t latestCapture(const std::uint8_t *outcomes, const std::uint64_t *steps,
                            std::int64_t count);
