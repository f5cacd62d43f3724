#pragma once

#include "engine/statistics.h"

#include <QDockWidget>

#include <vector>

class QGridLayout;
class QLabel;

/// The figures of the finished view, as the renderer's statistics give them: a row for each
/// mass with its share and the steps of its captures, and for three masses or more how their
/// basins meet.
class StatisticsDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit StatisticsDock(QWidget *parent = nullptr);
    /// Shows these figures, incomplete while pending start points (counted as never captured)
    /// still run; null: the passes are not done yet.
    void showStatistics(const Statistics *statistics, qint64 pending = 0);
    /// Computing a view of this many masses: their rows, empty.
    void showComputing(int masses);

private:
    /// The rows for this many masses, made afresh when their number changes.
    void makeRows(int masses);
    QLabel *addRow(const QString &name, const QString &valueName);
    /// A name above its value, both as wide as the dock; returns the name's label.
    QLabel *addWideRow(const QString &name, const QString &valueName);

    QGridLayout *grid_;
    QLabel *note_; ///< computing, or incomplete
    QLabel *footer_;
    QLabel *stepsHeading_ = nullptr;
    int masses_ = -1;
    int rows_ = 0;
    std::vector<QWidget *> made_;  ///< every widget of the rows, to remove them
    std::vector<QLabel *> values_; ///< in the order showStatistics fills them
    std::vector<QLabel *> steps_;  ///< each mass's, beside its share
};
