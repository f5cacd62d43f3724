#pragma once

#include "engine/view.h"

#include <QSize>
#include <QString>

/// --view X,Y,S with --size WxH: the view of size start points from (X, Y), spacing S apart.
/// Reads it into view and returns true; or returns false and sets accepts to what it would have
/// read, naming the finest spacing allowed at X when S is finer.
bool readViewOption(const QString &text, QSize size, View &view, QString &accepts);

/// X,Y,S of a view from its origin, each in the shortest form that reads back to its bits.
QString viewText(const View &view);
