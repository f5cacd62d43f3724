#pragma once

#include "sim/simstate.h"

#include <QImage>

#include <cstdint>

/// The basins of the two fixed masses of s: every pixel of an image of the given size is a start
/// point (the image's top left is the client-area origin), coloured by the mass that captures
/// the moving mass released from it, or uncaptured when neither does within limit steps.
QImage basinPicture(const sim::simstate &s, QSize size, std::int16_t radiusOne,
                    std::int16_t radiusTwo, std::uint64_t limit, QRgb colourOne, QRgb colourTwo,
                    QRgb uncaptured);

/// The about dialog's 160 x 216 sample picture: green and purple basins, the two masses as discs
/// and red arrows labelled 1 to 4. Computed on the first call, in about a tenth of a second.
const QImage &aboutSamplePicture();

/// The about dialog's 201 x 178 diagram of the pulls on the moving mass and the point reached.
const QImage &aboutDiagram();

/// The exit dialog's 100 x 137 sample picture of red and blue basins, stored as a JPEG.
const QImage &exitSamplePicture();

/// Computes the three pictures above now, so that no dialog waits for them later. Call on the GUI
/// thread, once the application exists; later calls cost nothing.
void preparePictures();
