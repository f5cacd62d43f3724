#include "ui/mainwindow/frmgrav.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmgrav window;
    window.show();
    return QApplication::exec();
}
