#include "statisticsdock.h"

#include "scene/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>

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

QString stepsOf(const std::optional<StepRange> &r)
{
    if (!r)
        return {};
    const QLocale locale;
    return QStringLiteral("%1 / %2 / %3")
        .arg(locale.toString(qulonglong(r->min)), locale.toString(r->median, 'g', 12),
             locale.toString(qulonglong(r->max)));
}

/// Shares by what they are of, "1: 0.000  2: 0.251 ..."; "-" for one not taken.
QString figures(const std::vector<int> &of, const std::vector<std::optional<double>> &shares)
{
    QStringList texts;
    for (std::size_t k = 0; k < shares.size(); ++k) {
        texts << QStringLiteral("%1:\u00a0%2").arg(of[k]).arg(
            shares[k] ? QString::number(*shares[k], 'g', 3) : QStringLiteral("-"));
    }
    return texts.join(QStringLiteral("  "));
}

QString meetText(const WadaMeasures &w)
{
    std::vector<int> basins;
    for (std::size_t m = 1; m <= w.meet.size(); ++m)
        basins.push_back(int(m));
    return figures(basins, {w.meet.begin(), w.meet.end()});
}

QString notWadaText(const WadaMeasures &w)
{
    return figures({wadaRadii.begin(), wadaRadii.end()}, {w.notWada.begin(), w.notWada.end()});
}

} // namespace

StatisticsDock::StatisticsDock(QWidget *parent)
    : QDockWidget(QStringLiteral("Statistics"), parent), note_(new QLabel), footer_(new QLabel)
{
    setObjectName(QStringLiteral("statistics"));
    auto *inner = new QWidget;
    grid_ = new QGridLayout(inner);
    grid_->setHorizontalSpacing(16);
    note_->setObjectName(QStringLiteral("statisticsNote"));
    note_->setWordWrap(true);
    footer_->setWordWrap(true);
    // Scrolled rather than widened: a wider dock would narrow the view, and start it afresh.
    auto *scroll = new QScrollArea;
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    setWidget(scroll);
    makeRows(2);
    showStatistics(nullptr);
}

QLabel *StatisticsDock::addRow(const QString &name, const QString &valueName)
{
    auto *label = new QLabel(name);
    auto *value = new QLabel;
    value->setObjectName(valueName);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    grid_->addWidget(label, rows_, 0);
    grid_->addWidget(value, rows_, 1);
    made_.insert(made_.end(), {label, value});
    values_.push_back(value);
    ++rows_;
    return value;
}

QLabel *StatisticsDock::addWideRow(const QString &name, const QString &valueName)
{
    auto *label = new QLabel(name);
    label->setWordWrap(true);
    auto *value = new QLabel;
    value->setObjectName(valueName);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setContentsMargins(12, 0, 0, 0);
    grid_->addWidget(label, rows_++, 0, 1, 3);
    grid_->addWidget(value, rows_++, 0, 1, 3);
    made_.insert(made_.end(), {label, value});
    values_.push_back(value);
    return label;
}

void StatisticsDock::makeRows(int masses)
{
    for (QWidget *w : made_)
        delete w;
    made_.clear();
    values_.clear();
    steps_.clear();
    masses_ = masses;
    rows_ = 1;
    grid_->addWidget(note_, 0, 0, 1, 3);
    addRow(QStringLiteral("Start points"), QStringLiteral("points"));
    stepsHeading_ = new QLabel(QStringLiteral("Steps"));
    stepsHeading_->setAlignment(Qt::AlignRight);
    stepsHeading_->setToolTip(QStringLiteral("The least, the median and the most steps of "
                                             "the mass's captures."));
    grid_->addWidget(stepsHeading_, rows_ - 1, 2);
    made_.push_back(stepsHeading_);
    for (int k = 1; k <= masses; ++k) {
        const QString word = QLatin1String(massWord(k));
        addRow(QStringLiteral("Mass ") + word, QStringLiteral("share-") + word);
        auto *steps = new QLabel;
        steps->setObjectName(QStringLiteral("steps-") + word);
        steps->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        steps->setTextInteractionFlags(Qt::TextSelectableByMouse);
        steps->setWordWrap(true);
        grid_->addWidget(steps, rows_ - 1, 2);
        made_.push_back(steps);
        steps_.push_back(steps);
    }
    addRow(QStringLiteral("Never captured"), QStringLiteral("never"));
    addRow(QStringLiteral("Basin entropy"), QStringLiteral("basinEntropy"));
    addRow(QStringLiteral("Boundary basin entropy"), QStringLiteral("boundaryBasinEntropy"));
    addRow(QStringLiteral("Boundary fraction"), QStringLiteral("boundaryFraction"));
    addRow(QStringLiteral("Box-counting dimension"), QStringLiteral("boxDimension"));
    if (masses >= 3) {
        addWideRow(QStringLiteral("Basins meeting in a boundary point's 3 x 3 block:"),
                   QStringLiteral("meet"))
            ->setToolTip(QStringLiteral("Of the boundary points, the share whose 3 x 3 block "
                                        "holds captures by exactly 1, 2, ... masses."));
        addWideRow(QStringLiteral("Not Wada, within r start points:"), QStringLiteral("notWada"))
            ->setToolTip(QStringLiteral("Of the boundary points, the share with some basin "
                                        "missing within r start points; falling to 0 slowly as "
                                        "r grows: every basin shares the boundary."));
    }
    grid_->addWidget(footer_, rows_, 0, 1, 3);
    for (int row = 0; row < grid_->rowCount(); ++row)
        grid_->setRowStretch(row, 0);
    grid_->setRowStretch(rows_ + 1, 1);
}

void StatisticsDock::showComputing(int masses)
{
    if (masses != masses_)
        makeRows(masses);
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
        for (QLabel *steps : steps_)
            steps->clear();
        stepsHeading_->hide();
        footer_->clear();
        return;
    }
    if (s->masses() != masses_)
        makeRows(s->masses());
    note_->setText(pending == 0 ? QString()
                                : QStringLiteral("<b>Incomplete:</b> %1 start points still "
                                                 "running, counted here as never captured.")
                                      .arg(locale.toString(qlonglong(pending))));
    note_->setVisible(pending != 0);
    QStringList texts{locale.toString(qlonglong(s->points))};
    for (std::size_t k = 0; k < s->captured.size(); ++k) {
        texts << real(s->fraction(s->captured[k]));
        steps_[k]->setText(k < s->steps.size() ? stepsOf(s->steps[k]) : QString());
    }
    stepsHeading_->setVisible(!s->steps.empty());
    texts << real(s->fraction(s->never)) << optional(s->basinEntropy)
          << optional(s->boundaryBasinEntropy) << real(s->boundaryFraction)
          << dimension(s->boxDimension);
    if (masses_ >= 3 && s->wada) {
        texts << meetText(*s->wada) << notWadaText(*s->wada);
    } else if (masses_ >= 3) {
        texts << QStringLiteral("once complete") << QStringLiteral("once complete");
    }
    for (std::size_t k = 0; k < values_.size(); ++k)
        values_[k]->setText(texts.value(int(k)));
    footer_->setText(QStringLiteral("Entropy boxes of %1 x %1 points.").arg(s->entropyBox) +
                     (s->steps.empty() ? QStringLiteral(" Steps with shading on.") : QString()));
}
