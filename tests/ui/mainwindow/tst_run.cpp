// Start / Clearscreen and Stop on the real window: a complete run paints what the core computes,
// Start alternates, restarts a run in progress, Stop holds it, and a picture-size change made
// between two steps moves the row limit or ends the run by the column limit.

#include "tests/common/windowtest.h"

#include "ui/mainwindow/drawingarea.h"
#include "ui/mainwindow/sprite.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <cmath>

using namespace windowtest;

namespace {

QPoint spritePixel(const sim::simstate &s)
{
    return QPoint(int(std::floor(float(s.xgreen - 5.0f))), int(std::floor(float(s.ygreen - 5.0f))));
}

} // namespace

class RunTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void completeRunPaintsWhatTheCoreComputes_data();
    void completeRunPaintsWhatTheCoreComputes();
    void startAlternatesBetweenPictureAndClearing();
    void startDuringARunRestartsThePicture();
    void stopHoldsTheRunUntilTheBoxCloses();
    void fieldsAndSpriteReachTheScreenDuringARun();
    void pictureSizeChangeDuringARun_data();
    void pictureSizeChangeDuringARun();

private:
    void start() { action(*window_, "cmdstart")->trigger(); }
    Sprite *sprite() const { return child<Sprite>(*window_, "Imggreen"); }

    frmgrav *window_ = nullptr;
};

void RunTest::init()
{
    window_ = new frmgrav;
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void RunTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void RunTest::completeRunPaintsWhatTheCoreComputes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("xblau");

    QTest::newRow("6 x 4 between the masses") << 6 << 4 << 5 << 522;
    QTest::newRow("odd width on half pixels") << 7 << 3 << 5 << 522;
    QTest::newRow("2 x 2 smallest") << 2 << 2 << 5 << 522;
    QTest::newRow("circles inside the rectangle") << 30 << 12 << 8 << 530;
}

void RunTest::completeRunPaintsWhatTheCoreComputes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, radius);
    QFETCH(int, xblau);

    setPictureSize(*window_, width, height);
    bar(*window_, "vscradred")->setValue(radius);
    bar(*window_, "vscradblau")->setValue(radius);
    bar(*window_, "vscxposblue")->setValue(xblau);
    const QImage expected = completePicture(*window_);
    QVERIFY(expected != circlesOnly(*window_).image());
    if (width & 1)
        QCOMPARE(pictureFrame(*window_)->left(), 512.0f - width / 2.0f);

    start();

    QCOMPARE(window_->surface().image(), expected);
    const sim::simstate &s = window_->state();
    QCOMPARE(int(s.rowsdone), height);
    QVERIFY(sprite()->isHidden());
    QCOMPARE(pictureFrame(*window_)->borderStyle(), 0);
    // The fields show the last start point and the last step.
    const sim::StartPoint last = sim::startPoints(pictureFrame(*window_)->pictureRect()).back();
    QCOMPARE(field(*window_, "textxgreen")->text(), text(sim::singleNumber(last.x)));
    QCOMPARE(field(*window_, "textygreen")->text(), text(sim::int16Number(last.y)));
    QCOMPARE(field(*window_, "textrrot")->text(), text(sim::realNumber(s.distrot)));
    QCOMPARE(field(*window_, "textrblau")->text(), text(sim::realNumber(s.distblau)));
    QCOMPARE(field(*window_, "textyfblau")->text(), text(sim::realNumber(s.ypowerblau)));
}

