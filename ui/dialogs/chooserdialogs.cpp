#include "chooserdialogs.h"

#include "picture/surface.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

std::optional<std::int32_t> QtChooserDialogs::chooseColour(std::int32_t initial, QWidget *parent)
{
    QColorDialog dialog(QColor::fromRgb(toRgb(initial)), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fromRgb(dialog.selectedColor().rgb());
}

std::optional<QString> QtChooserDialogs::chooseSaveFile(const QString &title, const QString &folder,
                                                        const QString &fileName,
                                                        const QString &filter,
                                                        const QString &defaultSuffix,
                                                        QWidget *parent)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    // The dialog leaves out the suffix when the typed name is also that of a folder in the
    // program's working folder; a name without one gets it here in any case.
    QString path = files.constFirst();
    if (!defaultSuffix.isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}
