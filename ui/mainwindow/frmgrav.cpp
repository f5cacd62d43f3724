#include "frmgrav.h"

#include "controls.h"
#include "drawingarea.h"
#include "parameterpanel.h"
#include "pictureframe.h"
#include "runview.h"
#include "sprite.h"
#include "variablespanel.h"

#include "ui/dialogs/frmabout5.h"
#include "ui/dialogs/frmexit.h"
#include "ui/dialogs/look.h"

#include "picture/surface.h"
#include "sim/defaults.h"
#include "sim/run.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace {

/// A client-area extent as a scrollbar bound; a Value is an int16.
int scrollBound(float extent)
{
    return sim::roundToInt16(std::min(extent, 32767.0f));
}

} // namespace

frmgrav::frmgrav(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmgrav"));
    dressWindow(this);

    drawingArea_ = new DrawingArea(this);
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
    Imggreen->setGeometry(pixelRect({3480, 4440, 150, 150}));
    Imggreen->setPosition(Imggreen->x(), Imggreen->y());

    frmmasses = new ParameterPanel(state_, *drawingArea_, *Image1, drawingArea_);
    frmvariables = new VariablesPanel(drawingArea_);
    runView_ = std::make_unique<RunView>(this, drawingArea_, Image1, Imggreen, frmmasses->vscradred,
                                         frmmasses->vscradblau, frmvariables->fields());
    createMenus();

    const QSize designClient = pixelRect({0, 0, 10440, 10470}).size();
    resize(designClient.width(), designClient.height() + menuBar()->sizeHint().height());

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

bool frmgrav::isEnding() const
{
    return runView_->isEnding();
}

void frmgrav::createMenus()
{
    QMenuBar *bar = menuBar();
    const auto dropDown = [bar](const char *name, const char *caption) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    // An entry of a drop-down or, without one, a command on the bar itself, which acts when the
    // bar entry is clicked.
    const auto entry = [this, bar](QMenu *menu, const char *name, const char *caption,
                                   void (frmgrav::*handler)()) {
        auto *action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(QString::fromUtf8(name));
        if (menu)
            menu->addAction(action);
        else
            bar->addAction(action);
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };

    cmdfile = dropDown("cmdfile", "        File       ");
    cmdstart = entry(cmdfile, "cmdstart", "     Start / Clearscreen    ", &frmgrav::cmdstart_Click);
    cmdpicture = dropDown("cmdpicture", "     Picture     ");
    cmdsave = entry(cmdpicture, "cmdsave", "Save Picture", &frmgrav::cmdsave_Click);
    cmdstop = entry(nullptr, "cmdstop", "        Stop      ", &frmgrav::cmdstop_Click);
    cmdexit = entry(nullptr, "cmdexit", "     End      ", &frmgrav::cmdexit_Click);

    cmdalltables = dropDown("cmdalltables", "     Options     ");
    mnumasses = entry(cmdalltables, "mnumasses", "Masses", &frmgrav::mnumasses_Click);
    mnuvariables = entry(cmdalltables, "mnuvariables", "Variables", &frmgrav::mnuvariables_Click);
    for (QAction *panel : {mnumasses, mnuvariables}) {
        panel->setCheckable(true);
        panel->setChecked(true);
    }
    mnusep = entry(cmdalltables, "mnusep", "", nullptr);
    mnusep->setSeparator(true);
    mnuall = entry(cmdalltables, "mnuall", "All tables", &frmgrav::mnuall_Click);

    mnucolor = dropDown("mnucolor", "    Color     ");
    mnucolorone =
        entry(mnucolor, "mnucolorone", "color radius one    ", &frmgrav::mnucolorone_Click);
    mnucolortwo = entry(mnucolor, "mnucolortwo", "color radius two", &frmgrav::mnucolortwo_Click);
    bgcolor = entry(mnucolor, "bgcolor", "Background color", &frmgrav::bgcolor_Click);

    cmdoptions = entry(nullptr, "cmdoptions", "      Info     ", &frmgrav::cmdoptions_Click);
}

void frmgrav::Form_Load()
{
    fitToScreen();

    // Every scrollbar assignment below runs that scrollbar's handler.
    ParameterPanel &p = *frmmasses;

    // Picture size.
    p.vscpicsizex->setValue(sim::defaultPictureWidth);
    showNumber(p.Textpicsizex, sim::singleNumber(Image1->pictureWidth()));
    p.vscpicsizex->setMaximum(scrollBound(clientWidth()));
    p.vscpicsizey->setValue(sim::defaultPictureHeight);
    showNumber(p.Textpicsizey, sim::singleNumber(Image1->pictureHeight()));
    p.vscpicsizey->setMaximum(scrollBound(clientHeight()));

    // Picture rectangle.
    const sim::Rect picture = sim::defaultPicture(clientWidth(), clientHeight());
    Image1->setPictureHeight(picture.height);
    Image1->setPictureWidth(picture.width);
    Image1->setTop(picture.top);
    Image1->setLeft(picture.left);

    loadMasses();
}

void frmgrav::fitToScreen()
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
}

