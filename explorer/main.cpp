#include "explorerwindow.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationName(QStringLiteral("velmora-explorer"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora Explorer"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_EXPLORER_ID));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zooms and pans through the basins of attraction of two fixed masses in "
                       "real time; every finished view equals velmora-render's picture of it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("VIEW"),
                                 QStringLiteral("A view file to open (optional)."), QStringLiteral("[VIEW]"));
    parser.process(app);

    ExplorerWindow window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openView(parser.positionalArguments().constFirst());
    return QApplication::exec();
}
