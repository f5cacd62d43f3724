#include "sysinfoplatform.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

bool SysInfoPlatform::fileExists(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

bool SysInfoPlatform::startProgram(const QString &path)
{
    if (path.isEmpty())
        return false;
    // The path is the program itself, not a command line: it may hold blanks.
    QProcess process;
    process.setProgram(path);
    return process.startDetached();
}

void SysInfoPlatform::showMessage(const QString &text, const QString &title, QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}
