#pragma once

#include "ui/dialogs/chooserdialogs.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

/// What the choosers answer, in order, and what they were asked. The test owns it; the fake
/// choosers installed in the window or the chooser object only point to it. A chooser asked
/// with no answer left is cancelled.
struct ChooserScript
{
    std::deque<std::optional<std::int32_t>> colours;
    std::deque<std::optional<QString>> paths;

    QList<std::int32_t> initialColours;
    QStringList titles, folders, fileNames, filters, suffixes;
};

/// Choosers that answer from a script instead of showing a dialog.
class FakeChoosers : public ChooserDialogs
{
public:
    explicit FakeChoosers(ChooserScript &script) : script_(script) {}

    std::optional<std::int32_t> chooseColour(std::int32_t initial, QWidget *) override
    {
        script_.initialColours << initial;
        return next(script_.colours);
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
        return next(script_.paths);
    }

private:
    template <class T> static std::optional<T> next(std::deque<std::optional<T>> &answers)
    {
        if (answers.empty())
            return std::nullopt;
        const std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    ChooserScript &script_;
};
