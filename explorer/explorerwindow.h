#pragma once

#include "passcomputer.h"
#include "picturesaver.h"
#include "placehistory.h"
#include "scene/viewfile.h"

#include <QMainWindow>
#include <QTimer>

#include <optional>
#include <vector>

class MovieCommand;
class ParameterDock;
class ProgressLine;
class QLabel;
class StatisticsDock;
class ViewWidget;

/// Velmora Explorer's main window: the view, the parameters and statistics docks, menus, toolbar
/// and status bar, the history of places visited and the files it reads and writes.
class ExplorerWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// threads: the computing threads, 0 for one per core.
    explicit ExplorerWindow(int threads = 0, QWidget *parent = nullptr);
    ~ExplorerWindow() override;

    const Place &place() const { return place_; }
    /// Goes to place (at the view's own size when it has one); false, with the reason in the status
    /// bar, when the viewport is refused.
    bool go(const Place &place, bool remember = true);
    /// Every mass with its capture circle and a margin filling the view, the scene kept.
    Place home() const;
    /// The view shown and every mass with its capture circle, the scene kept.
    Place allMasses() const;

    PassComputer &computer() { return computer_; }
    ViewWidget &view() { return *view_; }
    MovieCommand &movie() { return *movie_; }

    /// Opens a view file; false with a message box naming the problem.
    bool openView(const QString &path);
    /// Writes the current place as a view file; false with a message box.
    bool saveView(const QString &path);
    /// Records the place shown in the history at once, as a change does once it settles.
    void remember();
    /// The velmora-render command line that writes the view as it stands to output.
    QString commandLine(const QString &output = QStringLiteral("view.png")) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    /// What the view's gestures and size changes do.
    void connectView();
    void createActions();
    /// The menus; each returns the actions the toolbar shows too.
    QList<QAction *> createFileMenu();
    QList<QAction *> createViewMenu();
    void createHelpMenu();
    /// Help > Controls: every key and mouse gesture, as rich text.
    static QString controlsPage();
    QAction *makeAction(const char *name, const QString &text, const QList<QKeySequence> &keys,
                        const QString &tip = {});
    void showPass(const PassResult &result);
    /// Offers Show All Masses in the status bar when a mass is out of sight.
    void offerMasses();
    void back();
    void forward();
    /// Goes to a place of the history, re-centred for the view's size.
    void goThrough(const Place &entry);
    void updateHistoryActions();
    void savePicture();
    void restoreSettings();

    ViewWidget *view_;
    ParameterDock *parameters_;
    StatisticsDock *statistics_;
    QLabel *cursor_;
    PassComputer computer_;
    ProgressLine *progress_;
    PictureSaver saver_;
    MovieCommand *movie_;
    Place place_;
    PlaceHistory history_;
    QTimer settle_;
    QAction *back_ = nullptr;
    QAction *forward_ = nullptr;
    qint64 requestedAt_ = 0;
    /// Where the last run left off, to open there once the view has its size.
    std::optional<Place> opening_;
};
