#include "render/renderer.h"

#include <QTest>

#include <cmath>
#include <random>
#include <utility>

Q_DECLARE_METATYPE(RenderParameters)
Q_DECLARE_METATYPE(Kernel)

namespace {

/// Parameter sets the scalar path and a vector kernel must agree on, drawn with a fixed seed:
/// odd clients (half-pixel edges), pictures smaller than a vector and ones that leave the last
/// vectors part empty, short step limits, heavy, light and coincident masses, any radius.
void addRows()
{
    std::mt19937 random(20240611);
    const auto pick = [&](int min, int max) {
        return min + int(random() % unsigned(max - min + 1));
    };
    const std::int16_t masses[] = {1, 10, 500, 32767};
    const QSize pictures[] = {{3, 2}, {13, 11}, {13, 11}, {37, 23}};

    for (int row = 0; row < 72; ++row) {
        RenderParameters p = RenderParameters::defaults({pick(40, 320), pick(30, 240)});
        p.picture = pictures[row % 4];
        // Masses near the picture, so that trajectories take many steps; every eighth pair on
        // one spot.
        const int cx = p.client.width() / 2;
        const int cy = p.client.height() / 2;
        p.xrot = std::int16_t(cx + pick(-30, 30));
        p.yrot = std::int16_t(cy + pick(-30, 30));
        const bool coincident = row % 8 == 4;
        p.xblau = coincident ? p.xrot : std::int16_t(cx + pick(-30, 30));
        p.yblau = coincident ? p.yrot : std::int16_t(cy + pick(-30, 30));
        p.massOne = masses[pick(0, 3)];
        p.massTwo = masses[pick(0, 3)];
        p.massMoving = row % 6 == 0 ? masses[pick(0, 3)] : std::int16_t(pick(1, 200));
        p.radiusOne = std::int16_t(row % 5 == 0 ? pick(1, 300) : pick(1, 8));
        p.radiusTwo = std::int16_t(row % 7 == 0 ? pick(1, 300) : pick(1, 8));
        p.stepLimit = row < 40 ? std::uint64_t(row + 1) : 5000;
        p.threads = 1 + row % 3;
        QTest::addRow("%d: %dx%d in %dx%d, limit %d, %d threads%s", row, p.picture.width(),
                      p.picture.height(), p.client.width(), p.client.height(), int(p.stepLimit),
                      p.threads, coincident ? ", coincident masses" : "")
            << p << Kernel::avx2 << std::uint64_t(0);
    }

    // A start point midway between equal masses stays on the line between them and ends in a
    // cycle: at once, or after a power-of-two step count once its period is long.
    struct Midway
    {
        int x, y, offsetX, offsetY, mass, moving, cycle;
    };
    const Midway midway[] = {
        {512, 350, 10, 0, 10, 50, 2},         {217, 212, 0, 53, 1, 311, 4},
        {125, 241, 58, 0, 10, 380, 14},       {166, 215, 22, 0, 32767, 17391, 257},
        {105, 225, 0, 2, 32767, 25980, 1025}, {154, 186, 0, 2, 32767, 24920, 4097},
    };
    for (const Midway &m : midway) {
        // The picture is centred on (x, y), with whole edges.
        RenderParameters p = RenderParameters::defaults({2 * m.x + 1, 2 * m.y + 1});
        p.picture = {13, 11};
        p.xrot = std::int16_t(m.x - m.offsetX);
        p.xblau = std::int16_t(m.x + m.offsetX);
        p.yrot = std::int16_t(m.y - m.offsetY);
        p.yblau = std::int16_t(m.y + m.offsetY);
        p.massOne = p.massTwo = std::int16_t(m.mass);
        p.massMoving = std::int16_t(m.moving);
        p.radiusOne = p.radiusTwo = 1;
        p.stepLimit = 5000;
        p.threads = 2;
        QTest::addRow("start point midway, a cycle after %d steps", m.cycle)
            << p << Kernel::avx2 << std::uint64_t(m.cycle);
    }
}

/// Every start point's outcome, one line each.
QStringList outcomes(const Renderer &r)
{
    QStringList lines;
    for (std::int64_t i = 0; i < r.pointCount(); ++i) {
        lines += QStringLiteral("(%1, %2): %3 after %4 steps")
                     .arg(double(r.startPoint(i).x))
                     .arg(r.startPoint(i).y)
                     .arg(int(r.captures()[std::size_t(i)]))
                     .arg(r.pointSteps()[std::size_t(i)]);
    }
    return lines;
}

/// A kernel run on the calling thread over one row of start points at y: each outcome and step
/// count.
std::vector<std::uint64_t> runDirectly(KernelEntry kernel, KernelJob job,
                                       const std::vector<float> &columns, double y)
{
    std::vector<std::uint8_t> captures(columns.size());
    std::vector<std::uint64_t> steps(columns.size());
    std::int64_t untaken = std::int64_t(columns.size());
    job.columns = columns.data();
    job.rows = &y;
    job.columnCount = untaken;
    job.pointsPerRow = untaken;
    job.take = [](void *queue, std::int64_t *first, std::int64_t *end) {
        *first = 0;
        *end = std::exchange(*static_cast<std::int64_t *>(queue), 0);
        return *end > 0;
    };
    job.report = [](void *, std::int64_t, std::uint64_t) {};
    job.abandoned = [](void *) { return false; };
    job.queue = &untaken;
    job.captures = captures.data();
    job.steps = steps.data();
    kernel(job);
    for (std::size_t i = 0; i < columns.size(); ++i)
        steps[i] = steps[i] * 4 + captures[i];
    return steps;
}

} // namespace

