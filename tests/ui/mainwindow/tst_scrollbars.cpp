// The eleven parameter scrollbars: what each kind of change handler stores, shows, clears and
// redraws, and which user actions run it.

#include "tests/common/windowtest.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

using namespace windowtest;

class ScrollBarTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void massHandlers_data();
    void massHandlers();
    void circleHandlers_data();
    void circleHandlers();
    void pictureSizeHandlers_data();
    void pictureSizeHandlers();
    void assigningTheCurrentValueRunsNoHandler();
    void arrowAndTroughClicks_data();
    void arrowAndTroughClicks();
    void keyboard();
    void dragTakesEffectOnRelease();
    void wheelDoesNothing();

private:
    /// Paints a small complete picture so that a clearing handler is seen.
    void paintSmallPicture();

    frmgrav *window_ = nullptr;
};

void ScrollBarTest::init()
{
    window_ = new frmgrav;
}

void ScrollBarTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void ScrollBarTest::paintSmallPicture()
{
    setPictureSize(*window_, 4, 3);
    action(*window_, "cmdstart")->trigger();
    QCOMPARE(int(window_->state().rowsdone), 3);
    QVERIFY(window_->surface().image() != circlesOnly(*window_).image());
}

void ScrollBarTest::massHandlers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored");

    QTest::newRow("mass one at 1") << "vscmasserot"
                                   << "textmrot" << 1 << "10000" << 10000.0;
    QTest::newRow("mass one at 32767") << "vscmasserot"
                                       << "textmrot" << 32767 << "327670000" << 327670000.0;
    QTest::newRow("mass two at 1") << "vscmasseblau"
                                   << "textmblau" << 1 << "10000" << 10000.0;
    QTest::newRow("mass two at 32767") << "vscmasseblau"
                                       << "textmblau" << 32767 << "327670000" << 327670000.0;
    QTest::newRow("mov mass at 1") << "vscmassegreen"
                                   << "textmgreen" << 1 << "10000000" << 10000000.0;
    QTest::newRow("mov mass at 32767") << "vscmassegreen"
                                       << "textmgreen" << 32767 << "327670000000" << 327670000000.0;
}

void ScrollBarTest::massHandlers()
{
    QFETCH(QString, name);
    QFETCH(QString, fieldName);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(double, stored);

    paintSmallPicture();
    const QImage before = window_->surface().image();
    window_->findChild<QScrollBar *>(name)->setValue(value);

    QCOMPARE(window_->findChild<QLineEdit *>(fieldName)->text(), text);
    const sim::simstate &s = window_->state();
    const double weight = name == QLatin1String("vscmasserot")    ? s.massrot
                          : name == QLatin1String("vscmasseblau") ? double(s.massblau)
                                                                  : s.massgreen;
    QCOMPARE(weight, stored);
    QCOMPARE(window_->surface().image(), before);
}

void ScrollBarTest::circleHandlers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("closer"); // moves the mass near the other one first

    // Each value makes the two circles share a pixel, so the order of drawing shows.
    const int oneFirst = int(Order::oneThenTwo), twoFirst = int(Order::twoThenOne);
    QTest::newRow("rad. one") << "vscradred" << 15 << "textradiusrot" << oneFirst << "";
    QTest::newRow("rad. two") << "vscradblau" << 15 << "textradiusblau" << twoFirst << "";
    QTest::newRow("x pos one") << "vscxposred" << 512 << "textxxrot" << oneFirst << "";
    QTest::newRow("y pos one") << "vscyposred" << 352 << "textyyrot" << oneFirst << "vscxposred";
    QTest::newRow("x pos two") << "vscxposblue" << 512 << "textxblau" << twoFirst << "";
    QTest::newRow("y pos two") << "vscyposblue" << 348 << "textyblau" << twoFirst << "vscxposblue";
}

