// The main window as start-up leaves it, on the client area the screen configuration gives:
// 1024 x 700; 1021, 1023 or 1025 x 700 where the centre falls on half pixels; or 4022 x 700, far
// wider than the window as designed.

#include "tests/common/windowtest.h"

#include "ui/mainwindow/sprite.h"

#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>

using namespace windowtest;

namespace {

/// The start-up values that depend on the client width.
struct Expected
{
    int clientWidth;
    float pictureLeft;
    int pixelLeft; // the pixel that contains the left edge
    int xrot;
    int xblau;
};

constexpr Expected expectations[] = {
    {1024, 462.0f, 462, 502, 522},
    {1023, 461.5f, 461, 502, 522}, // 501.5 and 521.5 round up to even
    {1021, 460.5f, 460, 500, 520}, // 500.5 and 520.5 round down to even
    {1025, 462.5f, 462, 502, 522}, // 502.5 and 522.5 round down to even
    {4022, 1961.0f, 1961, 2001, 2021},
};
constexpr int clientHeight = 700;

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clientAreaIsTheScreenLessTheMenuBar();
    void pictureRectangleAndSprite();
    void panels();
    void parameters_data();
    void parameters();
    void liveFieldsAreEmpty();
    void model();
    void surfaceHoldsOnlyTheTwoCircles();
    void menuBar_data();
    void menuBar();
    void fonts();
    void captionsFit_data();
    void captionsFit();
    void subHeadingColour_data();
    void subHeadingColour();

private:
    frmgrav *window_ = nullptr;
    const Expected *expected_ = nullptr;
};

void StartupTest::init()
{
    window_ = new frmgrav;
    expected_ = nullptr;
    for (const Expected &e : expectations)
        if (e.clientWidth == window_->centralWidget()->width())
            expected_ = &e;
    QVERIFY2(expected_, "the screen configuration gives an unexpected client width");
    QCOMPARE(window_->centralWidget()->height(), clientHeight);
}

void StartupTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void StartupTest::clientAreaIsTheScreenLessTheMenuBar()
{
    // The window is as wide as the screen and 20 twips lower; the surface is the client area.
    const QRect screen = window_->screen()->geometry();
    QCOMPARE(window_->geometry(), QRect(0, 0, screen.width(), screen.height() - 1));
    QCOMPARE(window_->surface().size(), QSize(expected_->clientWidth, clientHeight));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    QCOMPARE(window_->surface().size(), window_->centralWidget()->size());
}

void StartupTest::pictureRectangleAndSprite()
{
    PictureFrame *image = pictureFrame(*window_);
    QVERIFY(image);
    QCOMPARE(image->left(), expected_->pictureLeft);
    QCOMPARE(image->top(), 310.0f);
    QCOMPARE(image->pictureWidth(), 100.0f);
    QCOMPARE(image->pictureHeight(), 80.0f);
    QCOMPARE(image->borderStyle(), 1);
    // The control sits on the pixel that contains its corner.
    QCOMPARE(image->geometry(), QRect(expected_->pixelLeft, 310, 100, 80));

    // The sprite is centred on the top left corner of the picture rectangle.
    auto *sprite = child<Sprite>(*window_, "Imggreen");
    QVERIFY(sprite);
    QVERIFY(!sprite->isHidden());
    QCOMPARE(sprite->size(), QSize(10, 10));
    QCOMPARE(sprite->positionLeft(), expected_->pictureLeft - 5.0f);
    QCOMPARE(sprite->positionTop(), 305.0f);
    QCOMPARE(sprite->pos(), QPoint(expected_->pixelLeft - 5, 305));
}

void StartupTest::panels()
{
    auto *masses = child<QWidget>(*window_, "frmmasses");
    auto *variables = child<QWidget>(*window_, "frmvariables");
    QVERIFY(masses && variables);
    QCOMPARE(masses->geometry(), QRect(0, 0, 97, clientHeight - 20));
    QCOMPARE(variables->geometry(),
             QRect(97, clientHeight - 129 - 20, expected_->clientWidth - 97, 129));
    QVERIFY(!masses->isHidden());
    QVERIFY(!variables->isHidden());
}