void RunTest::startAlternatesBetweenPictureAndClearing()
{
    setPictureSize(*window_, 6, 4);
    const QImage picture = completePicture(*window_);
    const QImage circles = circlesOnly(*window_).image();

    start();
    QCOMPARE(window_->surface().image(), picture);
    const QString lastDistance = field(*window_, "textrrot")->text();

    start(); // only clears and redraws the circles
    QCOMPARE(window_->surface().image(), circles);
    QCOMPARE(int(window_->state().rowsdone), 0);
    QVERIFY(sprite()->isHidden());
    QCOMPARE(field(*window_, "textrrot")->text(), lastDistance);

    bool spriteShown = false;
    const EveryPass firstStep([&] {
        spriteShown = sprite()->isVisible();
        return true;
    });
    start(); // a new picture, with the sprite shown again
    QVERIFY(spriteShown);
    QCOMPARE(window_->surface().image(), picture);
    QCOMPARE(int(window_->state().rowsdone), 4);
}

void RunTest::startDuringARunRestartsThePicture()
{
    setPictureSize(*window_, 6, 4);
    const QImage picture = completePicture(*window_);
    const sim::simstate &s = window_->state();
    bool nestedReturned = false;

    EveryPass restart([&] {
        if (s.rowsdone < 2)
            return false;
        start();
        nestedReturned = true;
        return true;
    });
    start();

    // The restarted run painted the whole rectangle; the interrupted one ended after it.
    QVERIFY(nestedReturned);
    const QRect rectangle = pictureFrame(*window_)->geometry();
    QCOMPARE(window_->surface().image().copy(rectangle), picture.copy(rectangle));
    QVERIFY(s.rowsdone >= 4);
    QVERIFY(sprite()->isHidden());
    start();
    QCOMPARE(window_->surface().image(), circlesOnly(*window_).image());
}

