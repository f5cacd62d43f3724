#pragma once

// Helpers shared by the explorer's tests: a window shown at a size, and the last finished pass
// a computer delivered.

#include "explorer/explorerwindow.h"
#include "explorer/passcomputer.h"

#include <QTest>

namespace explorertest {

/// Shows window at size; false when it never came on screen.
inline bool show(ExplorerWindow &window, QSize size)
{
    window.resize(size);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

/// The window's place, its view fitting the plane rectangle at the view's size.
inline Place fitting(const ExplorerWindow &window, const QRectF &plane)
{
    Place place = window.place();
    place.view = Viewport::fitting(plane, place.view.size);
    return place;
}

/// The last finished pass a computer delivered, collected on the GUI thread.
struct Finished
{
    explicit Finished(PassComputer &computer)
    {
        QObject::connect(&computer, &PassComputer::passReady, &context,
                         [this](const PassResult &r) {
                             if (r.finished)
                                 last = r;
                         });
    }
    QObject context;
    PassResult last;
};

} // namespace explorertest
