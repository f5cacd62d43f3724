#include "engine/engine.h"
#include "sim/simstate.h"

#include <QTest>

#include <cmath>
#include <random>
#include <utility>

/// A picture's start points and what they are followed under.
struct Picture
{
    TrajectoryParameters parameters;
    View view;
    int threads = 1;
};

Q_DECLARE_METATYPE(Picture)
Q_DECLARE_METATYPE(Kernel)

namespace {

/// The replica's picture of this size, centred in a client area of that size.
Picture picture(QSize client, QSize size)
{
    Picture p;
    p.parameters = TrajectoryParameters::defaults(client);
    p.view = pictureView(client.width(), client.height(), size.width(), size.height());
    return p;
}

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
        const QSize client(pick(40, 320), pick(30, 240));
        Picture p = picture(client, pictures[row % 4]);
        TrajectoryParameters &t = p.parameters;
        // Masses near the picture, so that trajectories take many steps; every eighth pair on
        // one spot.
        const int cx = client.width() / 2;
        const int cy = client.height() / 2;
        FixedMass &one = t.masses[0];
        FixedMass &two = t.masses[1];
        one.x = std::int16_t(cx + pick(-30, 30));
        one.y = std::int16_t(cy + pick(-30, 30));
        const bool coincident = row % 8 == 4;
        two.x = coincident ? one.x : std::int16_t(cx + pick(-30, 30));
        two.y = coincident ? one.y : std::int16_t(cy + pick(-30, 30));
        one.weight = masses[pick(0, 3)];
        two.weight = masses[pick(0, 3)];
        t.movingMass = row % 6 == 0 ? masses[pick(0, 3)] : std::int16_t(pick(1, 200));
        one.radius = std::int16_t(row % 5 == 0 ? pick(1, 300) : pick(1, 8));
        two.radius = std::int16_t(row % 7 == 0 ? pick(1, 300) : pick(1, 8));
        t.stepLimit = row < 40 ? std::uint64_t(row + 1) : 5000;
        p.threads = 1 + row % 3;
        QTest::addRow("%d: %dx%d in %dx%d, limit %d, %d threads%s", row, pictures[row % 4].width(),
                      pictures[row % 4].height(), client.width(), client.height(),
                      int(t.stepLimit), p.threads, coincident ? ", coincident masses" : "")
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
        Picture p = picture({2 * m.x + 1, 2 * m.y + 1}, {13, 11});
        TrajectoryParameters &t = p.parameters;
        t.masses[0] = {std::int16_t(m.x - m.offsetX), std::int16_t(m.y - m.offsetY),
                       std::int16_t(m.mass), 1};
        t.masses[1] = {std::int16_t(m.x + m.offsetX), std::int16_t(m.y + m.offsetY),
                       std::int16_t(m.mass), 1};
        t.movingMass = std::int16_t(m.moving);
        t.stepLimit = 5000;
        p.threads = 2;
        QTest::addRow("start point midway, a cycle after %d steps", m.cycle)
            << p << Kernel::avx2 << std::uint64_t(m.cycle);
    }
}

/// Every start point's outcome, one line each.
QStringList outcomes(const View &view, const PointMaps &maps)
{
    QStringList lines;
    for (std::int64_t i = 0; i < view.pointCount(); ++i) {
        lines += QStringLiteral("(%1, %2): %3 after %4 steps")
                     .arg(double(view.columnX(i % view.width)))
                     .arg(view.rowY(i / view.width))
                     .arg(int(maps.outcomes[std::size_t(i)]))
                     .arg(maps.steps[std::size_t(i)]);
    }
    return lines;
}

PointMaps computed(const Picture &p, Kernel kernel, std::uint64_t *steps, Kernel *ran)
{
    Engine engine(p.parameters, Workers{kernel, p.threads, nullptr});
    PointMaps maps;
    engine.computeView(p.view, maps);
    *steps = engine.stepsTaken();
    *ran = engine.kernel();
    if (engine.pointsDone() != p.view.pointCount())
        QTest::qFail("not every start point was reported done", __FILE__, __LINE__);
    return maps;
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
    job.running = [](void *, std::uint64_t) {};
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
    void anyNumberOfMasses_data();
    void anyNumberOfMasses();
    void firstMassInOrderCaptures();
};

void KernelTest::sameAsScalar_data()
{
    QTest::addColumn<Picture>("picture");
    QTest::addColumn<Kernel>("kernel");
    QTest::addColumn<std::uint64_t>("cycle"); ///< steps after which a start point's cycle ends
    addRows();
}

void KernelTest::sameAsScalar()
{
    QFETCH(Picture, picture);
    QFETCH(Kernel, kernel);
    QFETCH(std::uint64_t, cycle);
    if (!kernelAvailable(kernel))
        QSKIP("the processor lacks this kernel");

    std::uint64_t expectedSteps = 0;
    std::uint64_t steps = 0;
    Kernel ran = Kernel::automatic;
    const QStringList expected =
        outcomes(picture.view, computed(picture, Kernel::scalar, &expectedSteps, &ran));
    if (cycle > 0)
        QVERIFY(expected.join(',').contains(QStringLiteral(": 0 after %1 ").arg(cycle)));
    const QStringList got = outcomes(picture.view, computed(picture, kernel, &steps, &ran));
    QCOMPARE(ran, kernel);
    QCOMPARE(got, expected);
    QCOMPARE(steps, expectedSteps);
}