void StartupTest::parameters_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max"); // -1: the client width
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("smallChange");
    QTest::addColumn<int>("largeChange");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    // The positions that depend on the client width.
    const int xrot = -2, xblau = -3;
    QTest::newRow("mov mass") << "vscmassegreen" << 1 << 32767 << 50 << 1 << 1 << "textmgreen"
                              << "500000000";
    QTest::newRow("mass one") << "vscmasserot" << 1 << 32767 << 10 << 1 << 1 << "textmrot"
                              << "100000";
    QTest::newRow("mass two") << "vscmasseblau" << 1 << 32767 << 10 << 1 << 1 << "textmblau"
                              << "100000";
    QTest::newRow("x pos one") << "vscxposred" << 0 << -1 << xrot << 1 << 10 << "textxxrot"
                               << "";
    QTest::newRow("y pos one") << "vscyposred" << 0 << clientHeight << 350 << 1 << 10 << "textyyrot"
                               << "350";
    QTest::newRow("x pos two") << "vscxposblue" << 0 << -1 << xblau << 1 << 10 << "textxblau"
                               << "";
    QTest::newRow("y pos two") << "vscyposblue" << 0 << clientHeight << 350 << 1 << 10
                               << "textyblau"
                               << "350";
    QTest::newRow("rad. one") << "vscradred" << 1 << 300 << 5 << 1 << 10 << "textradiusrot"
                              << "5";
    QTest::newRow("rad. two") << "vscradblau" << 1 << 300 << 5 << 1 << 10 << "textradiusblau"
                              << "5";
    QTest::newRow("pic x") << "vscpicsizex" << 2 << -1 << 100 << 2 << 10 << "Textpicsizex"
                           << "100";
    QTest::newRow("pic y") << "vscpicsizey" << 2 << clientHeight << 80 << 1 << 10 << "Textpicsizey"
                           << "80";
}

void StartupTest::parameters()
{
    QFETCH(QString, bar);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    QFETCH(int, smallChange);
    QFETCH(int, largeChange);
    QFETCH(QString, field);
    QFETCH(QString, text);
    if (max == -1)
        max = expected_->clientWidth;
    if (value < 0) {
        value = value == -2 ? expected_->xrot : expected_->xblau;
        text = QString::number(value);
    }

    auto *scrollBar = window_->findChild<QScrollBar *>(bar);
    QVERIFY(scrollBar);
    QCOMPARE(scrollBar->orientation(), Qt::Horizontal);
    QVERIFY(scrollBar->isEnabled());
    QCOMPARE(scrollBar->minimum(), min);
    QCOMPARE(scrollBar->maximum(), max);
    QCOMPARE(scrollBar->value(), value);
    QCOMPARE(scrollBar->singleStep(), smallChange);
    QCOMPARE(scrollBar->pageStep(), largeChange);
    auto *box = window_->findChild<QLineEdit *>(field);
    QVERIFY(box);
    QCOMPARE(box->text(), text);
}

void StartupTest::liveFieldsAreEmpty()
{
    // The live variables are not written before the first run.
    for (const char *name :
         {"textxgreen", "textygreen", "textrrot", "textrblau", "textfrot", "textfblau", "textlrot",
          "textlblau", "textxfrot", "textyfrot", "textxfblau", "textyfblau"}) {
        auto *box = field(*window_, name);
        QVERIFY2(box, name);
        QCOMPARE(box->text(), QString());
    }
}

void StartupTest::model()
{
    const sim::simstate &s = window_->state();
    QCOMPARE(int(s.xrot), expected_->xrot);
    QCOMPARE(int(s.yrot), 350);
    QCOMPARE(int(s.xblau), expected_->xblau);
    QCOMPARE(int(s.yblau), 350);
    QCOMPARE(s.massrot, 100000.0);
    QCOMPARE(s.massblau, 100000);
    QCOMPARE(s.massgreen, 500000000.0);
    QCOMPARE(s.colorrot, 255);
    QCOMPARE(s.colorblau, 16711680);
    QCOMPARE(s.xgreen, double(expected_->pictureLeft));
    QCOMPARE(s.ygreen, 310.0);
    QCOMPARE(int(s.scany), 0);
    QCOMPARE(int(s.rowsdone), 0);
    QVERIFY(!window_->isEnding());
}

void StartupTest::surfaceHoldsOnlyTheTwoCircles()
{
    const QImage &image = window_->surface().image();
    QCOMPARE(image, circlesOnly(*window_).image());
    // And those are a red circle around mass one and a blue one around mass two.
    const int x1 = expected_->xrot, x2 = expected_->xblau;
    QCOMPARE(window_->surface().pixel(x1 + 5, 350), 255);
    QCOMPARE(window_->surface().pixel(x1, 345), 255);
    QCOMPARE(window_->surface().pixel(x2 - 5, 350), 16711680);
    QCOMPARE(window_->surface().pixel(x2, 355), 16711680);
    QCOMPARE(window_->surface().pixel(x1, 350), 0xFFFFFF);
}

