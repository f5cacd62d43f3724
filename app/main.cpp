#include "ui/dialogs/pictures.h"
#include "ui/mainwindow/frmgrav.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    frmgrav window;
    window.show();
    // The dialogs' pictures are computed once the window is up, not when a dialog first opens.
    QTimer::singleShot(0, &window, &preparePictures);
    return QApplication::exec();
}