void RunTest::stopHoldsTheRunUntilTheBoxCloses()
{
    setPictureSize(*window_, 6, 4);
    const QImage picture = completePicture(*window_);
    const sim::simstate &s = window_->state();

    struct Seen
    {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::Information;
        int buttons = 0;
        QStringList fields, expectedFields;
        QPoint spriteAt, expectedSpriteAt;
        bool held = false;
    } seen;
    bool stopReturned = false;
    int passesInBox = 0;
    sim::simstate atOpen{};

    EveryPass inBox([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return false;
        if (passesInBox++ == 0) {
            atOpen = s;
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            seen.buttons = int(box->buttons().size());
            for (const char *name : {"textrrot", "textxfrot", "textyfblau", "textxgreen"})
                seen.fields << field(*window_, name)->text();
            seen.expectedFields << text(sim::realNumber(s.distrot))
                                << text(sim::realNumber(s.xpowerrot))
                                << text(sim::realNumber(s.ypowerblau))
                                << text(sim::singleNumber(s.scanx));
            seen.spriteAt = sprite()->pos();
            seen.expectedSpriteAt = spritePixel(s);
            return false;
        }
        if (passesInBox < 20)
            return false;
        // Twenty passes of the box's event loop and not one step.
        seen.held = s.xgreen == atOpen.xgreen && s.ygreen == atOpen.ygreen &&
                    s.scanx == atOpen.scanx && s.scany == atOpen.scany &&
                    s.distrot == atOpen.distrot;
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    EveryPass stop([&] {
        if (s.rowsdone < 1)
            return false;
        action(*window_, "cmdstop")->trigger();
        stopReturned = true;
        return true;
    });
    start();

    QVERIFY(stopReturned);
    QCOMPARE(seen.text, QStringLiteral("                          stop"));
    QCOMPARE(seen.title, QStringLiteral("Velmora"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, 1);
    QCOMPARE(seen.fields, seen.expectedFields);
    QCOMPARE(seen.spriteAt, seen.expectedSpriteAt);
    QVERIFY(seen.held);
    // After the box the run went on to the end.
    QCOMPARE(window_->surface().image(), picture);
    QCOMPARE(int(s.rowsdone), 4);
}

void RunTest::fieldsAndSpriteReachTheScreenDuringARun()
{
    setPictureSize(*window_, 6, 4);
    const sim::simstate &s = window_->state();
    QStringList shown, expected;
    QPoint spriteAt, expectedSpriteAt;
    QImage screen, painted;
    QRect spriteRect;
    int pass = 0;
    const float secondRow = pictureFrame(*window_)->top() + 1;
    // Once a row is painted and a display frame has gone by, the next step reaches the screen.
    const EveryPass frame([&] {
        if (s.scany < secondRow)
            return false;
        if (pass++ == 0) {
            QThread::msleep(50);
            return false;
        }
        for (const char *name : {"textxgreen", "textrrot", "textfblau", "textlrot", "textyfblau"})
            shown << field(*window_, name)->text();
        expected << text(sim::singleNumber(s.scanx)) << text(sim::realNumber(s.distrot))
                 << text(sim::realNumber(s.powerblau)) << text(sim::realNumber(s.lambdarot))
                 << text(sim::realNumber(s.ypowerblau));
        spriteAt = sprite()->pos();
        expectedSpriteAt = spritePixel(s);
        // What the screen shows, not what the widgets would paint now.
        screen = window_->screen()->grabWindow(window_->winId()).toImage();
        painted = window_->surface().image();
        spriteRect = sprite()->geometry();
        return true;
    });
    start();

    QVERIFY(frame.done());
    QCOMPARE(shown, expected);
    QCOMPARE(spriteAt, expectedSpriteAt);

    // Around the picture and the sprite the screen shows the surface's pixels, the ones painted
    // so far included, and the sprite where it is now only: no trace of it at an earlier place.
    const QPoint offset = window_->findChild<DrawingArea *>()->mapTo(window_, QPoint());
    const QRect around =
        pictureFrame(*window_)->geometry().united(spriteRect).adjusted(-10, -10, 10, 10);
    int differing = 0;
    for (int y = around.top(); y <= around.bottom(); ++y) {
        for (int x = around.left(); x <= around.right(); ++x) {
            if (!spriteRect.contains(x, y))
                differing += screen.pixel(offset + QPoint(x, y)) != painted.pixel(x, y);
        }
    }
    QCOMPARE(differing, 0);
    QCOMPARE(screen.pixel(offset + spriteRect.center()), Sprite::picture().pixel(50, 50));
}

void RunTest::pictureSizeChangeDuringARun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("columnLimit");

    QTest::newRow("lower: the row limit moves up") << "vscpicsizey" << 2 << false;
    QTest::newRow("wider: the column limit ends the run") << "vscpicsizex" << 20 << true;
}

void RunTest::pictureSizeChangeDuringARun()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(bool, columnLimit);

    setPictureSize(*window_, 6, 4);
    const QImage picture = completePicture(*window_);
    const sim::simstate &s = window_->state();
    const int top = int(pictureFrame(*window_)->top());

    EveryPass resize([&] {
        if (s.rowsdone < 1)
            return false;
        window_->findChild<QScrollBar *>(name)->setValue(value);
        return true;
    });
    start();
    QVERIFY(resize.done());

    // The handler switched the outline on again; the masses did not move.
    QCOMPARE(pictureFrame(*window_)->borderStyle(), 1);
    if (columnLimit) {
        QVERIFY(s.rowsdone < 4);
        QVERIFY(!sprite()->isHidden());
        // The picture is incomplete, so the next Start computes one for the new rectangle.
        const QImage wider = completePicture(*window_);
        start();
        QCOMPARE(window_->surface().image(), wider);
        QCOMPARE(int(s.rowsdone), 4);
    } else {
        QCOMPARE(int(s.rowsdone), 2);
        QVERIFY(sprite()->isHidden());
        // The first two rows as in the whole picture, nothing below them.
        QImage expected = circlesOnly(*window_).image();
        for (int y = top; y < top + 2; ++y)
            for (int x = 0; x < expected.width(); ++x)
                expected.setPixel(x, y, picture.pixel(x, y));
        QCOMPARE(window_->surface().image(), expected);
    }
}

QTEST_MAIN(RunTest)
#include "tst_run.moc"
