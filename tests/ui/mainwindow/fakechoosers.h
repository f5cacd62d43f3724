#pragma once

#include "ui/dialogs/chooserdialogs.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

/// What the choosers answer, in order, and what they were asked. The test owns it; the fake
/// choosers installed in the window only point to it.
struct ChooserScript
{
    std::deque<std::optional<std::int32_t>> colours;
    std::deque<std::optional<QString>> paths;

    QList<std::int32_t> initialColours;
    QStringList titles, folders, fileNames, filters, suffixes;
};

/// Choosers that answer from a script instead of showing a dialog. Like the save-file dialog,
/// the save chooser appends the default suffix to a name typed without one.
class FakeChoosers : public ChooserDialogs
{
public:
    explicit FakeChoosers(ChooserScript &script) : script_(script) {}

    std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *) override
    {
        script_.initialColours << initial;
        if (script_.colours.empty())
            return std::nullopt;
        const std::optional<std::int32_t> answer = script_.colours.front();
        script_.colours.pop_front();
        return answer;
    }

    std::optional<QString> chooseSaveFile(const QString &title, const QString &folder,
                                          const QString &fileName, const QString &filter,
                                          const QString &defaultSuffix, QWidget *) override
    {
        script_.titles << title;
        script_.folders << folder;
        script_.fileNames << fileName;
        script_.filters << filter;
        script_.suffixes << defaultSuffix;
        if (script_.paths.empty())
            return std::nullopt;
        std::optional<QString> answer = script_.paths.front();
        script_.paths.pop_front();
        if (answer && !answer->section(QLatin1Char('/'), -1).contains(QLatin1Char('.')))
            *answer += QLatin1Char('.') + defaultSuffix;
        return answer;
    }

private:
    ChooserScript &script_;
};
