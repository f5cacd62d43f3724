#pragma once

#include "registry.h"

#include <QString>

class QWidget;
class SysInfoPlatform;

/// The two places the system information program is registered under the local machine root.
inline constexpr char sysInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char sysInfoValue[] = "PATH";
inline constexpr char sysInfoLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char sysInfoLocationValue[] = "MSINFO";

/// Reads valueName of keyPath under root. Returns false, with value "", when the key cannot be
/// opened or the value cannot be read (one larger than 1024 bytes included) or holds no bytes at
/// all. On success a text value (type 1) is its bytes without one terminating zero byte, a 32-bit
/// number (type 4) is "&h" and its bytes in hexadecimal, most significant first; any other type
/// leaves value as it was.
bool GetKeyValue(Registry &registry, RegistryKey root, const QString &keyPath,
                 const QString &valueName, QString &value);

/// Starts the system information program that the registry names, or shows the message that it
/// is not available, modal over parent.
void StartSysInfo(Registry &registry, SysInfoPlatform &platform, QWidget *parent);
