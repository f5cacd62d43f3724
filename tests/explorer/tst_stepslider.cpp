#include "explorer/parameterdock.h"

#include "scene/text.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

// The step limit's logarithmic slider in the parameter dock.

class StepSliderTest : public QObject
{
    Q_OBJECT

private slots:
    void sliderSetsTheLimit_data();
    void sliderSetsTheLimit();
    void typedLimitMovesTheSlider();
};

void StepSliderTest::sliderSetsTheLimit_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("limit");
    // The default, 1e14, is the largest limit: every decade a fourteenth of the slider.
    QTest::newRow("left end") << -1000 << "1";
    QTest::newRow("right end: the default") << 1000 << "1e14";
    QTest::newRow("middle") << 0 << "1e7";
    QTest::newRow("halfway to the middle") << -500 << "3162";
}

void StepSliderTest::sliderSetsTheLimit()
{
    QFETCH(int, position);
    QFETCH(QString, limit);
    ParameterDock dock;
    auto *slider = dock.findChild<QSlider *>(QStringLiteral("step-limit-slider"));
    QVERIFY(slider);
    QSignalSpy changes(&dock, &ParameterDock::sceneChanged);
    slider->setValue(position == 1 ? 0 : 1); // away first, so that every row moves it
    slider->setValue(position);
    QCOMPARE(stepsText(dock.scene().trajectory.stepLimit), limit);
    QCOMPARE(dock.findChild<QLineEdit *>(QStringLiteral("step-limit"))->text(), limit);
    QVERIFY(!changes.isEmpty());
}

void StepSliderTest::typedLimitMovesTheSlider()
{
    ParameterDock dock;
    auto *slider = dock.findChild<QSlider *>(QStringLiteral("step-limit-slider"));
    auto *edit = dock.findChild<QLineEdit *>(QStringLiteral("step-limit"));
    QVERIFY(slider && edit);
    QCOMPARE(slider->value(), 1000);
    edit->setText(QStringLiteral("1000"));
    emit edit->editingFinished();
    QCOMPARE(dock.scene().trajectory.stepLimit, std::uint64_t(1000));
    QCOMPARE(slider->value(), -571);
}

QTEST_MAIN(StepSliderTest)
#include "tst_stepslider.moc"
