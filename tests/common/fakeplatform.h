#pragma once

#include "ui/dialogs/sysinfoplatform.h"

#include <QStringList>

/// Files that exist and can be started; records what the launcher does instead of doing it.
/// Each message reads "title|text", with "|no parent" appended when it has no parent window.
class FakePlatform : public SysInfoPlatform
{
public:
    QStringList files;
    QStringList started;
    QStringList messages;

    bool fileExists(const QString &path) const override { return files.contains(path); }
    bool startProgram(const QString &path) override
    {
        started.append(path);
        return files.contains(path);
    }
    void showMessage(const QString &text, const QString &title, QWidget *parent) override
    {
        messages.append(title + '|' + text + (parent ? "" : "|no parent"));
    }
};
