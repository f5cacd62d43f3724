#include "viewfileoption.h"

#include "explorer/viewfile.h"

#include <QFile>

namespace {

const QString option = QStringLiteral("--view-file");

bool readViewFile(const QString &path, QStringList &options, QString &error)
{
    QFile file(path);
    QString problem;
    Place place;
    if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > 1 << 20)
        problem = QStringLiteral("it is too large for a view file");
    else
        viewfile::read(file.readAll(), place, &problem);
    if (!problem.isEmpty()) {
        error = QStringLiteral("--view-file: cannot use '%1': %2.").arg(path, problem);
        return false;
    }
    options = viewfile::renderArguments(place);
    return true;
}

} // namespace

bool expandViewFiles(QStringList &arguments, QString &error)
{
    QStringList expanded;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QStringLiteral("--")) {
            expanded += arguments.mid(i);
            break;
        }
        QString path;
        if (a == option) {
            if (i + 1 == arguments.size()) {
                error = QStringLiteral("--view-file: expected the name of a view file; none given.");
                return false;
            }
            path = arguments[++i];
        } else if (a.startsWith(option + QLatin1Char('='))) {
            path = a.mid(option.size() + 1);
        } else {
            expanded << a;
            continue;
        }
        QStringList options;
        if (!readViewFile(path, options, error))
            return false;
        expanded += options;
    }
    arguments = expanded;
    return true;
}

QString withViewFileHelp(QString help)
{
    const qsizetype at = help.indexOf(QStringLiteral("  -h, --help"));
    return help.insert(at < 0 ? help.size() : at,
                       QStringLiteral("  --view-file <FILE>           The view, size and every "
                                      "parameter of a view\n"
                                      "                               file saved by Velmora "
                                      "Explorer, as the options\n"
                                      "                               that give them at this "
                                      "place (later options\n"
                                      "                               override them).\n"));
}
