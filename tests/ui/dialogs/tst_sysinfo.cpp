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

constexpr std::int32_t fileNotFound = 2;
constexpr std::int32_t accessDenied = 5;
constexpr std::int32_t moreData = 234;
// KEY_SET_VALUE, KEY_CREATE_SUB_KEY and KEY_CREATE_LINK: what HKEY_LOCAL_MACHINE refuses a user
// without administrator rights.
constexpr std::uint32_t writeAccess = 0x0002 | 0x0004 | 0x0020;

struct Value
{
    std::uint32_t type = 1;
    QByteArray bytes;
};

/// The local machine root as a standard user sees it, with the Win32 size rules.
class FakeRegistry : public Registry
{
public:
    QMap<QByteArray, QMap<QByteArray, Value>> keys;
    QList<QByteArray> opened;
    QList<std::uint32_t> options;
    int openHandles = 0;

    std::int32_t openKey(RegistryKey root, const QByteArray &path, std::uint32_t option,
                         std::uint32_t access, RegistryKey &key) override
    {
        opened.append(path);
        options.append(option);
        if (root != localMachineKey || !keys.contains(path))
            return fileNotFound;
        if (access & writeAccess)
            return accessDenied;
        handles_.insert(++lastHandle_, path);
        key = lastHandle_;
        ++openHandles;
        return 0;
    }

    std::int32_t queryValue(RegistryKey key, const QByteArray &name, std::uint32_t &type,
                            std::uint8_t *data, std::uint32_t &size) override
    {
        if (!handles_.contains(key) || !keys[handles_[key]].contains(name))
            return fileNotFound;
        const Value &value = keys[handles_[key]][name];
        const auto needed = std::uint32_t(value.bytes.size());
        if (needed > size) {
            size = needed;
            return moreData;
        }
        std::memcpy(data, value.bytes.constData(), needed);
        size = needed;
        type = value.type;
        return 0;
    }

    std::int32_t closeKey(RegistryKey key) override
    {
        if (handles_.remove(key) == 0)
            return fileNotFound;
        --openHandles;
        return 0;
    }

private:
    QMap<RegistryKey, QByteArray> handles_;
    RegistryKey lastHandle_ = 0x1000;
};

/// Files that exist and can be started; records what the launcher does instead of doing it.
class FakePlatform : public SysInfoPlatform
{
public:
    QStringList files;
    QStringList started;
    QStringList messages;
    QList<QWidget *> messageParents;

    bool fileExists(const QString &path) const override { return files.contains(path); }
    bool startProgram(const QString &path) override
    {
        started.append(path);
        return files.contains(path);
    }
    void showMessage(const QString &text, const QString &title, QWidget *parent) override
    {
        messages.append(title + QLatin1Char('|') + text);
        messageParents.append(parent);
    }
};

const QString unavailable = QStringLiteral("Velmora|Systeminformationen sind momentan nicht "
                                           "verf\u00fcgbar");

QByteArray bytes(std::initializer_list<std::uint8_t> list)
{
    QByteArray result;
    for (const std::uint8_t b : list)
        result.append(char(b));
    return result;
}

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void getKeyValue_data();
    void getKeyValue();
    void getKeyValueFailures_data();
    void getKeyValueFailures();
    void startSysInfo_data();
    void startSysInfo();
    void fileExists_data();
    void fileExists();
};

void TestSysInfo::getKeyValue_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text with its zero byte") << 1 << QByteArray("C:\\Tools\\msinfo32.exe", 22)
                                             << QStringLiteral("C:\\Tools\\msinfo32.exe");
    QTest::newRow("text without a zero byte")
        << 1 << QByteArray("C:\\Tools") << QStringLiteral("C:\\Tools");
    QTest::newRow("only one zero byte dropped")
        << 1 << QByteArray("ab\0\0", 4) << QString::fromLatin1("ab\0", 3);
    QTest::newRow("empty text") << 1 << QByteArray() << QString();
    QTest::newRow("text filling the buffer")
        << 1 << QByteArray(1024, 'x') << QString(1024, QLatin1Char('x'));
    QTest::newRow("number 0A 02 01 00")
        << 4 << bytes({0x0A, 0x02, 0x01, 0x00}) << QStringLiteral("&h01020A");
    QTest::newRow("number 78 56 34 12")
        << 4 << bytes({0x78, 0x56, 0x34, 0x12}) << QStringLiteral("&h12345678");
    QTest::newRow("number with upper hex digits")
        << 4 << bytes({0xAB, 0xCD, 0xEF, 0xFE}) << QStringLiteral("&hFEEFCDAB");
    QTest::newRow("binary leaves the text") << 3 << QByteArray("abc") << QStringLiteral("before");
    QTest::newRow("expandable text leaves the text")
        << 2 << QByteArray("%SystemRoot%", 13) << QStringLiteral("before");
}

