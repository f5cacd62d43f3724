#include "framepattern.h"

#include <QRegularExpression>

bool FramePattern::read(const QString &name)
{
    // Everything that looks like a number with a width counts, so that %5d or %010d is refused
    // instead of being taken as part of the name.
    static const QRegularExpression number(QStringLiteral("%([0-9]*)d"));
    static const QRegularExpression width(QStringLiteral("^(?:0[1-9])?\\z"));
    QRegularExpressionMatchIterator it = number.globalMatch(name);
    if (!it.hasNext())
        return false;
    const QRegularExpressionMatch m = it.next();
    if (it.hasNext() || !width.match(m.captured(1)).hasMatch())
        return false;
    before_ = name.left(m.capturedStart());
    after_ = name.mid(m.capturedEnd());
    digits_ = m.capturedLength(1) == 0 ? 0 : m.captured(1).toInt();
    return true;
}

QString FramePattern::fileName(int frame) const
{
    return before_ + QStringLiteral("%1").arg(frame, digits_, 10, QLatin1Char('0')) + after_;
}
