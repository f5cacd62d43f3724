#include "scene/viewfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(Place)

class ViewFileTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
};

namespace {

/// A place with every parameter away from its default and a view off the binary grid.
Place unusualPlace()
{
    Place p;
    p.view = {502.1 + 1e-9, -17.25, 0.1 / 3, QSize(640, 360)};
    TrajectoryParameters &r = p.scene.trajectory;
    r.masses[0] = {760, 540, 200, 60};
    r.masses[1] = {1160, 541, 100, 40};
    r.movingMass = 1600;
    p.scene.colours = {0x123456, 0x00ff00};
    p.scene.background = 0;
    r.stepLimit = 5000000;
    p.scene.shade = true;
    return p;
}

/// The unusual place with a third mass.
Place threeMasses()
{
    Place p = unusualPlace();
    p.scene.trajectory.masses.push_back({9, 16384, 32767, 300});
    p.scene.colours.push_back(0xabcdef);
    return p;
}

/// A place's file with one value replaced: "key" at the top or "object.key".
QByteArray changed(const QString &path, const QJsonValue &value, const Place &place = unusualPlace())
{
    QJsonObject root = QJsonDocument::fromJson(viewfile::write(place)).object();
    const QStringList keys = path.split(QLatin1Char('.'));
    if (keys.size() == 1) {
        root.insert(keys[0], value);
    } else {
        QJsonObject inner = root.value(keys[0]).toObject();
        if (value.isUndefined())
            inner.remove(keys[1]);
        else
            inner.insert(keys[1], value);
        root.insert(keys[0], inner);
    }
    return QJsonDocument(root).toJson();
}

} // namespace

void ViewFileTest::roundTrip_data()
{
    QTest::addColumn<Place>("written");
    QTest::addColumn<int>("version");
    Place one = unusualPlace();
    one.scene.trajectory.masses.resize(1);
    one.scene.colours.resize(1);
    QTest::newRow("two masses, the first version") << unusualPlace() << 1;
    QTest::newRow("three masses, listed") << threeMasses() << 2;
    QTest::newRow("one mass, listed") << one << 2;
}

void ViewFileTest::roundTrip()
{
    QFETCH(Place, written);
    QFETCH(int, version);
    const QByteArray file = viewfile::write(written);
    Place read;
    QString problem;
    QVERIFY2(viewfile::read(file, read, &problem), qPrintable(problem));
    QVERIFY(read == written); // every double to the bit, every parameter
    const QJsonObject root = QJsonDocument::fromJson(file).object();
    QCOMPARE(root.value(QStringLiteral("version")).toInt(), version);
    // A file of two masses is the first version's, which names no list.
    QCOMPARE(root.contains(QStringLiteral("masses")), version > 1);
}

void ViewFileTest::refused_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("named");

    QTest::newRow("not JSON") << QByteArray("not a view") << "not a Velmora view file";
    QTest::newRow("another JSON") << QByteArray("{\"version\": 1}") << "not a Velmora view file";
    QTest::newRow("later version") << changed("version", 3) << "later version";
    QTest::newRow("no mass listed") << changed("masses", QJsonArray(), threeMasses()) << "'masses'";
    QJsonArray masses = QJsonDocument::fromJson(viewfile::write(threeMasses()))
                            .object()
                            .value(QStringLiteral("masses"))
                            .toArray();
    QJsonObject third = masses[2].toObject();
    third.insert(QStringLiteral("radius"), 301);
    masses[2] = third;
    QTest::newRow("listed radius out of range") << changed("masses", masses, threeMasses())
                                                << "mass 3's 'radius'";
    QTest::newRow("version not whole") << changed("version", 1.5) << "version";
    QTest::newRow("mass out of range") << changed("parameters.mass-one", 32768) << "'mass-one'";
    QTest::newRow("radius zero") << changed("parameters.radius-two", 0) << "'radius-two'";
    QTest::newRow("position fractional") << changed("parameters.one-x", 10.5) << "'one-x'";
    QTest::newRow("parameter missing") << changed("parameters.mass-moving", QJsonValue())
                                       << "'mass-moving'";
    QTest::newRow("bad colour") << changed("parameters.color-two", "blue") << "'color-two'";
    QTest::newRow("shade not boolean") << changed("parameters.shade", 1) << "'shade'";
    QTest::newRow("spacing zero") << changed("view.spacing", 0) << "spacing";
    QTest::newRow("x missing") << changed("view.x", QJsonValue()) << "x and y";
    QTest::newRow("size too large") << changed("size.width", 16385) << "size";
    QTest::newRow("below the finest spacing")
        << changed("view.spacing", 1e-6) << "single precision";
}

void ViewFileTest::refused()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, named);
    Place place;
    const Place before = place;
    QString problem;
    QVERIFY(!viewfile::read(contents, place, &problem));
    QVERIFY2(problem.contains(named), qPrintable(problem));
    QVERIFY(place == before);
}

QTEST_GUILESS_MAIN(ViewFileTest)
#include "tst_viewfile.moc"
