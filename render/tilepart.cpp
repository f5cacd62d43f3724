#include "tilepart.h"

#include "console.h"

#include "files/safefile.h"
#include "scene/text.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QByteArray pictureKey = QByteArrayLiteral("velmora-picture");
const QByteArray sizeKey = QByteArrayLiteral("velmora-size");
const QByteArray rowsKey = QByteArrayLiteral("velmora-rows");

struct Part
{
    QString name;
    std::unique_ptr<PngRowReader> reader;
    int first = 0;
    int end = 0;
};

/// Reads a part's chunks; empty when it is a tile's part, else why not.
QString readPart(Part &part, QSize &size)
{
    part.reader = std::make_unique<PngRowReader>(part.name);
    if (!part.reader->ok())
        return QStringLiteral("cannot read '%1': %2").arg(part.name, part.reader->error());
    const QList<QByteArray> rows = part.reader->text(rowsKey).split(':');
    const QList<QByteArray> sides = part.reader->text(sizeKey).split('x');
    bool ok[4] = {};
    if (rows.size() == 2 && sides.size() == 2) {
        part.first = rows[0].toInt(&ok[0]);
        part.end = rows[1].toInt(&ok[1]);
        size = QSize(sides[0].toInt(&ok[2]), sides[1].toInt(&ok[3]));
    }
    if (!std::all_of(ok, ok + 4, [](bool b) { return b; }) ||
        part.reader->text(pictureKey).isEmpty() || part.first < 0 || part.end > size.height() ||
        part.reader->size() != QSize(size.width(), part.end - part.first)) {
        return QStringLiteral("'%1' is not a part written with --tile").arg(part.name);
    }
    return {};
}

/// Empty when the parts, sorted by their first rows, hold every row of a picture of height
/// rows exactly once; else what is wrong.
QString checkCover(const std::vector<Part> &parts, int height)
{
    int next = 0;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const Part &part = parts[k];
        if (part.first > next)
            return QStringLiteral("rows %1 to %2 are in no part").arg(next).arg(part.first - 1);
        if (part.first < next)
            return QStringLiteral("'%1' and '%2' both hold row %3")
                .arg(parts[k - 1].name, part.name)
                .arg(part.first);
        next = part.end;
    }
    if (next < height)
        return QStringLiteral("rows %1 to %2 are in no part").arg(next).arg(height - 1);
    return {};
}

/// Reads and checks every part: empty when they make one picture of size.
QString readParts(const QString &output, const QStringList &names, std::vector<Part> &parts,
                  QSize &size)
{
    for (const QString &name : names) {
        if (isSameFile(name, output))
            return QStringLiteral("OUTPUT '%1' is the same file as the part '%2'")
                .arg(output, name);
        parts.push_back({name, nullptr, 0, 0});
        QSize partSize;
        if (const QString why = readPart(parts.back(), partSize); !why.isEmpty())
            return why;
        const Part &first = parts.front();
        if (parts.size() == 1)
            size = partSize;
        else if (partSize != size ||
                 parts.back().reader->text(pictureKey) != first.reader->text(pictureKey))
            return QStringLiteral("'%1' is a part of another picture than '%2'")
                .arg(name, first.name);
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part &a, const Part &b) { return a.first < b.first; });
    return checkCover(parts, size.height());
}

} // namespace

PngTexts tileTexts(const RenderJob &job)
{
    const View view = job.parameters.framing.startPoints();
    const Shard tile = job.tile.value_or(Shard());
    return {{pictureKey, job.pictureIdentity().toUtf8()},
            {sizeKey, sizeText(QSize(view.width, view.height)).toUtf8()},
            {rowsKey, QByteArray::number(tile.first(view.height)) + ':' +
                          QByteArray::number(tile.end(view.height))}};
}

int mergePictureFiles(const QString &output, const QStringList &names)
{
    std::vector<Part> parts;
    QSize size;
    const char *format =
        output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG";
    QString why = readParts(output, names, parts, size);
    if (why.isEmpty() && qstrcmp(format, "BMP") == 0 && bitmapBytes(size) > maxBitmapBytes)
        why = QStringLiteral("a %1 bitmap would be over the %2 bytes its header can state")
                  .arg(sizeText(size))
                  .arg(maxBitmapBytes);
    if (!why.isEmpty()) {
        printError(QStringLiteral("--merge-picture: %1; nothing written.").arg(why));
        return 2;
    }
    std::vector<QRgb> row(std::size_t(size.width()));
    QString damaged;
    const bool written = writeRowsSafely(
        output, format, size, {},
        [&](RowWriter &writer) {
            for (Part &part : parts) {
                for (int j = part.first; j < part.end; ++j) {
                    if (!part.reader->readRow(row.data())) {
                        damaged = QStringLiteral("cannot read '%1': %2")
                                      .arg(part.name, part.reader->error());
                        return false;
                    }
                    if (!writer.writeRow(row.data()))
                        return false;
                }
            }
            return true;
        },
        &why);
    if (!damaged.isEmpty()) {
        printError(QStringLiteral("--merge-picture: %1; nothing written.").arg(damaged));
        return 2;
    }
    if (!written) {
        printError(QStringLiteral("cannot write '%1': %2; nothing written.").arg(output, why));
        return 1;
    }
    return 0;
}
