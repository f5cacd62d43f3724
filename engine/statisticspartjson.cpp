// A band's statistics part as JSON: whole numbers as numbers (all below 2^53), the entropies as
// the hexadecimal digits of their bits, so that every value reads back exactly.

#include "statisticspart.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

const QString formatKey = QStringLiteral("velmora_statistics_part");
constexpr int formatVersion = 1;

QByteArray partMark()
{
    return "{\"" + formatKey.toLatin1() + "\":" + QByteArray::number(formatVersion) + ",";
}

QJsonArray numbers(const std::vector<std::int64_t> &values)
{
    QJsonArray array;
    for (const std::int64_t v : values)
        array.append(qint64(v));
    return array;
}

QJsonValue cellsJson(const std::optional<PartialCells> &cells)
{
    if (!cells)
        return QJsonValue::Null;
    QJsonArray values;
    for (const std::int32_t v : cells->values)
        values.append(v);
    return QJsonObject{{QStringLiteral("row"), cells->cell}, {QStringLiteral("values"), values}};
}

QString doubleBits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return QStringLiteral("%1").arg(bits, 16, 16, QLatin1Char('0'));
}

/// Reading: every failure makes the part none, with one reason.
struct Reader
{
    bool ok = true;

    qint64 whole(const QJsonValue &v, qint64 min, qint64 max)
    {
        const qint64 n = v.toInteger(min - 1);
        if (!v.isDouble() || n < min || n > max || double(n) != v.toDouble())
            ok = false;
        return n;
    }
    std::vector<std::int64_t> wholes(const QJsonValue &v, std::size_t size)
    {
        const QJsonArray array = v.toArray();
        if (!v.isArray() || std::size_t(array.size()) != size)
            ok = false;
        std::vector<std::int64_t> values;
        for (const QJsonValue &e : array)
            values.push_back(whole(e, 0, qint64(1) << 53));
        return values;
    }
    std::optional<PartialCells> cells(const QJsonValue &v, int row, int size)
    {
        if (v.isNull())
            return std::nullopt;
        const QJsonObject o = v.toObject();
        PartialCells c;
        c.cell = int(whole(o.value(QStringLiteral("row")), row, row));
        for (const std::int64_t e : wholes(o.value(QStringLiteral("values")), std::size_t(size)))
            c.values.push_back(std::int32_t(std::min<std::int64_t>(e, 1 << 30)));
        return c;
    }
    double bits(const QJsonValue &v)
    {
        bool parsed = false;
        const std::uint64_t b = v.toString().toULongLong(&parsed, 16);
        ok = ok && parsed && v.toString().size() == 16;
        double value = 0;
        std::memcpy(&value, &b, sizeof value);
        return value;
    }
};

void readShape(Reader &r, const QJsonObject &o, StatisticsShape &shape)
{
    shape.width = int(r.whole(o.value(QStringLiteral("width")), 1, 1 << 20));
    shape.height = int(r.whole(o.value(QStringLiteral("height")), 1, 1 << 20));
    shape.entropyBox = int(r.whole(o.value(QStringLiteral("entropy_box")), minEntropyBox,
                                   maxEntropyBox));
    shape.masses = int(r.whole(o.value(QStringLiteral("masses")), 1, 16));
    shape.steps = o.value(QStringLiteral("steps")).toBool();
    shape.wada = o.value(QStringLiteral("wada")).toBool();
    r.ok = r.ok && o.value(QStringLiteral("steps")).isBool() && o.value(QStringLiteral("wada")).isBool();
}

void readTotals(Reader &r, const QJsonObject &o, const StatisticsShape &shape, int sizes,
                PartTotals &t)
{
    const auto masses = std::size_t(shape.masses);
    t.never = r.whole(o.value(QStringLiteral("never")), 0, qint64(1) << 53);
    t.captured = r.wholes(o.value(QStringLiteral("captured")), masses);
    const QJsonArray steps = o.value(QStringLiteral("step_counts")).toArray();
    r.ok = r.ok && std::size_t(steps.size()) == (shape.steps ? masses : 0);
    for (const QJsonValue &mass : steps) {
        const QJsonArray pairs = mass.toArray();
        const std::vector<std::int64_t> flat = r.wholes(mass, std::size_t(pairs.size()));
        r.ok = r.ok && flat.size() % 2 == 0;
        t.steps.emplace_back();
        for (std::size_t i = 0; i + 1 < flat.size(); i += 2)
            t.steps.back().add(std::uint64_t(flat[i]), flat[i + 1]);
    }
    t.boundary = r.whole(o.value(QStringLiteral("boundary")), 0, qint64(1) << 53);
    t.boxCounts = r.wholes(o.value(QStringLiteral("box_counts")), std::size_t(sizes));
    t.meet = r.wholes(o.value(QStringLiteral("meet")), masses + 1);
    const std::vector<std::int64_t> missing =
        r.wholes(o.value(QStringLiteral("not_wada_counts")), t.missing.size());
    std::copy(missing.begin(), missing.end(), t.missing.begin());
}

