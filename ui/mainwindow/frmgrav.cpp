#include "frmgrav.h"

#include "drawingarea.h"
#include "parameterscrollbar.h"
#include "pictureframe.h"
#include "sprite.h"
#include "systemcolours.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"
#include "ui/dialogs/icon.h"

#include "picture/surface.h"
#include "sim/defaults.h"
#include "sim/number.h"
#include "sim/run.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int twipsPerPixel = 15;
/// The live variables reach the screen at about the display's rate.
constexpr qint64 frameInterval = 16; // ms

constexpr int pixels(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

/// A control rectangle designed in twips, in pixels.
QRect twips(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

QFont arial(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    return font;
}

/// The roles a text box plays on this window.
enum class Box { valueField, caption, subHeading, heading };

/// A single-line text box. Value fields are written by the program only; the others show a
/// fixed caption. None reacts to typing.
QLineEdit *createBox(QWidget *panel, const QString &name, Box role, const QRect &geometry,
                     const QString &text = {})
{
    auto *box = new QLineEdit(text, panel);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setGeometry(geometry);
    box->setFont(arial(role == Box::heading ? 9 : 8.25));
    box->setAlignment(role == Box::heading ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    box->setCursorPosition(0);

    if (role != Box::valueField) {
        const QPalette menuBar = QApplication::palette("QMenuBar");
        QPalette colours = box->palette();
        switch (role) {
        case Box::caption:
            colours.setColor(QPalette::Base, menuBar.color(QPalette::Window));
            break;
        case Box::subHeading:
            colours.setColor(QPalette::Base, activeBorderColour());
            break;
        case Box::heading:
            colours.setColor(QPalette::Base, menuBar.color(QPalette::Window));
            colours.setColor(QPalette::Text, menuBar.color(QPalette::ButtonText));
            break;
        case Box::valueField:
            break;
        }
        box->setPalette(colours);
    }
    return box;
}

QFrame *createPanel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setGeometry(geometry);
    return panel;
}

QScrollBar *createScrollBar(QWidget *panel, const QString &name, const QRect &geometry, int min,
                            int max, int smallChange, int largeChange)
{
    auto *bar = new ParameterScrollBar(min, max, smallChange, largeChange, panel);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    return bar;
}

std::int16_t int16Value(const QScrollBar *bar)
{
    return static_cast<std::int16_t>(bar->value());
}

/// A secondary window that is open: shown and not closed. A closed window deletes itself only at
/// the next pass of the event loop, so it may still exist.
bool isOpen(const QWidget *window)
{
    return window && window->isVisible();
}

/// Places a window that is about to open centred over another, within the other's screen.
void centreOver(QWidget *window, const QWidget *over)
{
    QRect placed(QPoint(), window->size());
    placed.moveCenter(over->frameGeometry().center());
    const QRect screen = over->screen()->availableGeometry();
    placed.moveLeft(
        std::max(screen.left(), std::min(placed.left(), screen.right() - placed.width() + 1)));
    placed.moveTop(
        std::max(screen.top(), std::min(placed.top(), screen.bottom() - placed.height() + 1)));
    window->move(placed.topLeft());
}

/// A client-area extent as a scrollbar bound; a Value is an int16.
int scrollBound(float extent)
{
    return sim::roundToInt16(std::min(extent, 32767.0f));
}

} // namespace

frmgrav::frmgrav(QWidget *parent)
    : QMainWindow(parent), decimalSeparator_(QLocale().decimalPoint().toStdString())
{
    setObjectName(QStringLiteral("frmgrav"));
    setWindowTitle(QStringLiteral("  Velmora"));
    setWindowIcon(velmoraIcon());

    drawingArea_ = new DrawingArea(this);
    drawingArea_->setObjectName(QStringLiteral("drawingArea"));
    setCentralWidget(drawingArea_);

    // Image controls lie under the panels.
    Image1 = new PictureFrame(drawingArea_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setLeft(pixels(4920));
    Image1->setTop(pixels(1800));
    Image1->setPictureWidth(pixels(1785));
    Image1->setPictureHeight(pixels(1695));

    Imggreen = new Sprite(drawingArea_);
    Imggreen->setObjectName(QStringLiteral("Imggreen"));
    Imggreen->setGeometry(twips(3480, 4440, 150, 150));
    Imggreen->setPosition(Imggreen->x(), Imggreen->y());

    createParameterPanel();
    createVariablesPanel();
    createMenus();

    const QSize designClient = twips(0, 0, 10440, 10470).size();
    resize(designClient.width(), designClient.height() + menuBar()->sizeHint().height());

    frameClock_.start();
    Form_Load();
}

frmgrav::~frmgrav()
{
    // The dialogs have no owner; the program's end takes them along.
    delete exitDialog_;
    delete aboutDialog_;
}

const Surface &frmgrav::surface() const
{
    return drawingArea_->surface();
}

void frmgrav::createMenus()
{
    QMenuBar *bar = menuBar();

    cmdfile = bar->addMenu(QStringLiteral("        File       "));
    cmdfile->setObjectName(QStringLiteral("cmdfile"));
    cmdstart = new QAction(QStringLiteral("     Start / Clearscreen    "), this);
    cmdstart->setObjectName(QStringLiteral("cmdstart"));
    cmdfile->addAction(cmdstart);

    cmdpicture = bar->addMenu(QStringLiteral("     Picture     "));
    cmdpicture->setObjectName(QStringLiteral("cmdpicture"));
    cmdsave = new QAction(QStringLiteral("Save Picture"), this);
    cmdsave->setObjectName(QStringLiteral("cmdsave"));
    cmdpicture->addAction(cmdsave);

    // Commands on the bar itself act when the bar entry is clicked.
    cmdstop = new QAction(QStringLiteral("        Stop      "), this);
    cmdstop->setObjectName(QStringLiteral("cmdstop"));
    bar->addAction(cmdstop);
    cmdexit = new QAction(QStringLiteral("     End      "), this);
    cmdexit->setObjectName(QStringLiteral("cmdexit"));
    bar->addAction(cmdexit);

    cmdalltables = bar->addMenu(QStringLiteral("     Options     "));
    cmdalltables->setObjectName(QStringLiteral("cmdalltables"));
    mnumasses = new QAction(QStringLiteral("Masses"), this);
    mnumasses->setObjectName(QStringLiteral("mnumasses"));
    mnumasses->setCheckable(true);
    mnumasses->setChecked(true);
    cmdalltables->addAction(mnumasses);
    mnuvariables = new QAction(QStringLiteral("Variables"), this);
    mnuvariables->setObjectName(QStringLiteral("mnuvariables"));
    mnuvariables->setCheckable(true);
    mnuvariables->setChecked(true);
    cmdalltables->addAction(mnuvariables);
    mnusep = new QAction(this);
    mnusep->setObjectName(QStringLiteral("mnusep"));
    mnusep->setSeparator(true);
    cmdalltables->addAction(mnusep);
    mnuall = new QAction(QStringLiteral("All tables"), this);
    mnuall->setObjectName(QStringLiteral("mnuall"));
    cmdalltables->addAction(mnuall);

    mnucolor = bar->addMenu(QStringLiteral("    Color     "));
    mnucolor->setObjectName(QStringLiteral("mnucolor"));
    mnucolorone = new QAction(QStringLiteral("color radius one    "), this);
    mnucolorone->setObjectName(QStringLiteral("mnucolorone"));
    mnucolor->addAction(mnucolorone);
    mnucolortwo = new QAction(QStringLiteral("color radius two"), this);
    mnucolortwo->setObjectName(QStringLiteral("mnucolortwo"));
    mnucolor->addAction(mnucolortwo);
    bgcolor = new QAction(QStringLiteral("Background color"), this);
    bgcolor->setObjectName(QStringLiteral("bgcolor"));
    mnucolor->addAction(bgcolor);

    cmdoptions = new QAction(QStringLiteral("      Info     "), this);
    cmdoptions->setObjectName(QStringLiteral("cmdoptions"));
    bar->addAction(cmdoptions);

    connect(cmdstart, &QAction::triggered, this, &frmgrav::cmdstart_Click);
    connect(cmdsave, &QAction::triggered, this, &frmgrav::cmdsave_Click);
    connect(cmdstop, &QAction::triggered, this, &frmgrav::cmdstop_Click);
    connect(cmdexit, &QAction::triggered, this, &frmgrav::cmdexit_Click);
    connect(mnumasses, &QAction::triggered, this, &frmgrav::mnumasses_Click);
    connect(mnuvariables, &QAction::triggered, this, &frmgrav::mnuvariables_Click);
    connect(mnuall, &QAction::triggered, this, &frmgrav::mnuall_Click);
    connect(mnucolorone, &QAction::triggered, this, &frmgrav::mnucolorone_Click);
    connect(mnucolortwo, &QAction::triggered, this, &frmgrav::mnucolortwo_Click);
    connect(bgcolor, &QAction::triggered, this, &frmgrav::bgcolor_Click);
    connect(cmdoptions, &QAction::triggered, this, &frmgrav::cmdoptions_Click);
}

void frmgrav::createParameterPanel()
{
    frmmasses = createPanel(drawingArea_, QStringLiteral("frmmasses"), twips(0, 0, 1455, 10455));
    QWidget *p = frmmasses;

    createBox(p, QStringLiteral("Text2"), Box::heading, twips(120, 240, 1215, 270),
              QStringLiteral("Masses"));
    createBox(p, QStringLiteral("txtmassegreen"), Box::caption, twips(120, 600, 2055, 255),
              QStringLiteral("mov mass in kg"));
    textmgreen =
        createBox(p, QStringLiteral("textmgreen"), Box::valueField, twips(120, 840, 1215, 255));
    vscmassegreen = createScrollBar(p, QStringLiteral("vscmassegreen"), twips(120, 1080, 1215, 200),
                                    1, 32767, 1, 1);
    createBox(p, QStringLiteral("txtmasserot"), Box::caption, twips(120, 1320, 1695, 255),
              QStringLiteral("mass one in kg"));
    textmrot =
        createBox(p, QStringLiteral("textmrot"), Box::valueField, twips(120, 1560, 1215, 255));
    vscmasserot = createScrollBar(p, QStringLiteral("vscmasserot"), twips(120, 1800, 1215, 200), 1,
                                  32767, 1, 1);
    createBox(p, QStringLiteral("txtmasseblau"), Box::caption, twips(120, 2040, 1695, 255),
              QStringLiteral("mass two in kg"));
    textmblau =
        createBox(p, QStringLiteral("textmblau"), Box::valueField, twips(120, 2280, 1215, 240));
    vscmasseblau = createScrollBar(p, QStringLiteral("vscmasseblau"), twips(120, 2520, 1215, 200),
                                   1, 32767, 1, 1);

    createBox(p, QStringLiteral("Text3"), Box::heading, twips(120, 2760, 1215, 270),
              QStringLiteral("Positions"));
    createBox(p, QStringLiteral("txtxxrot"), Box::caption, twips(120, 3120, 735, 255),
              QStringLiteral("x pos one"));
    textxxrot =
        createBox(p, QStringLiteral("textxxrot"), Box::valueField, twips(840, 3120, 495, 255));
    vscxposred = createScrollBar(p, QStringLiteral("vscxposred"), twips(120, 3360, 1215, 200), 0,
                                 2000, 1, 10);
    createBox(p, QStringLiteral("txtyyrot"), Box::caption, twips(120, 3600, 735, 210),
              QStringLiteral("y pos one"));
    textyyrot =
        createBox(p, QStringLiteral("textyyrot"), Box::valueField, twips(840, 3600, 495, 255));
    vscyposred = createScrollBar(p, QStringLiteral("vscyposred"), twips(120, 3840, 1215, 200), 0,
                                 2000, 1, 10);
    createBox(p, QStringLiteral("txtxblau"), Box::caption, twips(120, 4080, 735, 255),
              QStringLiteral("x pos two"));
    textxblau =
        createBox(p, QStringLiteral("textxblau"), Box::valueField, twips(840, 4080, 495, 255));
    vscxposblue = createScrollBar(p, QStringLiteral("vscxposblue"), twips(120, 4320, 1215, 200), 0,
                                  2000, 1, 10);
    createBox(p, QStringLiteral("txtyblau"), Box::caption, twips(120, 4560, 735, 255),
              QStringLiteral("y pos two"));
    textyblau =
        createBox(p, QStringLiteral("textyblau"), Box::valueField, twips(840, 4560, 495, 240));
    vscyposblue = createScrollBar(p, QStringLiteral("vscyposblue"), twips(120, 4800, 1215, 200), 0,
                                  2000, 1, 10);

    createBox(p, QStringLiteral("Text10"), Box::heading, twips(120, 5040, 1215, 270),
              QStringLiteral("Size"));
    createBox(p, QStringLiteral("txtradiusrot"), Box::caption, twips(120, 5400, 735, 210),
              QStringLiteral("rad. one"));
    textradiusrot =
        createBox(p, QStringLiteral("textradiusrot"), Box::valueField, twips(840, 5400, 495, 255));
    vscradred =
        createScrollBar(p, QStringLiteral("vscradred"), twips(120, 5640, 1215, 200), 1, 300, 1, 10);
    createBox(p, QStringLiteral("txtradiusblau"), Box::caption, twips(120, 5880, 855, 210),
              QStringLiteral("rad. two"));
    textradiusblau =
        createBox(p, QStringLiteral("textradiusblau"), Box::valueField, twips(840, 5880, 495, 255));
    vscradblau = createScrollBar(p, QStringLiteral("vscradblau"), twips(120, 6120, 1215, 200), 1,
                                 300, 1, 10);
    createBox(p, QStringLiteral("txtpicsizex"), Box::caption, twips(120, 6360, 735, 210),
              QStringLiteral("pic x"));
    Textpicsizex =
        createBox(p, QStringLiteral("Textpicsizex"), Box::valueField, twips(840, 6360, 495, 255));
    vscpicsizex = createScrollBar(p, QStringLiteral("vscpicsizex"), twips(120, 6600, 1215, 200), 2,
                                  200, 2, 10);
    createBox(p, QStringLiteral("txtpicsizey"), Box::caption, twips(120, 6840, 735, 210),
              QStringLiteral("pic y"));
    Textpicsizey =
        createBox(p, QStringLiteral("Textpicsizey"), Box::valueField, twips(840, 6840, 495, 255));
    vscpicsizey = createScrollBar(p, QStringLiteral("vscpicsizey"), twips(120, 7080, 1215, 200), 2,
                                  1000, 1, 10);

    // Caption boxes take no part in the Tab order.
    for (QLineEdit *box : frmmasses->findChildren<QLineEdit *>())
        if (box->objectName().startsWith(QLatin1String("txt")))
            box->setFocusPolicy(Qt::ClickFocus);

    connect(vscmassegreen, &QScrollBar::valueChanged, this, &frmgrav::vscmassegreen_Change);
    connect(vscmasserot, &QScrollBar::valueChanged, this, &frmgrav::vscmasserot_Change);
    connect(vscmasseblau, &QScrollBar::valueChanged, this, &frmgrav::vscmasseblau_Change);
    connect(vscxposred, &QScrollBar::valueChanged, this, &frmgrav::vscxposred_Change);
    connect(vscyposred, &QScrollBar::valueChanged, this, &frmgrav::vscyposred_Change);
    connect(vscxposblue, &QScrollBar::valueChanged, this, &frmgrav::vscxposblue_Change);
    connect(vscyposblue, &QScrollBar::valueChanged, this, &frmgrav::vscyposblue_Change);
    connect(vscradred, &QScrollBar::valueChanged, this, &frmgrav::vscradred_Change);
    connect(vscradblau, &QScrollBar::valueChanged, this, &frmgrav::vscradblau_Change);
    connect(vscpicsizex, &QScrollBar::valueChanged, this, &frmgrav::vscpicsizex_Change);
    connect(vscpicsizey, &QScrollBar::valueChanged, this, &frmgrav::vscpicsizey_Change);
}

void frmgrav::createVariablesPanel()
{
    frmvariables =
        createPanel(drawingArea_, QStringLiteral("frmvariables"), twips(1440, 5400, 9015, 1935));
    QWidget *p = frmvariables;

    // Three columns: caption boxes, then value fields to their right.
    struct Row
    {
        const char *caption;
        const char *field;
        const char *text;
        int top;
    };
    auto column = [&](int captionLeft, int fieldLeft, std::initializer_list<Row> rows) {
        for (const Row &row : rows) {
            createBox(p, QString::fromUtf8(row.caption), Box::caption,
                      twips(captionLeft, row.top, 975, 255), QString::fromUtf8(row.text));
            const int height = std::string_view(row.field) == "textxgreen" ? 270 : 255;
            createBox(p, QString::fromUtf8(row.field), Box::valueField,
                      twips(fieldLeft, row.top, 1815, height));
        }
    };
    auto subHeading = [&](const char *name, const char *text, int left, int top) {
        QLineEdit *box = createBox(p, QString::fromUtf8(name), Box::subHeading,
                                   twips(left, top, 2775, 255), QString::fromUtf8(text));
        box->setFocusPolicy(Qt::ClickFocus);
    };

    subHeading("Text5", " (x,y) position of moving mass in pixel", 120, 240);
    column(120, 1080,
           {{"txtxgrün", "textxgreen", "x pos mov", 480},
            {"txtygrün", "textygreen", "y pos mov", 720}});
    subHeading("Text6", "power of gravitation in m³ / kg * s²", 120, 1080);
    column(
        120, 1080,
        {{"txtfrot", "textfrot", "power one", 1320}, {"txtfblau", "textfblau", "power two", 1560}});

    createBox(p, QStringLiteral("Text1"), Box::heading, twips(3000, 240, 2775, 270),
              QStringLiteral("Variables"));
    subHeading("Text7", "Current (x,y) position of power", 3000, 600);
    column(3000, 3960,
           {{"txtxfrot", "textxfrot", "xpower one", 840},
            {"txtyfrot", "textyfrot", "ypower one", 1080},
            {"txtxfblau", "textxfblau", "xpower two", 1320},
            {"txtyfblau", "textyfblau", "ypower two", 1560}});

    subHeading("Text8", "Current distance", 5880, 240);
    column(5880, 6840,
           {{"txtrrot", "textrrot", "dist. to one", 480},
            {"txtrblau", "textrblau", "dist. to two", 720}});
    subHeading("Text9", "Ratio of distances", 5880, 1080);
    column(5880, 6840,
           {{"txtlrot", "textlrot", "lambda one", 1320},
            {"txtlblau", "textlblau", "lambda two", 1560}});

    // In the order of sim::Field.
    static constexpr std::array<const char *, sim::fieldCount> fieldNames = {
        "textxgreen", "textygreen", "textrrot",  "textrblau", "textfrot",   "textfblau",
        "textlrot",   "textxfrot",  "textyfrot", "textlblau", "textxfblau", "textyfblau"};
    for (std::size_t i = 0; i < fieldNames.size(); ++i)
        runFields_[i] = frmvariables->findChild<QLineEdit *>(QString::fromLatin1(fieldNames[i]));
}

void frmgrav::Form_Load()
{
    // Sized to the screen: its width, and its height less 20 twips. The window's own geometry
    // includes the frame.
    const QRect screenArea = screen()->geometry();
    const int windowHeight =
        qRound((screenArea.height() * twipsPerPixel - 20) / double(twipsPerPixel));
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(screenArea.width() - frame.width(), windowHeight - frame.height());
    move(0, 0);
    // The client area takes its size now, so that what is drawn below is kept in full.
    layout()->activate();
    drawingArea_->fitSurface();

    // Panels.
    frmvariables->move(frmmasses->width(), frmvariables->y());
    frmvariables->move(frmvariables->x(),
                       static_cast<int>(clientHeight() - frmvariables->height() - 20));
    frmvariables->resize(static_cast<int>(clientWidth() - frmmasses->width()),
                         frmvariables->height());
    frmmasses->move(frmmasses->x(), 0);
    frmmasses->resize(frmmasses->width(), static_cast<int>(clientHeight() - 20));

    // Picture size.
    vscpicsizex->setValue(100);
    showNumber(Textpicsizex, sim::singleNumber(Image1->pictureWidth()));
    vscpicsizex->setMaximum(scrollBound(clientWidth()));
    vscpicsizey->setValue(80);
    showNumber(Textpicsizey, sim::singleNumber(Image1->pictureHeight()));
    vscpicsizey->setMaximum(scrollBound(clientHeight()));

    // Picture rectangle.
    Image1->setPictureHeight(80);
    Image1->setPictureWidth(100);
    Image1->setTop(clientHeight() / 2.0f - Image1->pictureHeight() / 2.0f);
    Image1->setLeft(clientWidth() / 2.0f - Image1->pictureWidth() / 2.0f);

    // Mass one: position, radius, weight, colour.
    state_.xrot = 0;
    state_.yrot = 0;
    vscxposred->setMaximum(scrollBound(clientWidth()));
    vscxposred->setValue(sim::roundToInt16(clientWidth() / 2.0f - 10.0f));
    vscyposred->setMaximum(scrollBound(clientHeight()));
    vscyposred->setValue(sim::roundToInt16(clientHeight() / 2.0f));
    showNumber(textxxrot, sim::int16Number(state_.xrot));
    showNumber(textyyrot, sim::int16Number(state_.yrot));

    vscradred->setValue(sim::defaultRadius);
    showNumber(textradiusrot, sim::int16Number(int16Value(vscradred)));

    vscmasserot->setValue(10);
    showNumber(textmrot, sim::int16Number(int16Value(vscmasserot)));
    state_.massrot = QLocale().toDouble(textmrot->text()) * 10000;
    showNumber(textmrot, sim::realNumber(state_.massrot));

    state_.colorrot = 255;
    sim::drawCircleOne(state_, *this);

    // Mass two: position, weight, radius, colour.
    state_.xblau = 0;
    state_.yblau = 0;
    vscxposblue->setMaximum(scrollBound(clientWidth()));
    vscxposblue->setValue(sim::roundToInt16(clientWidth() / 2.0f + 10.0f));
    vscyposblue->setMaximum(scrollBound(clientHeight()));
    vscyposblue->setValue(sim::roundToInt16(clientHeight() / 2.0f));
    showNumber(textxblau, sim::int16Number(state_.xblau));
    showNumber(textyblau, sim::int16Number(state_.yblau));

    vscmasseblau->setValue(10);
    showNumber(textmblau, sim::int16Number(int16Value(vscmasseblau)));
    state_.massblau =
        static_cast<std::int32_t>(std::lround(QLocale().toDouble(textmblau->text()) * 10000));
    showNumber(textmblau, sim::int32Number(state_.massblau));

    vscradblau->setValue(sim::defaultRadius);
    showNumber(textradiusblau, sim::int16Number(int16Value(vscradblau)));

    state_.colorblau = 16711680;
    sim::drawCircleTwo(state_, *this);

    // Moving mass: on the top left corner of the picture rectangle.
    state_.xgreen = Image1->left();
    state_.ygreen = Image1->top();

    vscmassegreen->setValue(50);
    showNumber(textmgreen, sim::int16Number(int16Value(vscmassegreen)));
    state_.massgreen = QLocale().toDouble(textmgreen->text()) * 10000000;
    showNumber(textmgreen, sim::realNumber(state_.massgreen));

    Imggreen->setPosition(static_cast<float>(state_.xgreen) - Imggreen->width() / 2.0f,
                          Imggreen->positionTop());
    Imggreen->setPosition(Imggreen->positionLeft(),
                          static_cast<float>(state_.ygreen) - Imggreen->height() / 2.0f);
    Imggreen->applyPosition();
}

// Menu commands --------------------------------------------------------------------------------

void frmgrav::cmdstart_Click()
{
    sim::cmdstart_Click(state_, *this);
    if (!ending_)
        showFrame();
}

void frmgrav::cmdstop_Click()
{
    sim::cmdstop_Click(*this);
}

void frmgrav::cmdsave_Click()
{
    showFrame();
    if (CommonDialog1.showSave(this) &&
        writeImageFile(drawingArea_->surface().image(), CommonDialog1.fileName, "BMP"))
        return;
    message("   not yet saved ", sim::programTitle);
}

void frmgrav::cmdexit_Click()
{
    // A closing dialog is never shown again: it is gone at the next pass of the event loop.
    if (!isOpen(exitDialog_)) {
        exitDialog_ = new frmexit;
        exitDialog_->setWindowIcon(velmoraIcon());
        connect(exitDialog_, &frmexit::endProgram, this, &frmgrav::endProgram);
        centreOver(exitDialog_, this);
    }
    exitDialog_->show();
    exitDialog_->raise();
    exitDialog_->activateWindow();
}

void frmgrav::cmdoptions_Click()
{
    if (!isOpen(aboutDialog_)) {
        aboutDialog_ = new frmAbout5;
        centreOver(aboutDialog_, this);
    }
    aboutDialog_->show();
    aboutDialog_->raise();
    aboutDialog_->activateWindow();
}

void frmgrav::mnumasses_Click()
{
    const bool show = frmmasses->isHidden();
    frmmasses->setVisible(show);
    mnumasses->setChecked(show);
}

void frmgrav::mnuvariables_Click()
{
    const bool show = frmvariables->isHidden();
    frmvariables->setVisible(show);
    mnuvariables->setChecked(show);
}

void frmgrav::mnuall_Click()
{
    const bool show = frmmasses->isHidden() || frmvariables->isHidden();
    frmmasses->setVisible(show);
    frmvariables->setVisible(show);
    mnumasses->setChecked(show);
    mnuvariables->setChecked(show);
}

void frmgrav::mnucolorone_Click()
{
    CommonDialog1.flags = 1;
    showFrame();
    if (!CommonDialog1.showColor(this))
        return;
    state_.colorrot = CommonDialog1.colour;
    sim::drawCaptureCircles(state_, *this);
}

void frmgrav::mnucolortwo_Click()
{
    CommonDialog1.flags = 1;
    showFrame();
    if (!CommonDialog1.showColor(this))
        return;
    state_.colorblau = CommonDialog1.colour;
    sim::drawCaptureCircles(state_, *this);
}

void frmgrav::bgcolor_Click()
{
    CommonDialog1.title = QStringLiteral("hallo");
    CommonDialog1.flags = 1;
    showFrame();
    if (!CommonDialog1.showColor(this))
        return;
    drawingArea_->setBackground(CommonDialog1.colour);
    sim::drawCaptureCircles(state_, *this);
}

// Parameter scrollbars -------------------------------------------------------------------------

void frmgrav::vscmasserot_Change()
{
    showNumber(textmrot, sim::int16Number(int16Value(vscmasserot)));
    state_.massrot = QLocale().toDouble(textmrot->text()) * 10000;
    showNumber(textmrot, sim::realNumber(state_.massrot));
}

void frmgrav::vscmasseblau_Change()
{
    showNumber(textmblau, sim::int16Number(int16Value(vscmasseblau)));
    state_.massblau =
        static_cast<std::int32_t>(std::lround(QLocale().toDouble(textmblau->text()) * 10000));
    showNumber(textmblau, sim::int32Number(state_.massblau));
}

void frmgrav::vscmassegreen_Change()
{
    showNumber(textmgreen, sim::int16Number(int16Value(vscmassegreen)));
    state_.massgreen = QLocale().toDouble(textmgreen->text()) * 10000000;
    showNumber(textmgreen, sim::realNumber(state_.massgreen));
}

void frmgrav::vscradred_Change()
{
    clear();
    sim::drawCircleOne(state_, *this);
    showNumber(textradiusrot, sim::int16Number(int16Value(vscradred)));
    sim::drawCircleTwo(state_, *this);
}

void frmgrav::vscradblau_Change()
{
    clear();
    sim::drawCircleTwo(state_, *this);
    showNumber(textradiusblau, sim::int16Number(int16Value(vscradblau)));
    sim::drawCircleOne(state_, *this);
}

void frmgrav::vscxposred_Change()
{
    clear();
    state_.xrot = int16Value(vscxposred);
    showNumber(textxxrot, sim::int16Number(state_.xrot));
    showNumber(textyyrot, sim::int16Number(state_.yrot));
    sim::drawCircleOne(state_, *this);
    showNumber(textxxrot, sim::int16Number(int16Value(vscxposred)));
    sim::drawCircleTwo(state_, *this);
}

void frmgrav::vscyposred_Change()
{
    clear();
    state_.yrot = int16Value(vscyposred);
    showNumber(textxxrot, sim::int16Number(state_.xrot));
    showNumber(textyyrot, sim::int16Number(state_.yrot));
    sim::drawCircleOne(state_, *this);
    showNumber(textyyrot, sim::int16Number(int16Value(vscyposred)));
    sim::drawCircleTwo(state_, *this);
}

void frmgrav::vscxposblue_Change()
{
    clear();
    state_.xblau = int16Value(vscxposblue);
    showNumber(textxblau, sim::int16Number(state_.xblau));
    showNumber(textyblau, sim::int16Number(state_.yblau));
    sim::drawCircleTwo(state_, *this);
    showNumber(textxblau, sim::int16Number(int16Value(vscxposblue)));
    sim::drawCircleOne(state_, *this);
}

void frmgrav::vscyposblue_Change()
{
    clear();
    state_.yblau = int16Value(vscyposblue);
    showNumber(textxblau, sim::int16Number(state_.xblau));
    showNumber(textyblau, sim::int16Number(state_.yblau));
    sim::drawCircleTwo(state_, *this);
    showNumber(textyblau, sim::int16Number(int16Value(vscyposblue)));
    sim::drawCircleOne(state_, *this);
}

void frmgrav::vscpicsizex_Change()
{
    Image1->setBorderStyle(1);
    showNumber(Textpicsizex, sim::int16Number(int16Value(vscpicsizex)));
    Image1->setPictureWidth(int16Value(vscpicsizex));
    Image1->setLeft(clientWidth() / 2.0f - Image1->pictureWidth() / 2.0f);
}

void frmgrav::vscpicsizey_Change()
{
    Image1->setBorderStyle(1);
    showNumber(Textpicsizey, sim::int16Number(int16Value(vscpicsizey)));
    Image1->setPictureHeight(int16Value(vscpicsizey));
    Image1->setTop(clientHeight() / 2.0f - Image1->pictureHeight() / 2.0f);
}

// The run's view of the window -----------------------------------------------------------------

void frmgrav::clear()
{
    drawingArea_->clear();
}

void frmgrav::drawCircle(float x, float y, float radius, std::int32_t colour)
{
    drawingArea_->drawCircle(x, y, radius, colour);
}

void frmgrav::setPixel(float x, float y, std::int32_t colour)
{
    drawingArea_->setPixel(x, y, colour);
}

sim::Rect frmgrav::picture() const
{
    return Image1->pictureRect();
}

void frmgrav::setPictureBorder(int style)
{
    Image1->setBorderStyle(style);
}

void frmgrav::setSpriteVisible(bool visible)
{
    if (visible)
        Imggreen->applyPosition();
    Imggreen->setVisible(visible);
}

float frmgrav::spriteWidth() const
{
    return static_cast<float>(Imggreen->width());
}

float frmgrav::spriteHeight() const
{
    return static_cast<float>(Imggreen->height());
}

void frmgrav::moveSprite(float left, float top)
{
    Imggreen->setPosition(left, top);
    spriteMoved_ = true;
}

std::int16_t frmgrav::value(sim::Scrollbar bar) const
{
    return int16Value(bar == sim::Scrollbar::vscradred ? vscradred : vscradblau);
}

void frmgrav::setField(sim::Field field, sim::Number n)
{
    const auto i = static_cast<std::size_t>(field);
    pendingFields_[i] = n;
    fieldChanged_[i] = true;
}

bool frmgrav::yield()
{
    if (ending_)
        return false;
    if (frameClock_.hasExpired(frameInterval))
        showFrame();
    QCoreApplication::processEvents();
    return !ending_;
}

void frmgrav::message(std::string_view text, std::string_view title)
{
    showFrame();
    if (ending_)
        return;
    QMessageBox box(
        QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, this);
    box.exec();
}

void frmgrav::showFrame()
{
    for (std::size_t i = 0; i < runFields_.size(); ++i) {
        if (fieldChanged_[i]) {
            showNumber(runFields_[i], pendingFields_[i]);
            fieldChanged_[i] = false;
        }
    }
    if (spriteMoved_) {
        Imggreen->applyPosition();
        spriteMoved_ = false;
    }
    drawingArea_->flushUpdates();
    frameClock_.restart();
}

QString frmgrav::numberText(sim::Number n) const
{
    return QString::fromStdString(sim::numberText(n, decimalSeparator_));
}

void frmgrav::showNumber(QLineEdit *field, sim::Number n) const
{
    field->setText(numberText(n));
    field->setCursorPosition(0);
}

float frmgrav::clientWidth() const
{
    return static_cast<float>(drawingArea_->width());
}

float frmgrav::clientHeight() const
{
    return static_cast<float>(drawingArea_->height());
}

// Ending ---------------------------------------------------------------------------------------

void frmgrav::endProgram()
{
    if (ending_)
        return;
    ending_ = true;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    close();
    // Leaves every event loop, the modal boxes' and the application's, once control is back.
    QCoreApplication::exit(0);
}

bool frmgrav::event(QEvent *event)
{
    // A modal box holds the run; the screen shows where it stands until the box closes.
    if (event->type() == QEvent::WindowBlocked && !ending_)
        showFrame();
    return QMainWindow::event(event);
}

void frmgrav::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}
