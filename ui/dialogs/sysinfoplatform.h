#pragma once

#include <QString>

class QWidget;

/// What the system information launcher needs from the system besides the registry. Tests
/// override it so that they neither start programs nor show boxes.
class SysInfoPlatform
{
public:
    virtual ~SysInfoPlatform() = default;

    /// True when path names a normal file: not a folder, not hidden.
    virtual bool fileExists(const QString &path) const;
    /// Starts the program at path without waiting for it; true when it was started.
    virtual bool startProgram(const QString &path);
    /// A modal message box with an OK button only and no icon, over parent.
    virtual void showMessage(const QString &text, const QString &title, QWidget *parent);
};
