#include "commondialog.h"

#include <QDir>
#include <QFileInfo>

CommonDialog::CommonDialog(std::unique_ptr<ChooserDialogs> dialogs) : dialogs_(std::move(dialogs))
{
    Q_ASSERT(dialogs_);
}

void CommonDialog::setDialogs(std::unique_ptr<ChooserDialogs> dialogs)
{
    Q_ASSERT(dialogs);
    if (dialogs)
        dialogs_ = std::move(dialogs);
}

bool CommonDialog::showColor(QWidget *parent)
{
    const std::optional<std::int32_t> chosen = dialogs_->chooseColour(colour, parent);
    if (!chosen)
        return false;
    colour = *chosen;
    return true;
}

bool CommonDialog::showSave(QWidget *parent)
{
    const QString folder = QFileInfo(initialFolder).isDir() ? initialFolder : QDir::homePath();
    const std::optional<QString> chosen =
        dialogs_->chooseSaveFile(title, folder, fileName, filter, defaultSuffix, parent);
    if (!chosen || chosen->isEmpty() || chosen->size() > maxFileNameLength)
        return false;
    fileName = *chosen;
    return true;
}
