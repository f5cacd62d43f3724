#include "render/spillfile.h"

#include <QTest>

#include <cstdint>
#include <limits>
#include <vector>

// The scratch file of a shaded picture's bands: what goes in comes out.
class SpillFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsBackWhatWasWritten();
};

void SpillFileTest::readsBackWhatWasWritten()
{
    // Beyond one buffer, steps of every length of their encoding.
    std::vector<std::uint64_t> steps;
    for (std::uint64_t v = 0; steps.size() < 400000; v = v * 3 + 1)
        steps.push_back(v % 3 == 0 ? v : std::numeric_limits<std::uint64_t>::max() - v);
    steps.push_back(127);
    steps.push_back(128);
    std::vector<std::uint8_t> outcomes(1500000);
    for (std::size_t k = 0; k < outcomes.size(); ++k)
        outcomes[k] = std::uint8_t(k * 7);
    SpillFile spill;
    spill.writeBytes(outcomes.data(), outcomes.size());
    spill.writeSteps(steps.data(), steps.size());
    spill.rewind();
    std::vector<std::uint8_t> outcomesRead(outcomes.size());
    std::vector<std::uint64_t> stepsRead(steps.size());
    QVERIFY(spill.readBytes(outcomesRead.data(), outcomesRead.size()));
    QVERIFY(spill.readSteps(stepsRead.data(), stepsRead.size()));
    QVERIFY2(spill.error().isEmpty(), qPrintable(spill.error()));
    QVERIFY(outcomesRead == outcomes);
    QVERIFY(stepsRead == steps);
    std::uint8_t past = 0;
    QVERIFY(!spill.readBytes(&past, 1));
}

QTEST_GUILESS_MAIN(SpillFileTest)
#include "tst_spillfile.moc"
