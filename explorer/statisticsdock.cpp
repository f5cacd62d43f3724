#include "statisticsdock.h"

#include <QGridLayout>
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

const char *const names[] = {"Start points",      "Mass one",
                             "Mass two",          "Never captured",
                             "Basin entropy",     "Boundary basin entropy",
                             "Boundary fraction", "Box-counting dimension"};

} // namespace

StatisticsDock::StatisticsDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Statistics"), parent), note_(new QLabel), footer_(new QLabel)
{
    setObjectName(QStringLiteral("statistics"));
    auto *inner = new QWidget;
    auto *grid = new QGridLayout(inner);
    grid->setHorizontalSpacing(16);
    note_->setObjectName(QStringLiteral("statisticsNote"));
    note_->setWordWrap(true);
    grid->addWidget(note_, 0, 0, 1, 2);
    int row = 1;
    for (const char *name : names) {
        grid->addWidget(new QLabel(QLatin1String(name)), row, 0);
        auto *value = new QLabel;
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, row++, 1);
        values_.push_back(value);
    }
    grid->addWidget(footer_, row, 0, 1, 2);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(2, 1);
    setWidget(inner);
    showStatistics(nullptr);
}

void StatisticsDock::showStatistics(const Statistics *s, qint64 pending)
{
    const QLocale locale;
    if (!s) {
        note_->setText(QStringLiteral("Computing..."));
        note_->setVisible(true);
        for (QLabel *value : values_)
            value->clear();
        footer_->clear();
        return;
    }
    note_->setText(pending == 0 ? QString()
                                : QStringLiteral("<b>Incomplete:</b> %1 start points still "
                                                 "running, counted here as never captured.")
                                      .arg(locale.toString(qlonglong(pending))));
    note_->setVisible(pending != 0);
    const auto massShare = [s](std::size_t k) {
        return real(k < s->captured.size() ? s->fraction(s->captured[k]) : 0.0);
    };
    const QString texts[] = {locale.toString(qlonglong(s->points)),
                             massShare(0),
                             massShare(1),
                             real(s->fraction(s->never)),
                             optional(s->basinEntropy),
                             optional(s->boundaryBasinEntropy),
                             real(s->boundaryFraction),
                             dimension(s->boxDimension)};
    for (std::size_t k = 0; k < values_.size(); ++k)
        values_[k]->setText(texts[k]);
    footer_->setText(QStringLiteral("Entropy boxes of %1 x %1 points.").arg(s->entropyBox));
}
