#pragma once

#include "engine/shading.h"

#include <cstdint>

class Renderer;

/// Repaints every captured start point of a finished render in its mass's colour scaled by its
/// capture brightness (engine/shading.h); never-captured start points stay as they are. The
/// renderer must have kept its start points' steps.
void shadeCaptures(Renderer &renderer, std::int32_t colourOne, std::int32_t colourTwo);
