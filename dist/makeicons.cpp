// velmora-makeicons DIR ID SIZE...: writes the window icon as DIR/SIZExSIZE/apps/ID.png for
// each SIZE, from the program's own icon drawing: the explorer's for its ID, else the window's.
// Run at build time; not installed.
#include "explorer/explorericon.h"
#include "ui/dialogs/icon.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fputs("usage: velmora-makeicons DIR ID SIZE...\n", stderr);
        return 2;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 2 || size % 2 != 0) {
            std::fprintf(stderr, "velmora-makeicons: not an even size: %s\n",
                         qUtf8Printable(args[i]));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        QSaveFile file(QStringLiteral("%1/%2.png").arg(folder, args[2]));
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
            !(args[2] == QStringLiteral(VELMORA_EXPLORER_ID) ? explorerIconImage(size)
                                                             : velmoraIconImage(size))
                 .save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "velmora-makeicons: cannot write %s\n",
                         qUtf8Printable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