void readBands(Reader &r, const QJsonObject &o, StatisticsPart &p, const BoxGrid &grid)
{
    const StatisticsShape &shape = p.shape;
    p.entropy = EntropyBand(shape, p.firstRow, true);
    const QJsonObject entropy = o.value(QStringLiteral("entropy")).toObject();
    const int box = shape.entropyBox;
    const int boxValues = p.entropy.cells.values();
    p.entropy.cells.head = r.cells(entropy.value(QStringLiteral("head")), p.firstRow / box, boxValues);
    p.entropy.cells.tail = r.cells(entropy.value(QStringLiteral("tail")), (p.endRow - 1) / box, boxValues);
    for (const QJsonValue &v : entropy.value(QStringLiteral("values")).toArray())
        p.entropy.values.push_back(r.bits(v));
    const QByteArray codes = entropy.value(QStringLiteral("codes")).toString().toLatin1();
    p.entropy.codes = QByteArray::fromBase64(codes);
    r.ok = r.ok && p.entropy.codes.toBase64() == codes;
    const QJsonArray boxes = o.value(QStringLiteral("boxes")).toArray();
    r.ok = r.ok && boxes.size() == (grid.sizes >= minBoxSizes ? grid.sizes : 0);
    for (int s = 0; s < int(boxes.size()); ++s) {
        const int side = 1 << (s + 1);
        CellBand band(side, grid.down, grid.across / side, p.firstRow);
        const QJsonObject b = boxes[s].toObject();
        band.head = r.cells(b.value(QStringLiteral("head")), p.firstRow / side, band.values());
        band.tail = r.cells(b.value(QStringLiteral("tail")), (p.endRow - 1) / side, band.values());
        p.boxes.push_back(band);
    }
}

} // namespace

QByteArray statisticsPartJson(const StatisticsPart &part)
{
    QJsonObject o;
    o.insert(QStringLiteral("picture"), part.picture);
    o.insert(QStringLiteral("tile"), QStringLiteral("%1/%2").arg(part.tileIndex).arg(part.tileCount));
    o.insert(QStringLiteral("rows"), QJsonArray{part.firstRow, part.endRow});
    o.insert(QStringLiteral("width"), part.shape.width);
    o.insert(QStringLiteral("height"), part.shape.height);
    o.insert(QStringLiteral("entropy_box"), part.shape.entropyBox);
    o.insert(QStringLiteral("masses"), part.shape.masses);
    o.insert(QStringLiteral("steps"), part.shape.steps);
    o.insert(QStringLiteral("wada"), part.shape.wada);
    const PartTotals &t = part.totals;
    o.insert(QStringLiteral("never"), qint64(t.never));
    o.insert(QStringLiteral("captured"), numbers(t.captured));
    QJsonArray steps;
    for (const StepCounts &mass : t.steps) {
        QJsonArray flat;
        for (const auto &[value, times] : mass.entries())
            flat << qint64(value) << qint64(times);
        steps.append(flat);
    }
    o.insert(QStringLiteral("step_counts"), steps);
    o.insert(QStringLiteral("boundary"), qint64(t.boundary));
    o.insert(QStringLiteral("box_counts"), numbers(t.boxCounts));
    o.insert(QStringLiteral("meet"), numbers(t.meet));
    o.insert(QStringLiteral("not_wada_counts"),
             numbers(std::vector<std::int64_t>(t.missing.begin(), t.missing.end())));
    QJsonArray values;
    for (const double v : part.entropy.values)
        values.append(doubleBits(v));
    o.insert(QStringLiteral("entropy"),
             QJsonObject{{QStringLiteral("head"), cellsJson(part.entropy.cells.head)},
                         {QStringLiteral("tail"), cellsJson(part.entropy.cells.tail)},
                         {QStringLiteral("values"), values},
                         {QStringLiteral("codes"), QString::fromLatin1(part.entropy.codes.toBase64())}});
    QJsonArray boxes;
    for (const CellBand &band : part.boxes) {
        boxes.append(QJsonObject{{QStringLiteral("head"), cellsJson(band.head)},
                                 {QStringLiteral("tail"), cellsJson(band.tail)}});
    }
    o.insert(QStringLiteral("boxes"), boxes);
    // The mark first, which the document would sort among the other keys.
    return partMark() + QJsonDocument(o).toJson(QJsonDocument::Compact).mid(1) + '\n';
}

bool looksLikeStatisticsPart(const QByteArray &text)
{
    return text.startsWith(partMark());
}

bool readStatisticsPart(const QByteArray &text, StatisticsPart &part, QString &why)
{
    const QJsonObject o = QJsonDocument::fromJson(text).object();
    Reader r;
    r.ok = o.value(formatKey).toInt() == formatVersion && o.value(QStringLiteral("picture")).isString();
    part.picture = o.value(QStringLiteral("picture")).toString();
    readShape(r, o, part.shape);
    const QJsonArray rows = o.value(QStringLiteral("rows")).toArray();
    part.firstRow = int(r.whole(rows.at(0), 0, part.shape.height - 1));
    part.endRow = int(r.whole(rows.at(1), part.firstRow + 1, part.shape.height));
    const QStringList tile = o.value(QStringLiteral("tile")).toString().split(QLatin1Char('/'));
    bool indexOk = false;
    bool countOk = false;
    part.tileIndex = tile.value(0).toInt(&indexOk);
    part.tileCount = tile.value(1).toInt(&countOk);
    r.ok = r.ok && tile.size() == 2 && indexOk && countOk && rows.size() == 2;
    if (!r.ok) {
        why = QStringLiteral("is not a tile's statistics part");
        return false;
    }
    const BoxGrid grid = boxGrid(part.shape.width, part.shape.height);
    readTotals(r, o, part.shape, grid.sizes >= minBoxSizes ? grid.sizes : 0, part.totals);
    readBands(r, o, part, grid);
    if (!r.ok)
        why = QStringLiteral("is not a tile's statistics part");
    return r.ok;
}