class KernelTest : public QObject
{
    Q_OBJECT

private slots:
    void sameAsScalar_data();
    void sameAsScalar();
    void beyondScrollbarValues();
};

void KernelTest::sameAsScalar_data()
{
    QTest::addColumn<RenderParameters>("parameters");
    QTest::addColumn<Kernel>("kernel");
    QTest::addColumn<std::uint64_t>("cycle"); ///< steps after which a start point's cycle ends
    addRows();
}

void KernelTest::sameAsScalar()
{
    QFETCH(RenderParameters, parameters);
    QFETCH(Kernel, kernel);
    QFETCH(std::uint64_t, cycle);
    if (!kernelAvailable(kernel))
        QSKIP("the processor lacks this kernel");

    parameters.keepPointSteps = true;
    parameters.kernel = Kernel::scalar;
    Renderer reference(parameters);
    const RenderSummary expected = reference.render();
    if (cycle > 0)
        QVERIFY(outcomes(reference).join(',').contains(QStringLiteral(": 0 after %1 ").arg(cycle)));
    parameters.kernel = kernel;
    Renderer renderer(parameters);
    const RenderSummary summary = renderer.render();
    QCOMPARE(renderer.kernel(), kernel);

    QCOMPARE(outcomes(renderer), outcomes(reference));
    QCOMPARE(summary.steps, expected.steps);
    QCOMPARE(renderer.pointsDone(), reference.pointCount());
    QCOMPARE(renderer.surface().image(), reference.surface().image());
}

void KernelTest::beyondScrollbarValues()
{
    if (!kernelAvailable(Kernel::avx2))
        QSKIP("the processor lacks AVX2");
    // Start points with fine fractions, more than twice as far from the masses' x as those lie
    // from 0, so that their first x differences round in single precision; where they arrive,
    // the last bit decides the outcome.
    KernelJob job{};
    job.massrot = 100000;
    job.massgreen = 500000000;
    job.massblau = 100000;
    job.xrot = 502;
    job.yrot = 350;
    job.xblau = 522;
    job.yblau = 350;
    job.radiusOne = job.radiusTwo = 5;
    job.limit = 100000;
    std::vector<float> columns;
    for (int i = 0; i < 200; ++i)
        columns.push_back(150.0f + float(i) * 0.4999f);
    const std::vector<std::uint64_t> fine =
        runDirectly(kernelEntry(Kernel::scalar), job, columns, 331);
    QCOMPARE(runDirectly(kernelEntry(Kernel::avx2), job, columns, 331), fine);

    // Mass one's pull exactly 10 pixels 10 pixels away: the moving mass lands on it.
    job.massgreen = 1e9;
    job.xblau = 30000;
    job.massrot = 10.0 * 100 / sim::G / job.massgreen;
    for (int i = 0; i < 100000 && ((job.massgreen * job.massrot) / 100.0) * sim::G != 10.0; ++i) {
        job.massrot = std::nextafter(
            job.massrot, ((job.massgreen * job.massrot) / 100.0) * sim::G < 10.0 ? 1e300 : 0.0);
    }
    columns = {512.0f};
    const std::vector<std::uint64_t> landed =
        runDirectly(kernelEntry(Kernel::scalar), job, columns, 350);
    QCOMPARE(landed.front(), 2 * 4 + std::uint64_t(sim::Capture::one));
    QCOMPARE(runDirectly(kernelEntry(Kernel::avx2), job, columns, 350), landed);
}

QTEST_GUILESS_MAIN(KernelTest)
#include "tst_kernel.moc"
