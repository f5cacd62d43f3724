#pragma once

#include <QTimer>
#include <QWidget>

class PassComputer;
class QLabel;
class QToolButton;

/// The status bar's line while a view computes: start points known of the view's, how many still
/// run and the steps of the longest so far, the time since the change, and a Stop button. Hidden
/// while nothing runs.
class ProgressLine : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressLine(PassComputer &computer, QWidget *parent = nullptr);

    /// Reads the computer's progress again; the line does so by itself while visible.
    void refresh();
    QString text() const;

signals:
    /// After Stop ended a computation: left start points were not computed.
    void stopped(qint64 left);

private:
    PassComputer &computer_;
    QLabel *text_;
    QToolButton *stop_;
    QTimer poll_;
    quint64 stoppedRequest_ = 0;
};
