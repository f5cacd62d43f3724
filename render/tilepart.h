#pragma once

#include "job.h"

#include "picture/rowwriter.h"

#include <QString>
#include <QStringList>

/// A tile's part is a PNG file of the tile's rows that says in text chunks which picture it
/// belongs to (velmora-picture: everything the pixels depend on, the size included), the whole
/// picture's size (velmora-size: WxH) and the rows it holds (velmora-rows: FIRST:END, END one
/// past its last row).

/// The text chunks of the part that job writes.
PngTexts tileTexts(const RenderJob &job);

/// velmora-render --merge-picture OUTPUT PART...: joins the parts, in any order, into the
/// picture a single run writes, byte for byte, a row at a time. Returns the exit status: 0
/// written; 2 bad input (a part that cannot be read or is not a tile's part, parts of
/// different pictures, rows missing or held twice, OUTPUT the same file as a part, a bitmap
/// beyond its format's limit), nothing written; 1 OUTPUT could not be written. One line on
/// standard error says why.
int mergePictureFiles(const QString &output, const QStringList &parts);
