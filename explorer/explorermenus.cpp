// The explorer's menus, toolbar and shortcuts.
#include "explorerwindow.h"

#include "moviecommand.h"

#include "parameterdock.h"
#include "statisticsdock.h"
#include "viewwidget.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

QAction *ExplorerWindow::makeAction(const char *name, const QString &text,
                                    const QList<QKeySequence> &keys, const QString &tip)
{
    auto *a = new QAction(text, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setStatusTip(tip);
    addAction(a);
    return a;
}

void ExplorerWindow::createActions()
{
    const QList<QAction *> files = createFileMenu();
    const QList<QAction *> places = createViewMenu();
    createHelpMenu();

    QToolBar *tools = addToolBar(QStringLiteral("Navigation"));
    tools->setObjectName(QStringLiteral("navigation"));
    tools->addActions({back_, forward_, places[2]});
    tools->addSeparator();
    tools->addActions({places[0], places[1]});
    tools->addSeparator();
    tools->addActions(files);
    updateHistoryActions();
}

QList<QAction *> ExplorerWindow::createFileMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *open = makeAction("openView", QStringLiteral("&Open View..."), {QKeySequence::Open},
                         QStringLiteral("Go to a place saved in a view file."));
    connect(open, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Open View"), {}, QStringLiteral("Views (*.json)"));
        if (!path.isEmpty())
            openView(path);
    });
    QAction *save = makeAction("saveView", QStringLiteral("&Save View..."), {QKeySequence::Save},
                         QStringLiteral("Save the place shown, with every parameter."));
    connect(save, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Save View"), QStringLiteral("view.json"),
            QStringLiteral("Views (*.json)"));
        if (!path.isEmpty())
            saveView(path);
    });
    QAction *picture = makeAction("savePicture", QStringLiteral("Save &Picture..."),
                            {QKeySequence(Qt::CTRL | Qt::Key_P)},
                            QStringLiteral("Write the view as a picture, at any size."));
    connect(picture, &QAction::triggered, this, &ExplorerWindow::savePicture);
    QAction *copy = makeAction("copyCommandLine", QStringLiteral("&Copy Command Line"),
                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
                         QStringLiteral("The velmora-render command that writes this view."));
    connect(copy, &QAction::triggered, this, [this] {
        QApplication::clipboard()->setText(commandLine());
        statusBar()->showMessage(QStringLiteral("Copied: ") + commandLine(), 8000);
    });
    QAction *quit = makeAction("quit", QStringLiteral("&Quit"), {QKeySequence::Quit});
    connect(quit, &QAction::triggered, this, &QWidget::close);
    file->addActions({open, save});
    file->addSeparator();
    file->addActions({picture, movie_->action(), copy});
    file->addSeparator();
    file->addAction(quit);
    return {picture, copy};
}

QList<QAction *> ExplorerWindow::createViewMenu()
{
    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction *zoomIn = makeAction("zoomIn", QStringLiteral("Zoom &In"),
                           {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal),
                            QKeySequence::ZoomIn});
    connect(zoomIn, &QAction::triggered, view_,
            [this] { view_->zoomBy(1 / ViewWidget::zoomStep); });
    QAction *zoomOut = makeAction("zoomOut", QStringLiteral("Zoom &Out"),
                            {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut});
    connect(zoomOut, &QAction::triggered, view_, [this] { view_->zoomBy(ViewWidget::zoomStep); });
    back_ = makeAction("back", QStringLiteral("&Back"), {QKeySequence(Qt::ALT | Qt::Key_Left)},
                 QStringLiteral("The place shown before."));
    connect(back_, &QAction::triggered, this, &ExplorerWindow::back);
    forward_ = makeAction("forward", QStringLiteral("&Forward"), {QKeySequence(Qt::ALT | Qt::Key_Right)});
    connect(forward_, &QAction::triggered, this, &ExplorerWindow::forward);
    QAction *homeAction = makeAction("home", QStringLiteral("&Home"), {QKeySequence(Qt::Key_Home)},
                               QStringLiteral("Every mass with its capture circle; the parameters stay."));
    connect(homeAction, &QAction::triggered, this, [this] { go(home()); });
    QAction *all = makeAction("showAllMasses", QStringLiteral("Show &All Masses"),
                              {QKeySequence(Qt::Key_0)},
                              QStringLiteral("Zoom out until every mass is in sight too."));
    connect(all, &QAction::triggered, this, [this] { go(allMasses()); });
    QAction *reset = makeAction("resetParameters", QStringLiteral("&Reset Parameters"), {},
                                QStringLiteral("Every parameter as at first start (Back undoes it)."));
    connect(reset, &QAction::triggered, this, [this] { go({place_.view, Scene()}); });
    QAction *fullScreen = makeAction("fullScreen", QStringLiteral("&Full Screen"),
                               {QKeySequence(Qt::Key_F11)});
    fullScreen->setCheckable(true);
    connect(fullScreen, &QAction::toggled, this,
            [this](bool on) { on ? showFullScreen() : showNormal(); });
    view->addActions({zoomIn, zoomOut});
    view->addSeparator();
    view->addActions({back_, forward_, homeAction, all});
    view->addAction(reset);
    view->addSeparator();
    view->addAction(parameters_->toggleViewAction());
    view->addAction(statistics_->toggleViewAction());
    view->addAction(fullScreen);
    return {zoomIn, zoomOut, homeAction};
}

void ExplorerWindow::createHelpMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *about = makeAction("about", QStringLiteral("&About Velmora Explorer"), {});
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(
            this, QStringLiteral("About Velmora Explorer"),
            QStringLiteral("<p><b>Velmora Explorer %1</b></p><p>Zoom into the basins of "
                           "attraction of 1 to 16 fixed masses. Every finished view is exactly the "
                           "picture velmora-render writes for it.</p><p>Wheel or + and -: zoom. "
                           "Drag: pan. Right-drag or Ctrl-drag: zoom to a rectangle. Drag a "
                           "mass to move it. Hold Shift: the trajectory under the "
                           "cursor.</p><p>Free software under the GNU General Public License, "
                           "version 3 or later.</p>")
                .arg(QApplication::applicationVersion()));
    });
    QAction *controls = makeAction("controls", QStringLiteral("&Controls"), {QKeySequence::HelpContents});
    connect(controls, &QAction::triggered, this, [this] {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Controls"), controlsPage(),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::RichText);
        box.exec();
    });
    help->addActions({controls, about});
}

QString ExplorerWindow::controlsPage()
{
    const QList<std::pair<const char *, const char *>> rows{
        {"Wheel", "zoom around the cursor"},
        {"+ and -", "zoom around the middle"},
        {"Drag", "pan"},
        {"Arrow keys", "pan by an eighth of the view"},
        {"Right-drag, Ctrl-drag", "zoom to the rectangle"},
        {"Drag a mass's handle", "move the mass"},
        {"Hold Shift", "the trajectory from the start point under the cursor"},
        {"Alt+Left, Alt+Right", "back and forward through the places visited"},
        {"Home", "every mass with its capture circle"},
        {"0", "zoom out until every mass is in sight too"},
        {"F11", "full screen"},
        {"Stop (status bar)", "stop computing; the finished points stay"},
    };
    QString page = QStringLiteral("<table cellspacing=4>");
    for (const auto &[key, what] : rows) {
        page += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QLatin1String(key), QLatin1String(what));
    }
    return page + QStringLiteral("</table><p>Grey stripes: start points still being "
                                 "followed. Positions are in plane units, those of the "
                                 "masses.</p>");
}
