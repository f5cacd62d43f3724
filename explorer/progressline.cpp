#include "progressline.h"

#include "passcomputer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

ProgressLine::ProgressLine(PassComputer &computer, QWidget *parent)
    : QWidget(parent), computer_(computer), text_(new QLabel), stop_(new QToolButton)
{
    setObjectName(QStringLiteral("progressLine"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    stop_->setObjectName(QStringLiteral("stopButton"));
    stop_->setText(QStringLiteral("Stop"));
    stop_->setToolTip(QStringLiteral("Stop computing; the finished points stay painted."));
    layout->addWidget(text_);
    layout->addWidget(stop_);
    connect(stop_, &QToolButton::clicked, this, [this] {
        stoppedRequest_ = computer_.progress().request;
        computer_.stop();
    });
    poll_.setInterval(200);
    connect(&poll_, &QTimer::timeout, this, &ProgressLine::refresh);
    poll_.start();
    hide();
}

QString ProgressLine::text() const
{
    return text_->text();
}

void ProgressLine::refresh()
{
    const PassProgress p = computer_.progress();
    if (!p.running) {
        if (p.stopped && p.request == stoppedRequest_) {
            stoppedRequest_ = 0;
            emit stopped(p.total - p.known);
        }
        setVisible(false);
        return;
    }
    const QLocale locale;
    QString line = QStringLiteral("Computing: %1 of %2 points")
                       .arg(locale.toString(qlonglong(p.known)), locale.toString(qlonglong(p.total)));
    if (p.pending > 0) {
        line += QStringLiteral(", %1 still running (the longest %2 steps so far)")
                    .arg(locale.toString(qlonglong(p.pending)),
                         locale.toString(qulonglong(p.longest)));
    }
    line += QStringLiteral(", %1 s").arg(double(p.elapsedMs) / 1000, 0, 'f', 1);
    text_->setText(line);
    setVisible(true);
}
