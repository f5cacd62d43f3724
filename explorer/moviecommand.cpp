#include "moviecommand.h"

#include "picture/moviefile.h"
#include "scene/framepattern.h"
#include "scene/text.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString title = QStringLiteral("Record Zoom Movie");

/// The same part of the plane at size, on the grid.
Viewport atSize(const Viewport &v, QSize size)
{
    if (v.size == size)
        return v;
    return Viewport::fitting(
        QRectF(v.x, v.y, v.spacing * v.size.width(), v.spacing * v.size.height()), size);
}

/// A name for PNG frames beside a movie's name: zoom.mp4 gives zoom%05d.png.
QString framesName(const QString &movie)
{
    return (isMovieName(movie) ? movie.chopped(4) : movie) + QStringLiteral("%05d.png");
}

} // namespace

MovieCommand::MovieCommand(QMainWindow *window, std::function<Place()> place,
                           std::function<Place()> home)
    : QObject(window), window_(window), place_(std::move(place)), home_(std::move(home)),
      action_(new QAction(QStringLiteral("Record Zoom &Movie..."), this))
{
    action_->setObjectName(QStringLiteral("recordMovie"));
    action_->setStatusTip(QStringLiteral("A movie zooming from Home into this view, or out."));
    connect(action_, &QAction::triggered, this, &MovieCommand::record);
    connect(&recorder_, &MovieRecorder::finished, this, [this](bool ok, const QString &reason) {
        action_->setEnabled(true);
        if (ok) {
            window_->statusBar()->showMessage(QStringLiteral("Zoom movie recorded."), 5000);
        } else if (reason == QStringLiteral("cancelled")) {
            window_->statusBar()->showMessage(
                QStringLiteral("Recording cancelled; no movie written."), 5000);
        } else {
            QMessageBox::warning(window_, title,
                                 QStringLiteral("The movie could not be recorded: %1.").arg(reason));
        }
    });
}

bool MovieCommand::recording(const MovieRequest &request, Recording &recording,
                             QString *problem) const
{
    const Place place = place_();
    const Viewport here = atSize(place.view, request.size);
    const Viewport home = atSize(home_().view, request.size);
    for (const Viewport &v : {here, home}) {
        if (const QString why = v.refusal(); !why.isEmpty()) {
            *problem = why;
            return false;
        }
    }
    recording.path = request.zoomIn ? ZoomPath::between(home, here, request.frames)
                                    : ZoomPath::between(here, home, request.frames);
    if (const int k = recording.path.firstFault(); k >= 0) {
        *problem = QStringLiteral("frame %1 cannot be computed at this size").arg(k);
        return false;
    }
    recording.scene = place.scene;
    recording.output = request.output;
    recording.fps = request.fps;
    return true;
}

void MovieCommand::record()
{
    if (recorder_.busy())
        return;
    MovieRequest request;
    request.size = place_().view.size;
    request.output = QDir::current().absoluteFilePath(QStringLiteral("zoom.mp4"));
    if (!ask(request))
        return;
    if (isMovieName(request.output) && ffmpegProgram().isEmpty()) {
        const QString frames = framesName(request.output);
        if (QMessageBox::question(
                window_, title,
                QStringLiteral("An MP4 needs ffmpeg, which is not installed (Debian: apt install "
                               "ffmpeg). Write the frames as PNG files, %1, instead?")
                    .arg(frames)) != QMessageBox::Yes) {
            return;
        }
        request.output = frames;
    }
    if (!isMovieName(request.output) && !FramePattern().read(request.output)) {
        QMessageBox::warning(window_, title,
                             QStringLiteral("'%1' is neither a movie (.mp4) nor a name for "
                                            "frames with one frame number, as zoom%05d.png.")
                                 .arg(request.output));
        return;
    }
    Recording recording;
    QString problem;
    if (!this->recording(request, recording, &problem)) {
        QMessageBox::warning(window_, title, problem);
        return;
    }
    recorder_.start(recording);
    action_->setEnabled(false);
    showProgress(request.frames);
}

bool MovieCommand::ask(MovieRequest &request)
{
    QDialog dialog(window_);
    dialog.setWindowTitle(title);
    auto *form = new QFormLayout(&dialog);
    auto *direction = new QComboBox(&dialog);
    direction->addItems({QStringLiteral("In: from Home to this view"),
                         QStringLiteral("Out: from this view to Home")});
    auto *frames = new QSpinBox(&dialog);
    frames->setRange(2, ZoomPath::maxFrames);
    frames->setValue(request.frames);
    auto *fps = new QSpinBox(&dialog);
    fps->setRange(1, MovieFormat::maxFps);
    fps->setValue(request.fps);
    auto *size = new QLineEdit(sizeText(request.size), &dialog);
    auto *output = new QLineEdit(request.output, &dialog);
    auto *browse = new QPushButton(QStringLiteral("Browse..."), &dialog);
    connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString path = QFileDialog::getSaveFileName(&dialog, title, output->text(),
                                                          QStringLiteral("Movies (*.mp4)"));
        if (!path.isEmpty())
            output->setText(path);
    });
    auto *file = new QHBoxLayout;
    file->addWidget(output);
    file->addWidget(browse);
    form->addRow(QStringLiteral("Zoom:"), direction);
    form->addRow(QStringLiteral("Frames:"), frames);
    form->addRow(QStringLiteral("Frames a second:"), fps);
    form->addRow(QStringLiteral("Size (WIDTHxHEIGHT):"), size);
    form->addRow(QStringLiteral("File (.mp4, or frames as zoom%05d.png):"), file);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    while (dialog.exec() == QDialog::Accepted) {
        if (readSize(QString(size->text()).remove(QLatin1Char(' ')).toLower(), 1,
                     QSize(viewfile::maxSide, viewfile::maxSide), request.size)) {
            request.zoomIn = direction->currentIndex() == 0;
            request.frames = frames->value();
            request.fps = fps->value();
            request.output = output->text();
            return true;
        }
        QMessageBox::warning(&dialog, title,
                             QStringLiteral("'%1' is not a size from 1x1 to %2x%2.")
                                 .arg(size->text())
                                 .arg(viewfile::maxSide));
    }
    return false;
}

void MovieCommand::showProgress(int frames)
{
    auto *progress = new QProgressDialog(QStringLiteral("Recording the zoom movie..."),
                                         QStringLiteral("Cancel"), 0, 1000, window_);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowModality(Qt::NonModal);
    progress->setMinimumDuration(0);
    auto *poll = new QTimer(progress);
    connect(poll, &QTimer::timeout, progress, [this, progress, frames] {
        progress->setLabelText(QStringLiteral("Recording the zoom movie: frame %1 of %2...")
                                   .arg(std::min(recorder_.framesDone() + 1, frames))
                                   .arg(frames));
        progress->setValue(int(1000 * recorder_.pointsDone() /
                               std::max<std::int64_t>(1, recorder_.pointCount())));
    });
    connect(progress, &QProgressDialog::canceled, &recorder_, &MovieRecorder::cancel);
    connect(&recorder_, &MovieRecorder::finished, progress, &QProgressDialog::close);
    poll->start(100);
}