void TestSysInfo::getKeyValue()
{
    QFETCH(int, type);
    QFETCH(QByteArray, stored);
    QFETCH(QString, expected);

    FakeRegistry registry;
    registry.keys["Key"]["Name"] = {std::uint32_t(type), stored};
    QString value = QStringLiteral("before");
    QVERIFY(GetKeyValue(registry, localMachineKey, QStringLiteral("Key"), QStringLiteral("Name"),
                        value));
    QCOMPARE(value, expected);
    QCOMPARE(registry.options, QList<std::uint32_t>{0});
    QCOMPARE(registry.openHandles, 0);
}

void TestSysInfo::getKeyValueFailures_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("missing key") << QByteArray("Other") << QByteArray("Name") << QByteArray("abc");
    QTest::newRow("missing value") << QByteArray("Key") << QByteArray("Other") << QByteArray("abc");
    QTest::newRow("value longer than 1024 bytes")
        << QByteArray("Key") << QByteArray("Name") << QByteArray(1025, 'x');
}

void TestSysInfo::getKeyValueFailures()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, stored);

    FakeRegistry registry;
    registry.keys["Key"]["Name"] = {1, stored};
    QString value = QStringLiteral("before");
    QVERIFY(!GetKeyValue(registry, localMachineKey, QString::fromLatin1(key),
                         QString::fromLatin1(name), value));
    QCOMPARE(value, QString());
    QCOMPARE(registry.openHandles, 0);
}

void TestSysInfo::startSysInfo_data()
{
    QTest::addColumn<int>("pathType"); // 0: no such entry
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("folderType");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("folderRead");

    const QByteArray program("C:\\Tools\\msinfo32.exe", 22);
    const QByteArray folder("C:\\Shared\\MSInfo", 17);
    const QString programPath = QStringLiteral("C:\\Tools\\msinfo32.exe");
    const QString folderProgram = QStringLiteral("C:\\Shared\\MSInfo\\MSINFO32.EXE");

    QTest::newRow("PATH present") << 1 << program << 1 << folder
                                  << QStringList{programPath, folderProgram}
                                  << QStringList{programPath} << false << false;
    QTest::newRow("PATH naming a missing file")
        << 1 << program << 1 << folder << QStringList{folderProgram} << QStringList{programPath}
        << true << false;
    QTest::newRow("PATH empty") << 1 << QByteArray("", 1) << 0 << QByteArray() << QStringList{}
                                << QStringList{QString()} << true << false;
    QTest::newRow("PATH of another type")
        << 3 << program << 1 << folder << QStringList{programPath, folderProgram}
        << QStringList{QString()} << true << false;
    QTest::newRow("only MSINFO, file present")
        << 0 << QByteArray() << 1 << folder << QStringList{folderProgram}
        << QStringList{folderProgram} << false << true;
    QTest::newRow("only MSINFO, file missing")
        << 0 << QByteArray() << 1 << folder << QStringList{programPath} << QStringList{} << true
        << true;
    QTest::newRow("neither present")
        << 0 << QByteArray() << 0 << QByteArray() << QStringList{programPath, folderProgram}
        << QStringList{} << true << true;
}

void TestSysInfo::startSysInfo()
{
    QFETCH(int, pathType);
    QFETCH(QByteArray, path);
    QFETCH(int, folderType);
    QFETCH(QByteArray, folder);
    QFETCH(QStringList, files);
    QFETCH(QStringList, started);
    QFETCH(bool, message);
    QFETCH(bool, folderRead);

    FakeRegistry registry;
    if (pathType != 0)
        registry.keys[sysInfoKey][sysInfoValue] = {std::uint32_t(pathType), path};
    if (folderType != 0)
        registry.keys[sysInfoLocationKey][sysInfoLocationValue] = {std::uint32_t(folderType),
                                                                   folder};
    FakePlatform platform;
    platform.files = files;
    QWidget parent;

    StartSysInfo(registry, platform, &parent);

    QCOMPARE(platform.started, started);
    QCOMPARE(platform.messages, message ? QStringList{unavailable} : QStringList{});
    if (message)
        QCOMPARE(platform.messageParents.constFirst(), &parent);
    QCOMPARE(registry.opened.constFirst(), QByteArray(sysInfoKey));
    QCOMPARE(registry.opened.contains(sysInfoLocationKey), folderRead);
    QCOMPARE(registry.openHandles, 0);
}

void TestSysInfo::fileExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::newRow("normal file") << QStringLiteral("MSINFO32.EXE") << true;
    QTest::newRow("folder") << QStringLiteral("folder") << false;
    QTest::newRow("hidden file") << QStringLiteral(".hidden") << false;
    QTest::newRow("missing") << QStringLiteral("missing.exe") << false;
}

void TestSysInfo::fileExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &file : {QStringLiteral("MSINFO32.EXE"), QStringLiteral(".hidden")}) {
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    QCOMPARE(SysInfoPlatform().fileExists(dir.filePath(name)), exists);
}

QTEST_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
