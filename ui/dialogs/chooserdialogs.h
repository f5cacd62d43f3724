#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

/// The two modal choosers of the shared chooser object. Tests replace them so that nothing
/// blocks on a real dialog.
class ChooserDialogs
{
public:
    virtual ~ChooserDialogs() = default;

    /// Modal colour chooser opened on initial (packed colour); confirmed colour packed, or
    /// nullopt when cancelled.
    virtual std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *parent) = 0;

    /// Modal save chooser; confirmed path (default suffix appended when the typed name has
    /// none), or nullopt. No question is asked before an existing file would be replaced.
    virtual std::optional<QString> chooseSaveFile(const QString &title, const QString &folder,
                                                  const QString &fileName, const QString &filter,
                                                  const QString &defaultSuffix,
                                                  QWidget *parent) = 0;
};

/// The choosers as QColorDialog and QFileDialog.
class QtChooserDialogs : public ChooserDialogs
{
public:
    std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *parent) override;
    std::optional<QString> chooseSaveFile(const QString &title, const QString &folder,
                                          const QString &fileName, const QString &filter,
                                          const QString &defaultSuffix, QWidget *parent) override;
};
