#pragma once

#include "engine/parameters.h" // massWord
#include "engine/view.h"

#include <QSize>
#include <QString>
#include <QStringView>

#include <cstdint>

// The text forms every front end reads and writes: whole numbers, sizes, colours, step counts
// and views. Readers take the whole text, nothing before or after it, and never a recursive
// matcher.

/// Reads a whole decimal number without sign or blanks (at most 18 digits) into value; false,
/// leaving value as it was, when text is anything else or the number lies outside [min, max].
bool readWhole(QStringView text, qint64 min, qint64 max, qint64 &value);

/// Reads two whole numbers split by separator, as readWhole reads each: the first from min to
/// maxFirst, the second from min to maxSecond.
bool readWholePair(QStringView text, QChar separator, qint64 maxFirst, qint64 maxSecond,
                   qint64 min, qint64 &first, qint64 &second);

/// A size as WIDTHxHEIGHT: "1024x700".
QString sizeText(QSize size);
/// Reads WIDTHxHEIGHT, each side from min to the side of max.
bool readSize(QStringView text, int min, QSize max, QSize &size);

/// A colour (red + 256 x green + 65536 x blue) as #rrggbb.
QString colourText(std::int32_t colour);
/// Reads #RRGGBB: '#' and six hexadecimal digits of either case, nothing else.
bool readColour(QStringView text, std::int32_t &colour);

/// A number of steps in digits, or as MeE (5e6, 1e14) for a whole multiple of a million or
/// more that ends in E zeros.
QString stepsText(std::uint64_t steps);
/// Reads a number of steps written in digits (1 to 15) or as MeE (E of 1 or 2 digits), from 1 to
/// max.
bool readSteps(QStringView text, std::uint64_t max, std::uint64_t &steps);

/// X,Y,S of a view from its origin, each in the shortest form that reads back to its bits.
QString viewText(const View &view);
/// Reads X,Y,S as the view of size start points from (X, Y), spacing S apart; or returns false
/// and sets accepts to what it would have read, naming the finest spacing allowed at X when S is
/// finer.
bool readView(QStringView text, QSize size, View &view, QString &accepts);
/// True when the engine computes view; otherwise false with accepts set as readView sets it.
bool acceptView(const View &view, QString &accepts);
