#pragma once

#include "engine/statistics.h"

#include <QDockWidget>

class QLabel;

/// The figures of the finished view, as the renderer's statistics give them.
class StatisticsDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit StatisticsDock(QWidget *parent = nullptr);
    /// Shows these figures; null: the view is not finished yet.
    void showStatistics(const Statistics *statistics);

private:
    QLabel *text_;
};
