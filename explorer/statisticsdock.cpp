#include "statisticsdock.h"

#include <QLabel>
#include <QLocale>

namespace {

QString real(double v)
{
    return QString::number(v, 'f', 4);
}

QString optional(const std::optional<double> &v)
{
    return v ? real(*v) : QStringLiteral("none (no whole box)");
}

QString dimension(const std::optional<Slope> &d)
{
    return d ? QStringLiteral("%1 \u00b1 %2").arg(real(d->slope), real(d->error))
             : QStringLiteral("none (too few box sizes)");
}

} // namespace

StatisticsDock::StatisticsDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Statistics"), parent), text_(new QLabel)
{
    setObjectName(QStringLiteral("statistics"));
    text_->setObjectName(QStringLiteral("statisticsText"));
    text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    text_->setMargin(8);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setWidget(text_);
    showStatistics(nullptr);
}

void StatisticsDock::showStatistics(const Statistics *s)
{
    if (!s) {
        text_->setText(QStringLiteral("Computing..."));
        return;
    }
    text_->setText(
        QStringLiteral("<table cellspacing=2>"
                       "<tr><td>Start points</td><td align=right>%1</td></tr>"
                       "<tr><td>Mass one</td><td align=right>%2</td></tr>"
                       "<tr><td>Mass two</td><td align=right>%3</td></tr>"
                       "<tr><td>Never captured</td><td align=right>%4</td></tr>"
                       "<tr><td>Basin entropy</td><td align=right>%5</td></tr>"
                       "<tr><td>Boundary basin entropy</td><td align=right>%6</td></tr>"
                       "<tr><td>Boundary fraction</td><td align=right>%7</td></tr>"
                       "<tr><td>Box-counting dimension</td><td align=right>%8</td></tr>"
                       "</table><p>Entropy boxes of %9 x %9 points.</p>")
            .arg(QLocale().toString(qlonglong(s->points)), real(s->fraction(s->count(sim::Capture::one))),
                 real(s->fraction(s->masses() > 1 ? s->count(sim::Capture::two) : 0)), real(s->fraction(s->never)),
                 optional(s->basinEntropy), optional(s->boundaryBasinEntropy),
                 real(s->boundaryFraction), dimension(s->boxDimension))
            .arg(s->entropyBox));
}
