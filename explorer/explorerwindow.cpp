#include "explorerwindow.h"

#include "explorericon.h"
#include "massframe.h"
#include "moviecommand.h"
#include "parameterdock.h"
#include "progressline.h"
#include "statisticsdock.h"
#include "viewwidget.h"

#include "files/safefile.h"
#include "scene/sceneparameters.h"
#include "scene/text.h"
#include "sim/defaults.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

namespace {

QString shellWord(const QString &word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.,/:=+-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

/// Puts mass number k (from 0) at the whole plane position nearest at that a view may give.
void placeMass(TrajectoryParameters &parameters, int k, QPointF at)
{
    for (const auto &[kind, value] :
         {std::pair{ParameterKind::x, at.x()}, std::pair{ParameterKind::y, at.y()}}) {
        const ParameterInfo &p = *massParameter(k, kind);
        p.set(parameters, std::clamp<std::int64_t>(std::llround(value), p.min,
                                                   maxValue(p, viewArea())));
    }
}

} // namespace

ExplorerWindow::ExplorerWindow(int threads, QWidget *parent)
    : QMainWindow(parent), view_(new ViewWidget), parameters_(new ParameterDock(this)),
      statistics_(new StatisticsDock(this)), cursor_(new QLabel), computer_(threads),
      progress_(new ProgressLine(computer_)),
      movie_(new MovieCommand(this, [this] { return place_; }, [this] { return home(); }))
{
    setWindowTitle(QStringLiteral("Velmora Explorer"));
    setWindowIcon(explorerIcon());
    setCentralWidget(view_);
    addDockWidget(Qt::RightDockWidgetArea, parameters_);
    addDockWidget(Qt::RightDockWidgetArea, statistics_);
    cursor_->setObjectName(QStringLiteral("cursorPosition"));
    statusBar()->addPermanentWidget(cursor_);

    connect(&computer_, &PassComputer::passReady, this, &ExplorerWindow::showPass);
    connect(&computer_, &PassComputer::statisticsReady, this,
            [this](quint64 request, const Statistics &statistics, qint64 pending) {
                if (request == computer_.latest())
                    statistics_->showStatistics(&statistics, pending);
            });
    statusBar()->addPermanentWidget(progress_);
    connect(progress_, &ProgressLine::stopped, this, [this](qint64 left) {
        statusBar()->showMessage(
            QStringLiteral("Stopped: %1 start points left uncomputed, drawn striped.")
                .arg(QLocale().toString(left)));
    });
    connectView();
    connect(parameters_, &ParameterDock::sceneChanged, this, [this](const Scene &scene) {
        go({place_.view, scene});
        offerMasses();
    });
    connect(parameters_, &ParameterDock::massWanted, this, [this] {
        Scene scene = place_.scene;
        const QSize size = place_.view.size;
        if (!scene.addMass(FixedMass()))
            return;
        placeMass(scene.trajectory, int(scene.trajectory.masses.size()) - 1,
                  place_.view.plane(QPointF(size.width() / 2.0, size.height() / 2.0)));
        go({place_.view, scene});
        parameters_->selectMass(int(scene.trajectory.masses.size()) - 1);
    });
    connect(&saver_, &PictureSaver::finished, this, [this](bool ok, const QString &reason) {
        if (ok)
            statusBar()->showMessage(QStringLiteral("Picture saved."), 5000);
        else if (reason == QStringLiteral("cancelled"))
            statusBar()->showMessage(QStringLiteral("Saving cancelled; nothing written."), 5000);
        else
            QMessageBox::warning(this, QStringLiteral("Save Picture"),
                                 QStringLiteral("The picture could not be saved: %1.").arg(reason));
    });

    settle_.setSingleShot(true);
    settle_.setInterval(600);
    connect(&settle_, &QTimer::timeout, this, &ExplorerWindow::remember);

    createActions();
    history_.reset(place_);
    restoreSettings();
}

ExplorerWindow::~ExplorerWindow() = default;

void ExplorerWindow::connectView()
{
    connect(view_, &ViewWidget::viewWanted, this, [this](const Viewport &view) {
        go({view, place_.scene});
    });
    connect(view_, &ViewWidget::deviceSizeChanged, this, [this](QSize size) {
        if (computer_.latest() != 0) {
            // The same place at the new size, not another one: a change still settling is
            // recorded first.
            if (settle_.isActive())
                remember();
            if (go({place_.view.resized(size), place_.scene}, false))
                history_.update(place_);
            return;
        }
        // The first size: where the explorer opens.
        if (!go(opening_ ? Place{opening_->view.centred(size), opening_->scene} : home(), false))
            go(home(), false);
        history_.reset(place_);
    });
    connect(view_, &ViewWidget::massMoved, this, [this](int mass, QPoint at) {
        Place moved = place_;
        placeMass(moved.scene.trajectory, mass - 1, at);
        parameters_->selectMass(mass - 1);
        go(moved);
    });
    connect(view_, &ViewWidget::cursorMoved, this, [this](QPointF at) {
        cursor_->setText(QStringLiteral("x %1   y %2")
                             .arg(double(float(at.x())), 0, 'g', 9)
                             .arg(at.y(), 0, 'g', 12));
    });
    connect(view_, &ViewWidget::trajectoryShown, this, [this](const QString &text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
}

Place ExplorerWindow::home() const
{
    return {Viewport::fitting(massesFrame(place_.scene.trajectory), view_->deviceSize()),
            place_.scene};
}

Place ExplorerWindow::allMasses() const
{
    const Viewport &v = place_.view;
    const QRectF shown(v.x, v.y, v.spacing * v.size.width(), v.spacing * v.size.height());
    return {Viewport::fitting(shown.united(massesFrame(place_.scene.trajectory)), v.size),
            place_.scene};
}

bool ExplorerWindow::go(const Place &wanted, bool record)
{
    Place place = wanted;
    if (place.view.size.isEmpty())
        place.view.size = view_->deviceSize();
    if (const QString why = place.view.refusal(); !why.isEmpty()) {
        statusBar()->showMessage(why, 8000);
        return false;
    }
    if (place == place_ && computer_.latest() != 0)
        return true;
    if (place.scene != place_.scene) {
        view_->setScene(place.scene);
        parameters_->setScene(place.scene);
    }
    place_ = place;
    view_->setView(place.view);
    statistics_->showComputing(int(place.scene.trajectory.masses.size()));
    requestedAt_ = QDateTime::currentMSecsSinceEpoch();
    computer_.request(place.view, place.scene);
    progress_->refresh();
    if (record)
        settle_.start();
    return true;
}

void ExplorerWindow::offerMasses()
{
    const Viewport &v = place_.view;
    const QRectF shown(0, 0, v.size.width(), v.size.height());
    const std::vector<FixedMass> &masses = place_.scene.trajectory.masses;
    for (std::size_t k = 0; k < masses.size(); ++k) {
        if (!shown.contains(v.device(QPointF(masses[k].x, masses[k].y)))) {
            statusBar()->showMessage(
                QStringLiteral("Mass %1 is out of sight: press 0 (View > Show All Masses) to see "
                               "it.")
                    .arg(QLatin1String(massWord(int(k) + 1))),
                8000);
            return;
        }
    }
}

void ExplorerWindow::showPass(const PassResult &result)
{
    if (result.request != computer_.latest())
        return; // a later request is under way: this pass is stale
    view_->showPass(result);
    if (result.finished) {
        statusBar()->showMessage(QStringLiteral("Finished in %1 ms.")
                                     .arg(QDateTime::currentMSecsSinceEpoch() - requestedAt_),
                                 3000);
    }
}

void ExplorerWindow::remember()
{
    settle_.stop();
    history_.visit(place_);
    updateHistoryActions();
}

void ExplorerWindow::back()
{
    remember();
    if (!history_.canGoBack())
        return;
    goThrough(history_.back());
}

void ExplorerWindow::forward()
{
    remember();
    if (!history_.canGoForward())
        return;
    goThrough(history_.forward());
}

void ExplorerWindow::goThrough(const Place &entry)
{
    if (go({entry.view.centred(view_->deviceSize()), entry.scene}, false))
        history_.update(place_);
    updateHistoryActions();
}

void ExplorerWindow::updateHistoryActions()
{
    back_->setEnabled(history_.canGoBack());
    forward_->setEnabled(history_.canGoForward());
}

QString ExplorerWindow::commandLine(const QString &output) const
{
    QStringList words{QStringLiteral("velmora-render")};
    for (const QString &w : viewfile::renderArguments(place_))
        words << shellWord(w);
    words << shellWord(output);
    return words.join(QLatin1Char(' '));
}

bool ExplorerWindow::openView(const QString &path)
{
    QString problem;
    Place read;
    if (viewfile::readViewFile(path, read, &problem)) {
        // The place's middle, at the size of this window's view.
        if (computer_.latest() == 0) {
            opening_ = read; // placed once the view has its size
            return true;
        }
        go({read.view.centred(view_->deviceSize()), read.scene});
        return true;
    }
    QMessageBox::warning(this, QStringLiteral("Open View"),
                         QStringLiteral("'%1' was not opened: %2.").arg(path, problem));
    return false;
}

bool ExplorerWindow::saveView(const QString &path)
{
    const QByteArray contents = viewfile::write(place_);
    QString reason;
    if (writeBytesSafely(path, contents, &reason)) {
        return true;
    }
    QMessageBox::warning(this, QStringLiteral("Save View"),
                         QStringLiteral("'%1' could not be written: %2.").arg(path, reason));
    return false;
}

void ExplorerWindow::savePicture()
{
    if (saver_.busy())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Picture"),
                                                      QStringLiteral("view.png"),
                                                      QStringLiteral("Pictures (*.png *.bmp)"));
    if (path.isEmpty())
        return;
    const QSize current = place_.view.size;
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Save Picture"),
        QStringLiteral("Size in points, WIDTHxHEIGHT (each 1 to %1):").arg(viewfile::maxSide),
        QLineEdit::Normal, sizeText(current), &ok);
    if (!ok)
        return;
    QSize size;
    if (!readSize(QString(text).remove(QLatin1Char(' ')).toLower(), 1,
                  QSize(viewfile::maxSide, viewfile::maxSide), size)) {
        QMessageBox::warning(this, QStringLiteral("Save Picture"),
                             QStringLiteral("'%1' is not a size from 1x1 to %2x%2.")
                                 .arg(text)
                                 .arg(viewfile::maxSide));
        return;
    }
    Place place = place_;
    if (size != current) {
        const Viewport &v = place_.view;
        place.view = Viewport::fitting(
            QRectF(v.x, v.y, v.spacing * current.width(), v.spacing * current.height()), size);
    }
    if (const QString why = place.view.refusal(); !why.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Save Picture"), why);
        return;
    }
    auto *progress = new QProgressDialog(QStringLiteral("Computing and saving the picture..."),
                                         QStringLiteral("Cancel"), 0, 1000, this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    auto *poll = new QTimer(progress);
    connect(poll, &QTimer::timeout, progress, [this, progress] {
        progress->setValue(
            int(1000 * saver_.pointsDone() / std::max<std::int64_t>(1, saver_.pointCount())));
    });
    connect(progress, &QProgressDialog::canceled, &saver_, &PictureSaver::cancel);
    connect(&saver_, &PictureSaver::finished, progress, &QProgressDialog::close);
    poll->start(100);
    saver_.start(place, path);
}

void ExplorerWindow::closeEvent(QCloseEvent *event)
{
    QSettings settings;
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("windowState"), saveState());
    settings.setValue(QStringLiteral("place"), viewfile::write(place_));
    saver_.cancel();
    movie_->recorder().cancel();
    event->accept();
}

void ExplorerWindow::restoreSettings()
{
    QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray()))
        resize(1280, 800);
    restoreState(settings.value(QStringLiteral("windowState")).toByteArray());
    Place last;
    if (viewfile::read(settings.value(QStringLiteral("place")).toByteArray(), last, nullptr)) {
        opening_ = last;
    }
    if (!settings.value(QStringLiteral("hintShown")).toBool()) {
        statusBar()->showMessage(
            QStringLiteral("Wheel: zoom. Drag: pan. Right-drag: zoom to a box. Shift: trajectory. "
                           "Help > Controls (F1) for more."));
        settings.setValue(QStringLiteral("hintShown"), true);
    }
}
