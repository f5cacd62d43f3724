#include "scene/painter.h"

#include "picture/surface.h"

#include <QTest>

Q_DECLARE_METATYPE(PointMaps)

namespace {

constexpr std::int32_t red = 0x0000FF;   // packed: red + 256 green + 65536 blue
constexpr std::int32_t blue = 0xFF0000;
constexpr std::int32_t grey = 0x808080;
constexpr std::uint8_t pending = 0xFF;

PointMaps row(std::vector<std::uint8_t> outcomes, std::vector<std::uint64_t> steps)
{
    PointMaps maps;
    maps.width = int(outcomes.size());
    maps.height = 1;
    maps.outcomes = std::move(outcomes);
    maps.steps = std::move(steps);
    return maps;
}

Scene scene(bool shade)
{
    Scene s;
    s.colours = {red, blue};
    s.background = grey;
    s.shade = shade;
    return s;
}

QList<std::int32_t> pixels(const QImage &image)
{
    QList<std::int32_t> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours << fromRgb(image.pixel(x, y));
    }
    return colours;
}

} // namespace

class PainterTest : public QObject
{
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void coarsePass();
};

void PainterTest::colours_data()
{
    QTest::addColumn<PointMaps>("maps");
    QTest::addColumn<bool>("shade");
    QTest::addColumn<QList<std::int32_t>>("expected");

    // Worked by hand: brightness 1 - 0.75 ln(step) / ln(latest); latest 100, so step 10 gives
    // 0.625 (255 x 0.625 = 159.375) and step 100 gives 0.25 (63.75).
    const PointMaps four = row({1, 2, 0, 1}, {1, 10, 50, 100});
    QTest::newRow("plain") << four << false << QList<std::int32_t>{red, blue, grey, red};
    QTest::newRow("shaded") << four << true
                            << QList<std::int32_t>{red, 159 << 16, grey, 64};
    // The latest capture is the captured points' only: never captured after 1000 steps, the
    // latest capture at 100, and a point not computed yet painted as the background.
    QTest::newRow("latest among captures")
        << row({0, 1, 2, pending}, {1000, 10, 100, 5000}) << true
        << QList<std::int32_t>{grey, 159, 64 << 16, grey};
    // Every capture at the first step: no shading at all.
    QTest::newRow("all at once") << row({2, 1}, {1, 1}) << true
                                 << QList<std::int32_t>{blue, red};
}

void PainterTest::colours()
{
    QFETCH(PointMaps, maps);
    QFETCH(bool, shade);
    QFETCH(QList<std::int32_t>, expected);
    QCOMPARE(pixels(paintView(maps, scene(shade))), expected);

    Framing framing;
    framing.view = View{0, 0, 1, 0, 0, maps.width, maps.height};
    Surface surface(framing.imageSize(), grey);
    paintPicture(scene(shade), framing, maps.outcomes.data(), maps.steps.data(), surface);
    QCOMPARE(pixels(surface.image()), expected);
}

void PainterTest::coarsePass()
{
    // Every second point across and down known: each 2 x 2 block takes its top-left point's
    // colour, and a block whose corner is not known yet stays background but for its own
    // known points.
    PointMaps maps;
    maps.width = 4;
    maps.height = 2;
    maps.outcomes = {1, pending, pending, pending, pending, 2, pending, 2};
    maps.steps.assign(8, 1);
    QCOMPARE(pixels(paintView(maps, scene(false), 2)),
             (QList<std::int32_t>{red, red, grey, grey, red, blue, grey, blue}));
}

QTEST_GUILESS_MAIN(PainterTest)
#include "tst_painter.moc"
