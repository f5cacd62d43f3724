#include "ui/dialogs/sysinfo.h"
#include "ui/dialogs/sysinfoplatform.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstring>

namespace {

using Values = QMap<QByteArray, QPair<std::uint32_t, QByteArray>>; // name: type, bytes

/// The local machine root as a user without administrator rights sees it, with the Win32 rules:
/// 2 for a missing key or value, 5 for write access, 234 for a value larger than the buffer.
class FakeRegistry : public Registry
{
public:
    QMap<QByteArray, Values> keys;
    QList<QByteArray> opened;
    int openHandles = 0;

    std::int32_t openKey(RegistryKey root, const QByteArray &path, std::uint32_t options,
                         std::uint32_t access, RegistryKey &key) override
    {
        opened.append(path);
        if (root != localMachineKey || options != 0 || !keys.contains(path))
            return 2;
        if (access & (0x0002 | 0x0004 | 0x0020))
            return 5;
        key = 0x1000 + keys.keys().indexOf(path);
        ++openHandles;
        return 0;
    }

    std::int32_t queryValue(RegistryKey key, const QByteArray &name, std::uint32_t &type,
                            std::uint8_t *data, std::uint32_t &size) override
    {
        const Values values = keys.values().value(key - 0x1000);
        if (!values.contains(name))
            return 2;
        const QByteArray bytes = values[name].second;
        const bool fits = std::uint32_t(bytes.size()) <= size;
        size = std::uint32_t(bytes.size());
        if (!fits)
            return 234;
        std::memcpy(data, bytes.constData(), size);
        type = values[name].first;
        return 0;
    }

    std::int32_t closeKey(RegistryKey) override
    {
        --openHandles;
        return 0;
    }
};

/// Files that exist and can be started; records what the launcher does instead of doing it.
class FakePlatform : public SysInfoPlatform
{
public:
    QStringList files;
    QStringList started;
    QStringList messages;

    bool fileExists(const QString &path) const override { return files.contains(path); }
    bool startProgram(const QString &path) override
    {
        started.append(path);
        return files.contains(path);
    }
    void showMessage(const QString &text, const QString &title, QWidget *parent) override
    {
        messages.append(title + '|' + text + (parent ? "" : "|no parent"));
    }
};

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void getKeyValue_data();
    void getKeyValue();
    void startSysInfo_data();
    void startSysInfo();
    void fileExists_data();
    void fileExists();
};

void TestSysInfo::getKeyValue_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected"); // the text holds "before" on entry

    QTest::newRow("text with its zero byte")
        << QByteArray("Name") << 1 << QByteArray("C:\\Tools", 9) << true << "C:\\Tools";
    QTest::newRow("text without a zero byte")
        << QByteArray("Name") << 1 << QByteArray("C:\\Tools") << true << "C:\\Tools";
    QTest::newRow("only one zero byte dropped")
        << QByteArray("Name") << 1 << QByteArray("ab\0\0", 4) << true
        << QString::fromLatin1("ab\0", 3);
    QTest::newRow("1024 bytes") << QByteArray("Name") << 1 << QByteArray(1024, 'x') << true
                                << QString(1024, 'x');
    QTest::newRow("number 0A 02 01 00")
        << QByteArray("Name") << 4 << QByteArray("\x0A\x02\x01\x00", 4) << true << "&h01020A";
    QTest::newRow("number AB CD EF FE")
        << QByteArray("Name") << 4 << QByteArray("\xAB\xCD\xEF\xFE", 4) << true << "&hFEEFCDAB";
    QTest::newRow("binary leaves the text")
        << QByteArray("Name") << 3 << QByteArray("abc") << true << "before";
    QTest::newRow("missing key") << QByteArray() << 1 << QByteArray("abc") << false << "";
    QTest::newRow("missing value") << QByteArray("Other") << 1 << QByteArray("abc") << false << "";
    QTest::newRow("1025 bytes") << QByteArray("Name") << 1 << QByteArray(1025, 'x') << false << "";
    QTest::newRow("no bytes") << QByteArray("Name") << 1 << QByteArray() << false << "";
}