void frmgrav::loadMasses()
{
    ParameterPanel &p = *frmmasses;
    const sim::simstate start = sim::defaultState(clientWidth(), clientHeight());

    // Mass one: position, radius, weight, colour.
    state_.xrot = 0;
    state_.yrot = 0;
    placeMass(p.vscxposred, start.xrot, p.vscyposred, start.yrot);
    p.showPosition(ParameterPanel::Mass::one);

    p.vscradred->setValue(sim::defaultRadius);
    showNumber(p.textradiusrot, sim::int16Number(int16Value(p.vscradred)));

    p.vscmasserot->setValue(sim::defaultFixedMass);
    state_.massrot =
        ParameterPanel::massThroughField(p.vscmasserot, p.textmrot, sim::fixedMassUnit);
    showNumber(p.textmrot, sim::realNumber(state_.massrot));

    state_.colorrot = start.colorrot;
    p.drawCircleOne();

    // Mass two: position, weight, radius, colour.
    state_.xblau = 0;
    state_.yblau = 0;
    placeMass(p.vscxposblue, start.xblau, p.vscyposblue, start.yblau);
    p.showPosition(ParameterPanel::Mass::two);

    p.vscmasseblau->setValue(sim::defaultFixedMass);
    state_.massblau = static_cast<std::int32_t>(std::lround(
        ParameterPanel::massThroughField(p.vscmasseblau, p.textmblau, sim::fixedMassUnit)));
    showNumber(p.textmblau, sim::int32Number(state_.massblau));

    p.vscradblau->setValue(sim::defaultRadius);
    showNumber(p.textradiusblau, sim::int16Number(int16Value(p.vscradblau)));

    state_.colorblau = start.colorblau;
    p.drawCircleTwo();

    // Moving mass: on the top left corner of the picture rectangle.
    state_.xgreen = Image1->left();
    state_.ygreen = Image1->top();

    p.vscmassegreen->setValue(sim::defaultMovingMass);
    state_.massgreen =
        ParameterPanel::massThroughField(p.vscmassegreen, p.textmgreen, sim::movingMassUnit);
    showNumber(p.textmgreen, sim::realNumber(state_.massgreen));

    Imggreen->setPosition(static_cast<float>(state_.xgreen) - Imggreen->width() / 2.0f,
                          Imggreen->positionTop());
    Imggreen->setPosition(Imggreen->positionLeft(),
                          static_cast<float>(state_.ygreen) - Imggreen->height() / 2.0f);
    Imggreen->applyPosition();
}

void frmgrav::placeMass(QScrollBar *xBar, std::int16_t x, QScrollBar *yBar, std::int16_t y)
{
    // Each maximum first, so that the start Value always lies in the range.
    xBar->setMaximum(scrollBound(clientWidth()));
    xBar->setValue(x);
    yBar->setMaximum(scrollBound(clientHeight()));
    yBar->setValue(y);
}

// Menu commands --------------------------------------------------------------------------------

void frmgrav::cmdstart_Click()
{
    sim::cmdstart_Click(state_, *runView_, *drawingArea_);
    if (!isEnding())
        runView_->showFrame();
}

void frmgrav::cmdstop_Click()
{
    sim::cmdstop_Click(*runView_);
}

void frmgrav::cmdsave_Click()
{
    runView_->showFrame();
    if (CommonDialog1.showSave(this) &&
        writeImageFile(drawingArea_->surface().image(), CommonDialog1.fileName, "BMP"))
        return;
    runView_->message("   not yet saved ", sim::programTitle);
}

void frmgrav::cmdexit_Click()
{
    // A closing dialog is never shown again: it is gone at the next pass of the event loop.
    if (!isOpen(exitDialog_)) {
        exitDialog_ = new frmexit;
        connect(exitDialog_, &frmexit::endProgram, this, &frmgrav::endProgram);
        centreOver(exitDialog_, this);
    }
    bringUp(exitDialog_);
}

void frmgrav::cmdoptions_Click()
{
    if (!isOpen(aboutDialog_)) {
        aboutDialog_ = new frmAbout5;
        centreOver(aboutDialog_, this);
    }
    bringUp(aboutDialog_);
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

bool frmgrav::chooseColour()
{
    CommonDialog1.flags = 1;
    runView_->showFrame();
    return CommonDialog1.showColor(this);
}

void frmgrav::mnucolorone_Click()
{
    if (!chooseColour())
        return;
    state_.colorrot = CommonDialog1.colour;
    frmmasses->drawCaptureCircles();
}

void frmgrav::mnucolortwo_Click()
{
    if (!chooseColour())
        return;
    state_.colorblau = CommonDialog1.colour;
    frmmasses->drawCaptureCircles();
}

void frmgrav::bgcolor_Click()
{
    CommonDialog1.title = QStringLiteral("hallo");
    if (!chooseColour())
        return;
    drawingArea_->setBackground(CommonDialog1.colour);
    frmmasses->drawCaptureCircles();
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
    if (isEnding())
        return;
    runView_->end();
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
    if (event->type() == QEvent::WindowBlocked && !isEnding())
        runView_->showFrame();
    return QMainWindow::event(event);
}

void frmgrav::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}
