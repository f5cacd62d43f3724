#pragma once

#include "engine/statistics.h"

#include <QDockWidget>

#include <vector>

class QLabel;

/// The figures of the finished view, as the renderer's statistics give them.
class StatisticsDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit StatisticsDock(QWidget *parent = nullptr);
    /// Shows these figures, incomplete while pending start points (counted as never captured)
    /// still run; null: the passes are not done yet.
    void showStatistics(const Statistics *statistics, qint64 pending = 0);

private:
    QLabel *note_;   ///< computing, or incomplete
    QLabel *footer_;
    std::vector<QLabel *> values_; ///< beside their names, in a column of their own
};
