#include "explorerwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

namespace {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("velmora-explorer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
}

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Zooms and pans through the basins of attraction of two fixed masses in "
                       "real time; every finished view equals velmora-render's picture of it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("VIEW"),
                                 QStringLiteral("A view file to open (optional)."), QStringLiteral("[VIEW]"));
}

/// Whether the command line asks only for text: the help or the version, which need no display.
bool asksForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (asksForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        QCommandLineParser parser;
        describe(parser);
        parser.process(app); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    nameApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora Explorer"));
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_EXPLORER_ID));

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    ExplorerWindow window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openView(parser.positionalArguments().constFirst());
    return QApplication::exec();
}
