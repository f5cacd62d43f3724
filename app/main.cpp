#include "ui/dialogs/pictures.h"
#include "ui/mainwindow/frmgrav.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

/// Answers --help and --version, which need no display; -1 when neither is asked for, else the
/// exit status (1 when the text could not be printed).
int answerWithoutDisplay(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *text = nullptr;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            text = "Usage: velmora [Qt options]\n"
                   "Opens the Velmora window, which paints the basins of attraction of two fixed\n"
                   "masses. It needs a display: an X11 or Wayland session, or xvfb-run.\n"
                   "velmora-render makes the same pictures without one.\n";
        } else if (std::strcmp(argv[i], "--version") == 0) {
            text = "velmora " VELMORA_VERSION "\n";
        }
        if (text)
            return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int status = answerWithoutDisplay(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    frmgrav window;
    window.show();
    // The dialogs' pictures are computed once the window is up, not when a dialog first opens.
    QTimer::singleShot(0, &window, &preparePictures);
    return QApplication::exec();
}