void ScrollBarTest::circleHandlers()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(QString, fieldName);
    QFETCH(int, order);
    QFETCH(QString, closer);

    if (!closer.isEmpty())
        window_->findChild<QScrollBar *>(closer)->setValue(512);
    paintSmallPicture();
    window_->findChild<QScrollBar *>(name)->setValue(value);

    QCOMPARE(window_->findChild<QLineEdit *>(fieldName)->text(), QString::number(value));
    const sim::simstate &s = window_->state();
    const std::map<QString, int> stored = {{"vscxposred", s.xrot},
                                           {"vscyposred", s.yrot},
                                           {"vscxposblue", s.xblau},
                                           {"vscyposblue", s.yblau}};
    if (const auto it = stored.find(name); it != stored.end())
        QCOMPARE(it->second, value);
    // The painted picture is gone: only the circles, the changed mass's first.
    const QImage expected = circlesOnly(*window_, Order(order)).image();
    QCOMPARE(window_->surface().image(), expected);
    QVERIFY(expected != circlesOnly(*window_, Order(1 - order)).image());
    // Both position fields of the mass show its position.
    QCOMPARE(field(*window_, "textxxrot")->text(), QString::number(s.xrot));
    QCOMPARE(field(*window_, "textyyrot")->text(), QString::number(s.yrot));
    QCOMPARE(field(*window_, "textxblau")->text(), QString::number(s.xblau));
    QCOMPARE(field(*window_, "textyblau")->text(), QString::number(s.yblau));
}

void ScrollBarTest::pictureSizeHandlers_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("value");
    QTest::addColumn<float>("edge"); // the centred left or top edge

    QTest::newRow("pic x even") << true << 50 << 487.0f;
    QTest::newRow("pic x odd") << true << 51 << 486.5f;
    QTest::newRow("pic y") << false << 31 << 334.5f;
}

void ScrollBarTest::pictureSizeHandlers()
{
    QFETCH(bool, horizontal);
    QFETCH(int, value);
    QFETCH(float, edge);
    QCOMPARE(window_->centralWidget()->size(), QSize(1024, 700));

    paintSmallPicture();
    PictureFrame *image = pictureFrame(*window_);
    QCOMPARE(image->borderStyle(), 0); // the run switched it off
    const sim::Rect before = image->pictureRect();
    const QImage painted = window_->surface().image();

    bar(*window_, horizontal ? "vscpicsizex" : "vscpicsizey")->setValue(value);

    const sim::Rect after = image->pictureRect();
    QCOMPARE(image->borderStyle(), 1);
    QCOMPARE(field(*window_, horizontal ? "Textpicsizex" : "Textpicsizey")->text(),
             QString::number(value));
    if (horizontal) {
        QCOMPARE(after.width, float(value));
        QCOMPARE(after.left, edge);
        QCOMPARE(after.top, before.top);
        QCOMPARE(after.height, before.height);
    } else {
        QCOMPARE(after.height, float(value));
        QCOMPARE(after.top, edge);
        QCOMPARE(after.left, before.left);
        QCOMPARE(after.width, before.width);
    }
    QCOMPARE(window_->surface().image(), painted);
}

void ScrollBarTest::assigningTheCurrentValueRunsNoHandler()
{
    paintSmallPicture();
    const QImage painted = window_->surface().image();
    QStringList texts;
    for (const QLineEdit *box : window_->findChildren<QLineEdit *>())
        texts << box->text();

    for (QScrollBar *scrollBar : window_->findChildren<QScrollBar *>())
        scrollBar->setValue(scrollBar->value());

    QCOMPARE(window_->surface().image(), painted);
    QCOMPARE(pictureFrame(*window_)->borderStyle(), 0);
    QStringList after;
    for (const QLineEdit *box : window_->findChildren<QLineEdit *>())
        after << box->text();
    QCOMPARE(after, texts);
}

void ScrollBarTest::arrowAndTroughClicks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("change");

    const int arrow = QAbstractSlider::SliderSingleStepAdd;
    const int trough = QAbstractSlider::SliderPageStepAdd;
    const int troughBack = QAbstractSlider::SliderPageStepSub;
    QTest::newRow("arrow pic x") << "vscpicsizex"
                                 << "Textpicsizex" << arrow << 2;
    QTest::newRow("arrow rad. one") << "vscradred"
                                    << "textradiusrot" << arrow << 1;
    QTest::newRow("arrow mass one") << "vscmasserot"
                                    << "textmrot" << arrow << 1;
    QTest::newRow("trough pic x") << "vscpicsizex"
                                  << "Textpicsizex" << troughBack << -10;
    QTest::newRow("trough y pos one") << "vscyposred"
                                      << "textyyrot" << trough << 10;
    QTest::newRow("trough mov mass") << "vscmassegreen"
                                     << "textmgreen" << trough << 1;
}

