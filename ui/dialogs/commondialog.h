#pragma once

#include "chooserdialogs.h"

#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

/// The main window's one chooser object: a colour chooser and a save-file chooser whose settings
/// persist from one use to the next. The settings are public; nothing here resets them.
class CommonDialog
{
public:
    explicit CommonDialog(
        std::unique_ptr<ChooserDialogs> dialogs = std::make_unique<QtChooserDialogs>());

    /// Replaces the choosers shown; dialogs must not be null.
    void setDialogs(std::unique_ptr<ChooserDialogs> dialogs);

    /// Opens the colour chooser on colour. True, with colour updated, when a colour is confirmed;
    /// false, with nothing changed, when cancelled.
    bool showColor(QWidget *parent);

    /// Opens the save-file chooser with title, filter and defaultSuffix, offering fileName in
    /// initialFolder, or in the user's home folder where initialFolder does not exist. True, with
    /// fileName the confirmed path, when a path is confirmed; false, with nothing changed, when
    /// cancelled or when the path is longer than maxFileNameLength.
    bool showSave(QWidget *parent);

    QString title = QStringLiteral("save as ");
    QString defaultSuffix = QStringLiteral("bmp");
    QString filter = QStringLiteral("*.bmp");
    QString initialFolder = QStringLiteral("c:\\");
    QString fileName = QStringLiteral("Velmora");
    int maxFileNameLength = 1260;
    std::int32_t colour = 0; ///< packed red + 256 x green + 65536 x blue
    /// Set to 1 by the colour commands (open on the current colour), which is what showColor
    /// always does; kept so the setting persists like the others.
    int flags = 0;

private:
    std::unique_ptr<ChooserDialogs> dialogs_;
};