void StartupTest::menuBar_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parent"); // the drop-down, or "" for the bar itself
    QTest::addColumn<int>("position");   // index among the parent's entries
    QTest::addColumn<bool>("checked");

    QTest::newRow("File") << "cmdfile"
                          << "        File       "
                          << "" << 0 << false;
    QTest::newRow("Start") << "cmdstart"
                           << "     Start / Clearscreen    "
                           << "cmdfile" << 0 << false;
    QTest::newRow("Picture") << "cmdpicture"
                             << "     Picture     "
                             << "" << 1 << false;
    QTest::newRow("Save") << "cmdsave"
                          << "Save Picture"
                          << "cmdpicture" << 0 << false;
    QTest::newRow("Stop") << "cmdstop"
                          << "        Stop      "
                          << "" << 2 << false;
    QTest::newRow("End") << "cmdexit"
                         << "     End      "
                         << "" << 3 << false;
    QTest::newRow("Options") << "cmdalltables"
                             << "     Options     "
                             << "" << 4 << false;
    QTest::newRow("Masses") << "mnumasses"
                            << "Masses"
                            << "cmdalltables" << 0 << true;
    QTest::newRow("Variables") << "mnuvariables"
                               << "Variables"
                               << "cmdalltables" << 1 << true;
    QTest::newRow("separator") << "mnusep"
                               << ""
                               << "cmdalltables" << 2 << false;
    QTest::newRow("All tables") << "mnuall"
                                << "All tables"
                                << "cmdalltables" << 3 << false;
    QTest::newRow("Color") << "mnucolor"
                           << "    Color     "
                           << "" << 5 << false;
    QTest::newRow("colour one") << "mnucolorone"
                                << "color radius one    "
                                << "mnucolor" << 0 << false;
    QTest::newRow("colour two") << "mnucolortwo"
                                << "color radius two"
                                << "mnucolor" << 1 << false;
    QTest::newRow("background") << "bgcolor"
                                << "Background color"
                                << "mnucolor" << 2 << false;
    QTest::newRow("Info") << "cmdoptions"
                          << "      Info     "
                          << "" << 6 << false;
}

void StartupTest::menuBar()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, parent);
    QFETCH(int, position);
    QFETCH(bool, checked);

    QAction *entry = window_->findChild<QAction *>(name);
    if (auto *menu = window_->findChild<QMenu *>(name)) {
        QCOMPARE(menu->title(), caption);
        entry = menu->menuAction();
    }
    QVERIFY(entry);
    QCOMPARE(entry->text(), caption);
    QVERIFY(entry->shortcut().isEmpty());
    QVERIFY(entry->isEnabled());
    QCOMPARE(entry->isChecked(), checked);
    QCOMPARE(entry->isCheckable(), checked);
    QCOMPARE(entry->isSeparator(), name == QLatin1String("mnusep"));

    const QWidget *owner = parent.isEmpty() ? static_cast<QWidget *>(window_->menuBar())
                                            : window_->findChild<QMenu *>(parent);
    QVERIFY(owner);
    QVERIFY(position < owner->actions().size());
    QCOMPARE(owner->actions().at(position), entry);
    // Commands on the bar itself have no drop-down.
    if (parent.isEmpty())
        QCOMPARE(entry->menu() != nullptr, window_->findChild<QMenu *>(name) != nullptr);
}

void StartupTest::fonts()
{
    // Arial, or the font with its metrics, at 8.25 points and 9 for the headings.
    for (const char *name : {"textmgreen", "txtxxrot", "Text5", "Text2", "Text1"}) {
        const QFont font = field(*window_, name)->font();
        const QString family = QFontInfo(font).family();
        QVERIFY2(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans"),
                 qPrintable(family));
        QCOMPARE(font.pointSizeF(), name[0] == 'T' && name[4] != '5' ? 9.0 : 8.25);
    }
}

void StartupTest::captionsFit_data()
{
    QTest::addColumn<QString>("name");
    // The longest captions for their boxes; "mov mass in kg" is cut by the panel's edge.
    for (const char *name : {"txtxblau", "txtyblau", "txtmassegreen", "Text5"})
        QTest::newRow(name) << name;
}

void StartupTest::captionsFit()
{
    QFETCH(QString, name);
    QLineEdit *box = window_->findChild<QLineEdit *>(name);
    // The text's ink, drawn with room to spare, ends within the box's frame and the panel.
    const int room = std::min(box->width() - 1,
                              box->parentWidget()->contentsRect().right() + 1 - box->x());
    box->resize(box->width() + 100, box->height());
    const QImage wide = box->grab().toImage();
    int inkEnd = 0;
    for (int y = 0; y < wide.height(); ++y) {
        for (int x = 0; x + 1 < wide.width(); ++x)
            inkEnd = qGray(wide.pixel(x, y)) < 128 ? std::max(inkEnd, x + 1) : inkEnd;
    }
    QVERIFY2(inkEnd > room / 2 && inkEnd <= room, qPrintable(QString::number(inkEnd)));
}

void StartupTest::subHeadingColour_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Text5", "Text6", "Text7", "Text8", "Text9"})
        QTest::newRow(name) << name;
}

void StartupTest::subHeadingColour()
{
#ifdef _WIN32
    QSKIP("the system gives the active border's colour");
#endif
    QFETCH(QString, name);
    // The classic active border's grey.
    QCOMPARE(window_->findChild<QLineEdit *>(name)->palette().color(QPalette::Base),
             QColor(212, 208, 200));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