void ScrollBarTest::arrowAndTroughClicks()
{
    QFETCH(QString, name);
    QFETCH(QString, fieldName);
    QFETCH(int, action);
    QFETCH(int, change);

    auto *scrollBar = window_->findChild<QScrollBar *>(name);
    const int before = scrollBar->value();
    scrollBar->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(scrollBar->value(), before + change);

    // The handler ran: the field shows the new Value, scaled to kilograms for a mass.
    const qint64 factor = name == QLatin1String("vscmassegreen")       ? 10000000
                          : name.startsWith(QLatin1String("vscmasse")) ? 10000
                                                                       : 1;
    QCOMPARE(window_->findChild<QLineEdit *>(fieldName)->text(),
             QString::number(factor * (before + change)));
}

void ScrollBarTest::keyboard()
{
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));

    // Tab leaves the value field for the scrollbar below it; the arrow keys then move it.
    QLineEdit *massField = field(*window_, "textmgreen");
    massField->setFocus();
    QCOMPARE(QApplication::focusWidget(), massField);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QScrollBar *scrollBar = bar(*window_, "vscmassegreen");
    QCOMPARE(QApplication::focusWidget(), scrollBar);
    QCOMPARE(scrollBar->value(), 50);

    QTest::keyClick(scrollBar, Qt::Key_Right);
    QCOMPARE(scrollBar->value(), 51);
    QCOMPARE(massField->text(), QStringLiteral("510000000"));
    QTest::keyClick(scrollBar, Qt::Key_Left);
    QTest::keyClick(scrollBar, Qt::Key_Left);
    QCOMPARE(scrollBar->value(), 49);
    QCOMPARE(massField->text(), QStringLiteral("490000000"));
    // Down moves on like Right, Up back like Left.
    QTest::keyClick(scrollBar, Qt::Key_Down);
    QCOMPARE(scrollBar->value(), 50);
    QCOMPARE(massField->text(), QStringLiteral("500000000"));
    QTest::keyClick(scrollBar, Qt::Key_Up);
    QTest::keyClick(scrollBar, Qt::Key_Up);
    QCOMPARE(scrollBar->value(), 48);
    QCOMPARE(massField->text(), QStringLiteral("480000000"));

    // A position scrollbar: the key clears the painting and moves the circle.
    paintSmallPicture();
    QScrollBar *position = bar(*window_, "vscxposred");
    position->setFocus();
    QTest::keyClick(position, Qt::Key_PageUp);
    QTest::keyClick(position, Qt::Key_PageDown);
    QTest::keyClick(position, Qt::Key_PageUp);
    QCOMPARE(int(window_->state().xrot), 492);
    QCOMPARE(window_->surface().image(), circlesOnly(*window_, Order::oneThenTwo).image());
}

void ScrollBarTest::dragTakesEffectOnRelease()
{
    paintSmallPicture();
    const QImage painted = window_->surface().image();
    QScrollBar *scrollBar = bar(*window_, "vscxposblue");

    scrollBar->setSliderDown(true);
    scrollBar->setSliderPosition(600);
    scrollBar->setSliderPosition(610);
    QCOMPARE(scrollBar->value(), 522);
    QCOMPARE(int(window_->state().xblau), 522);
    QCOMPARE(field(*window_, "textxblau")->text(), QStringLiteral("522"));
    QCOMPARE(window_->surface().image(), painted);

    scrollBar->setSliderDown(false);
    QCOMPARE(scrollBar->value(), 610);
    QCOMPARE(int(window_->state().xblau), 610);
    QCOMPARE(field(*window_, "textxblau")->text(), QStringLiteral("610"));
    QCOMPARE(window_->surface().image(), circlesOnly(*window_, Order::twoThenOne).image());
}

void ScrollBarTest::wheelDoesNothing()
{
    paintSmallPicture();
    const QImage painted = window_->surface().image();
    QScrollBar *scrollBar = bar(*window_, "vscxposblue");
    const QPointF centre = scrollBar->rect().center();
    QWheelEvent wheel(centre, scrollBar->mapToGlobal(centre), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scrollBar, &wheel);
    QCOMPARE(scrollBar->value(), 522);
    QCOMPARE(window_->surface().image(), painted);
}

QTEST_MAIN(ScrollBarTest)
#include "tst_scrollbars.moc"