void TestSysInfo::getKeyValue()
{
    QFETCH(QByteArray, name);
    QFETCH(int, type);
    QFETCH(QByteArray, stored);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    FakeRegistry registry;
    registry.keys["Key"]["Name"] = {std::uint32_t(type), stored};
    QString value = "before";
    const QString key = name.isEmpty() ? "Missing" : "Key";
    QCOMPARE(GetKeyValue(registry, localMachineKey, key, QString::fromLatin1(name), value), found);
    QCOMPARE(value, expected);
    QCOMPARE(registry.openHandles, 0);
}

void TestSysInfo::startSysInfo_data()
{
    QTest::addColumn<int>("pathType"); // 0: no entry; -1: a text of no bytes at all
    QTest::addColumn<int>("folderType");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("folderRead");

    const QString program = "C:\\Tools\\msinfo32.exe";
    const QString inFolder = "C:\\Shared\\MSINFO32.EXE";

    QTest::newRow("PATH present") << 1 << 1 << QStringList{program, inFolder}
                                  << QStringList{program} << false << false;
    QTest::newRow("PATH naming a missing file")
        << 1 << 1 << QStringList{inFolder} << QStringList{program} << true << false;
    QTest::newRow("PATH of another type")
        << 3 << 1 << QStringList{program, inFolder} << QStringList{QString()} << true << false;
    QTest::newRow("only MSINFO, file present")
        << 0 << 1 << QStringList{inFolder} << QStringList{inFolder} << false << true;
    QTest::newRow("only MSINFO, file missing")
        << 0 << 1 << QStringList{program} << QStringList{} << true << true;
    QTest::newRow("neither present")
        << 0 << 0 << QStringList{program, inFolder} << QStringList{} << true << true;
    QTest::newRow("PATH of no bytes, MSINFO present")
        << -1 << 1 << QStringList{inFolder} << QStringList{inFolder} << false << true;
    QTest::newRow("only MSINFO, of no bytes")
        << 0 << -1 << QStringList{"\\MSINFO32.EXE"} << QStringList{} << true << true;
}

void TestSysInfo::startSysInfo()
{
    QFETCH(int, pathType);
    QFETCH(int, folderType);
    QFETCH(QStringList, files);
    QFETCH(QStringList, started);
    QFETCH(bool, message);
    QFETCH(bool, folderRead);

    FakeRegistry registry;
    const auto entry = [](int type, const QByteArray &text) {
        return type < 0 ? qMakePair(1u, QByteArray()) : qMakePair(std::uint32_t(type), text);
    };
    if (pathType != 0)
        registry.keys[sysInfoKey][sysInfoValue] = entry(pathType, "C:\\Tools\\msinfo32.exe");
    if (folderType != 0)
        registry.keys[sysInfoLocationKey][sysInfoLocationValue] = entry(folderType, "C:\\Shared");
    FakePlatform platform;
    platform.files = files;
    QWidget parent;

    StartSysInfo(registry, platform, &parent);

    QCOMPARE(platform.started, started);
    const QString unavailable = "Velmora|Systeminformationen sind momentan nicht verf\u00fcgbar";
    QCOMPARE(platform.messages, message ? QStringList{unavailable} : QStringList{});
    QCOMPARE(registry.opened.constFirst(), QByteArray(sysInfoKey));
    QCOMPARE(registry.opened.contains(sysInfoLocationKey), folderRead);
    QCOMPARE(registry.openHandles, 0);
}

void TestSysInfo::fileExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::newRow("normal file") << "MSINFO32.EXE" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("hidden file") << ".hidden" << false;
    QTest::newRow("missing") << "missing.exe" << false;
}

void TestSysInfo::fileExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);

    const QTemporaryDir dir;
    for (const char *file : {"MSINFO32.EXE", ".hidden"})
        QVERIFY(QFile(dir.filePath(file)).open(QIODevice::WriteOnly));
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QCOMPARE(SysInfoPlatform().fileExists(dir.filePath(name)), exists);
}

QTEST_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
