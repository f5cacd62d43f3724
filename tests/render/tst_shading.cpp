#include "render/renderer.h"
#include "render/shading.h"

#include <QTest>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(RenderParameters)

namespace {

RenderParameters smallPicture(QSize client, QSize picture)
{
    RenderParameters p = RenderParameters::defaults(client);
    p.picture = picture;
    p.keepPointSteps = true;
    p.threads = 2;
    return p;
}

/// colour with each channel times b, rounded half away from zero.
std::int32_t darkened(std::int32_t colour, double b)
{
    std::int32_t result = 0;
    for (const int shift : {0, 8, 16})
        result |= std::int32_t(std::floor(((colour >> shift) & 0xFF) * b + 0.5)) << shift;
    return result;
}

} // namespace

class ShadingTest : public QObject
{
    Q_OBJECT

private slots:
    void followsTheFormula_data();
    void followsTheFormula();
};

void ShadingTest::followsTheFormula_data()
{
    QTest::addColumn<RenderParameters>("parameters");

    QTest::newRow("default picture") << smallPicture({1024, 700}, {100, 80});

    // Start points that reach the limit stay as the plain picture has them, and their steps
    // (200) are not the latest capture's (198).
    RenderParameters p = smallPicture({200, 150}, {60, 50});
    p.colorOne = 0x01FF80;
    p.colorTwo = 0x563412;
    p.background = 0x202020;
    p.stepLimit = 200;
    QTest::newRow("colours, step limit") << p;

    // Circles inside the picture: the points inside them are captured at step 1.
    p = smallPicture({120, 90}, {50, 40});
    p.xrot = 50;
    p.yrot = 45;
    p.xblau = 75;
    p.yblau = 40;
    p.radiusOne = 12;
    p.radiusTwo = 20;
    p.colorTwo = 0xC0C0C0;
    QTest::newRow("circles inside the picture") << p;

    // Every start point inside mass one's circle: the latest capture is at step 1.
    p = smallPicture({120, 90}, {10, 10});
    p.radiusOne = 60;
    QTest::newRow("every point captured at once") << p;
}

void ShadingTest::followsTheFormula()
{
    QFETCH(RenderParameters, parameters);

    Renderer plain(parameters);
    plain.render();
    Renderer shaded(parameters);
    shaded.render();
    shadeCaptures(shaded, parameters.colorOne, parameters.colorTwo);

    const std::vector<sim::Capture> &captures = plain.captures();
    const std::vector<std::uint64_t> &steps = plain.pointSteps();
    std::uint64_t latest = 0;
    for (std::size_t i = 0; i < captures.size(); ++i) {
        if (captures[i] != sim::Capture::none)
            latest = std::max(latest, steps[i]);
    }
    Surface expected = plain.surface();
    for (std::size_t i = 0; i < captures.size(); ++i) {
        if (captures[i] == sim::Capture::none)
            continue;
        const double b =
            latest == 1 ? 1.0 : 1 - 0.75 * std::log(double(steps[i])) / std::log(double(latest));
        const std::int32_t colour =
            captures[i] == sim::Capture::one ? parameters.colorOne : parameters.colorTwo;
        const sim::StartPoint p = plain.startPoint(std::int64_t(i));
        expected.setPixel(p.x, p.y, darkened(colour, b));
    }
    QCOMPARE(shaded.surface().image(), expected.image());
}

QTEST_GUILESS_MAIN(ShadingTest)
#include "tst_shading.moc"
