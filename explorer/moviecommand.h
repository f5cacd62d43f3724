#pragma once

#include "movierecorder.h"

#include "scene/viewfile.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;

/// What File > Record Zoom Movie asks for.
struct MovieRequest
{
    /// From Home into the place shown, or from it out to Home.
    bool zoomIn = true;
    int frames = 150;
    int fps = 30;
    /// The frames' size, the view's by default: another size shows the same part of the plane.
    QSize size;
    QString output;
};

/// File > Record Zoom Movie: a small dialog, then the recording in the background with its
/// progress and Cancel, the window going on meanwhile.
class MovieCommand : public QObject
{
    Q_OBJECT

public:
    /// place and home give the place shown and Home when the command runs.
    MovieCommand(QMainWindow *window, std::function<Place()> place, std::function<Place()> home);

    QAction *action() const { return action_; }
    MovieRecorder &recorder() { return recorder_; }

    /// The recording a request makes of the places now; false with *problem set when it cannot
    /// be recorded (a frame the engine cannot compute, a size off the grid's range).
    bool recording(const MovieRequest &request, Recording &recording, QString *problem) const;

private:
    void record();
    /// Asks for the request; false when cancelled.
    bool ask(MovieRequest &request);
    void showProgress(int frames);

    QMainWindow *window_;
    std::function<Place()> place_;
    std::function<Place()> home_;
    QAction *action_;
    MovieRecorder recorder_;
};
