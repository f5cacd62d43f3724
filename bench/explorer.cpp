// bench_explorer [ROUNDS [MOVIE_FRAMES]]: the explorer's speed goals, offscreen, on a view of
// 1280 x 800 device pixels: the first coarse pass after a wheel notch and after a parameter
// change, the whole default view, a 50-point pan, the longest the GUI thread goes without serving
// a timer while passes run, and how long abandoned passes take to hand over to the next request;
// on an endless scene (both capture radii 1, so that some start points orbit for days) the first
// pass and the GUI thread's longest gap; and a zoom movie's frames a second at 1280 x 720, the
// first MOVIE_FRAMES (default 20) frames of a 10 s movie at 30 frames a second from Home 12 wheel
// notches in, encoded by ffmpeg. Prints the best, the median and the worst of each.

#include "explorer/explorerwindow.h"
#include "explorer/movierecorder.h"
#include "explorer/viewwidget.h"

#include <QApplication>
#include <QDockWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QSize viewSize(1280, 800);

struct Figures
{
    const char *what;
    std::vector<double> ms;
    const char *unit = "ms";
    void print() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        if (v.empty())
            return;
        std::printf("%-46s best %8.2f  median %8.2f  worst %8.2f %s  (%zu rounds)\n", what,
                    v.front(), v[v.size() / 2], v.back(), unit, v.size());
    }
};

/// Goes to place and returns the milliseconds until the first pass (finished: the last) of that
/// request is on the view; the GUI thread serves its events meanwhile.
double timeTo(ExplorerWindow &window, const Place &place, bool finished)
{
    QElapsedTimer timer;
    timer.start();
    double shown = -1;
    QObject context;
    QObject::connect(&window.computer(), &PassComputer::passReady, &context,
                     [&](const PassResult &r) {
                         if (r.request == window.computer().latest() && (!finished || r.finished))
                             shown = double(timer.nsecsElapsed()) / 1e6;
                     });
    window.go(place);
    while (shown < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // The pass reaches the screen with the next paint.
    window.view().repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// The longest the GUI thread goes without serving a 1 ms timer while this lives.
class GapWatch
{
public:
    GapWatch()
    {
        clock_.start();
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        tick_.start();
    }
    double longestMs() const { return double(longest_) / 1e6; }

private:
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    QTimer tick_;
};

/// Serves the GUI thread's events for ms.
void serve(int ms)
{
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

/// The longest GUI gap during a series of wheel notches and pans 40 ms apart from place, each
/// abandoning the last; the hand-overs seen go to handOver.
double zoomsAndPans(ExplorerWindow &window, Place place, QPointF cursor, Figures &handOver,
                    std::int64_t &lastHandOver)
{
    const GapWatch watch;
    for (int step = 0; step < 12; ++step) {
        place.view = step % 3 == 2 ? place.view.panned(40, -30)
                                   : place.view.zoomed(cursor, step < 6 ? 0.8 : 1.25);
        window.go(place);
        serve(40);
        const std::int64_t ns = window.computer().lastHandOverNs();
        if (ns >= 0 && ns != lastHandOver)
            handOver.ms.push_back(double(ns) / 1e6);
        lastHandOver = ns;
    }
    timeTo(window, place, true);
    return watch.longestMs();
}

/// The endless scene: the first pass after going there from home, and the GUI thread's longest
/// gap over the 2 s after.
void endless(ExplorerWindow &window, const Place &home, Figures &first, Figures &gap)
{
    timeTo(window, home, true);
    Place place = home;
    for (FixedMass &m : place.scene.trajectory.masses)
        m.radius = 1;
    first.ms.push_back(timeTo(window, place, false));
    const GapWatch watch;
    serve(2000);
    gap.ms.push_back(watch.longestMs());
}

/// Frames a second of the first frames of a 10 s zoom movie at 1280 x 720 and 30 frames a
/// second, from home zoomed into a boundary, while the GUI thread serves its events.
double movieFps(const Place &home, int frames)
{
    Place from = home;
    from.view = Viewport::fitting(QRectF(home.view.x, home.view.y,
                                         home.view.spacing * home.view.size.width(),
                                         home.view.spacing * home.view.size.height()),
                                  QSize(1280, 720));
    Viewport to = from.view;
    for (int notch = 0; notch < 12; ++notch)
        to = to.zoomed(QPointF(700, 330), 1 / ViewWidget::zoomStep);
    Recording recording{ZoomPath::between(from.view, to, 300), from.scene,
                        QDir::temp().filePath(QStringLiteral("velmora-bench-movie.mp4")), 30};
    MovieRecorder recorder;
    QElapsedTimer timer;
    timer.start();
    recorder.start(recording);
    while (recorder.framesDone() < frames && recorder.busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const int done = recorder.framesDone();
    recorder.cancel();
    while (recorder.busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done / seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("velmora-bench"));
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int movieFrames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    ExplorerWindow window;
    for (QDockWidget *dock : window.findChildren<QDockWidget *>())
        dock->hide();
    window.show();
    QCoreApplication::processEvents();
    window.resize(window.size() + viewSize - window.view().size());
    QCoreApplication::processEvents();
    std::printf("view %d x %d device pixels, %d threads\n", window.view().deviceSize().width(),
                window.view().deviceSize().height(), QThread::idealThreadCount());

    Figures whole{"whole default view, exact", {}};
    Figures notch{"first coarse pass after a wheel notch", {}};
    Figures change{"first coarse pass after a parameter change", {}};
    Figures pan{"50-point pan, new strips exact", {}};
    Figures gap{"longest GUI thread gap during zooms and pans", {}};
    Figures handOver{"abandoned passes hand over", {}};
    Figures endlessFirst{"endless scene: first pass shown (goal 150)", {}};
    Figures endlessGap{"endless scene: longest GUI gap (goal 16)", {}};
    Figures movie{"zoom movie 1280 x 720, frames a second", {}, "fps"};

    const Place home = window.home();
    std::int64_t lastHandOver = -1;
    for (int r = 0; r < rounds; ++r) {
        // Another moving mass in between, so that nothing of the default view is kept.
        Place other = home;
        other.scene.trajectory.movingMass = std::int16_t(51 + r);
        change.ms.push_back(timeTo(window, other, false));
        whole.ms.push_back(timeTo(window, home, true));
        const QPointF cursor(300 + 40 * r, 200 + 20 * r);
        Place zoomed = home;
        zoomed.view = home.view.zoomed(cursor, 1 / ViewWidget::zoomStep);
        notch.ms.push_back(timeTo(window, zoomed, false));
        timeTo(window, zoomed, true);
        Place panned = zoomed;
        panned.view = zoomed.view.panned(r % 2 ? 50 : -50, 0);
        pan.ms.push_back(timeTo(window, panned, true));
        gap.ms.push_back(zoomsAndPans(window, panned, cursor, handOver, lastHandOver));
        endless(window, home, endlessFirst, endlessGap);
    }
    timeTo(window, home, true);
    for (int r = 0; r < std::min(rounds, 5); ++r)
        movie.ms.push_back(movieFps(home, movieFrames));
    for (const Figures *f : {&notch, &change, &whole, &pan, &gap, &handOver, &endlessFirst,
                             &endlessGap, &movie})
        f->print();
    return 0;
}
