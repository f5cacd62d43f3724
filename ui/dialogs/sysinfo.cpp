#include "sysinfo.h"

#include "sysinfoplatform.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t textType = 1;   // REG_SZ
constexpr std::uint32_t numberType = 4; // REG_DWORD

// KEY_READ. Reading needs no more, and HKEY_LOCAL_MACHINE refuses write access to a user
// without administrator rights, so asking for full access would hide the program from them.
constexpr std::uint32_t readAccess = 0x20019;

constexpr std::uint32_t bufferSize = 1024;

} // namespace

bool GetKeyValue(Registry &registry, RegistryKey root, const QString &keyPath,
                 const QString &valueName, QString &value)
{
    RegistryKey key = 0;
    if (registry.openKey(root, keyPath.toLocal8Bit(), 0, readAccess, key) != 0) {
        value = QString();
        return false;
    }

    std::array<std::uint8_t, bufferSize> buffer{};
    std::uint32_t size = bufferSize;
    std::uint32_t type = 0;
    // A value of no bytes at all holds nothing to go on: the lookup failed.
    if (registry.queryValue(key, valueName.toLocal8Bit(), type, buffer.data(), size) != 0 ||
        size == 0) {
        registry.closeKey(key);
        value = QString();
        return false;
    }

    // Never trust a reported size beyond the buffer.
    QByteArray bytes(reinterpret_cast<const char *>(buffer.data()),
                     static_cast<qsizetype>(std::min(size, bufferSize)));
    if (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);

    if (type == textType) {
        value = QString::fromLocal8Bit(bytes);
    } else if (type == numberType) {
        // The first byte stored is the least significant.
        QByteArray mostSignificantFirst;
        for (auto byte = bytes.crbegin(); byte != bytes.crend(); ++byte)
            mostSignificantFirst.append(*byte);
        value = QStringLiteral("&h") + QString::fromLatin1(mostSignificantFirst.toHex().toUpper());
    }

    registry.closeKey(key);
    return true;
}

void StartSysInfo(Registry &registry, SysInfoPlatform &platform, QWidget *parent)
{
    QString path;
    bool found = GetKeyValue(registry, localMachineKey, QLatin1String(sysInfoKey),
                             QLatin1String(sysInfoValue), path);
    if (!found && GetKeyValue(registry, localMachineKey, QLatin1String(sysInfoLocationKey),
                              QLatin1String(sysInfoLocationValue), path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        found = platform.fileExists(path);
    }

    if (found && platform.startProgram(path))
        return;
    platform.showMessage(QStringLiteral("Systeminformationen sind momentan nicht verf\u00fcgbar"),
                         QStringLiteral("Velmora"), parent);
}