void KernelTest::beyondScrollbarValues()
{
    if (!kernelAvailable(Kernel::avx2))
        QSKIP("the processor lacks AVX2");
    // Start points with fine fractions, more than twice as far from the masses' x as those lie
    // from 0, so that their first x differences round in single precision; where they arrive,
    // the last bit decides the outcome.
    KernelJob job{};
    sim::FieldMass &one = job.field.masses[0];
    sim::FieldMass &two = job.field.masses[1];
    job.field.count = 2;
    one = {502, 350, 100000, 5};
    two = {522, 350, 100000, 5};
    job.field.movingKilograms = 500000000;
    job.limit = 100000;
    std::vector<float> columns;
    for (int i = 0; i < 200; ++i)
        columns.push_back(150.0f + float(i) * 0.4999f);
    job.field.masses[2] = {512, 340, 100000, 5};
    for (const int count : {2, 3}) {
        job.field.count = count;
        const std::vector<std::uint64_t> fine =
            runDirectly(kernelEntry(Kernel::scalar), job, columns, 331);
        QCOMPARE(runDirectly(kernelEntry(Kernel::avx2), job, columns, 331), fine);
    }
    job.field.count = 2;

    // Mass one's pull exactly 10 pixels 10 pixels away: the moving mass lands on it.
    const double moving = job.field.movingKilograms = 1e9;
    two.x = 30000;
    one.kilograms = 10.0 * 100 / sim::G / moving;
    for (int i = 0; i < 100000 && ((moving * one.kilograms) / 100.0) * sim::G != 10.0; ++i) {
        one.kilograms = std::nextafter(
            one.kilograms, ((moving * one.kilograms) / 100.0) * sim::G < 10.0 ? 1e300 : 0.0);
    }
    columns = {512.0f};
    const std::vector<std::uint64_t> landed =
        runDirectly(kernelEntry(Kernel::scalar), job, columns, 350);
    QCOMPARE(landed.front(), 2 * 4 + 1); // captured by mass one at step 2
    QCOMPARE(runDirectly(kernelEntry(Kernel::avx2), job, columns, 350), landed);
}

void KernelTest::anyNumberOfMasses_data()
{
    QTest::addColumn<int>("count");
    for (const int count : {1, 3, 16})
        QTest::addRow("%d masses", count) << count;
}

void KernelTest::anyNumberOfMasses()
{
    QFETCH(int, count);
    // Masses of different weights on a circle around the view's middle, each capture circle
    // holding start points, so that every mass's pull and capture test shows.
    Picture p = picture({400, 300}, {48, 44});
    p.view.spacing = 1.25;
    p.view.x = 200 - 24 * p.view.spacing;
    p.view.y = 150 - 22 * p.view.spacing;
    p.parameters.stepLimit = 2000;
    p.parameters.masses.clear();
    for (int k = 0; k < count; ++k) {
        const double angle = 2 * M_PI * k / count;
        p.parameters.masses.push_back({std::int16_t(200 + std::lround(25 * std::cos(angle))),
                                       std::int16_t(150 + std::lround(25 * std::sin(angle))),
                                       std::int16_t(3 + 17 * (k % 4)), std::int16_t(2 + k % 3)});
    }
    std::uint64_t expectedSteps = 0;
    std::uint64_t steps = 0;
    Kernel ran = Kernel::automatic;
    const QStringList expected =
        outcomes(p.view, computed(p, Kernel::scalar, &expectedSteps, &ran));
    for (int k = 1; k <= count; ++k)
        QVERIFY(expected.join(',').contains(QStringLiteral(": %1 after").arg(k)));
    for (const Kernel kernel : {Kernel::scalar, Kernel::avx2}) {
        for (p.threads = 1; p.threads <= 3 && kernelAvailable(kernel); p.threads += 2) {
            QCOMPARE(outcomes(p.view, computed(p, kernel, &steps, &ran)), expected);
            QCOMPARE(steps, expectedSteps);
        }
    }
}

void KernelTest::firstMassInOrderCaptures()
{
    // (100, 100) lies in the circles of masses three and four alone; four is the nearest.
    TrajectoryParameters p;
    p.masses = {{130, 100, 10, 5}, {70, 100, 10, 5}, {103, 100, 10, 5}, {101, 100, 10, 5}};
    const float x = 100;
    const double y = 100;
    for (const Kernel kernel : {Kernel::scalar, Kernel::avx2}) {
        std::uint8_t outcome = 0;
        std::uint64_t steps = 0;
        QVERIFY(Engine(p, Workers{kernel, 1, nullptr}).computePoints(&x, &y, 1, &outcome, &steps));
        QCOMPARE(int(outcome), 3);
        QCOMPARE(steps, 1u);
    }
}

QTEST_GUILESS_MAIN(KernelTest)
#include "tst_kernel.moc"
