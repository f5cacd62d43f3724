#pragma once

#include "engine/parameters.h"
#include "engine/view.h"

#include <QSize>

#include <optional>

/// Which start points a picture shows and how they lie on it: a view of the plane, pixel (i, j)
/// its start point (i, j); or the replica's picture rectangle, centred in its client area and
/// painted on the whole drawing surface of that size with the capture circles, each start point
/// on the pixel it starts from.
struct Framing
{
    QSize client = defaultClient;
    QSize picture{sim::defaultPictureWidth, sim::defaultPictureHeight};
    /// When set, the picture is this view; client and picture are then not used.
    std::optional<View> view;

    /// The start points, as a view: the one given, or the replica's picture rectangle.
    View startPoints() const
    {
        return view ? *view
                    : pictureView(client.width(), client.height(), picture.width(),
                                  picture.height());
    }
    /// The picture's size in pixels.
    QSize imageSize() const { return view ? QSize(view->width, view->height) : client; }
};
