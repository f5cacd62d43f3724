#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

/// A registry key handle as the Win32 registry passes it: the predefined roots are 32-bit values,
/// sign-extended to the width of a pointer.
using RegistryKey = std::intptr_t;

/// HKEY_LOCAL_MACHINE.
inline const RegistryKey localMachineKey = static_cast<std::int32_t>(0x80000002u);

/// The three registry operations the system information launcher needs, with the Win32 meaning:
/// every operation returns 0 on success and an error code otherwise. Names are 8-bit text.
class Registry
{
public:
    virtual ~Registry() = default;

    /// Opens path under root with the given options and access mask; on success key is the
    /// handle, which the caller closes with closeKey.
    virtual std::int32_t openKey(RegistryKey root, const QByteArray &path, std::uint32_t options,
                                 std::uint32_t access, RegistryKey &key) = 0;
    /// Reads the value name of key into data. On entry size is the capacity of data in bytes; on
    /// success it is the number of bytes stored and type the value's type. A value larger than
    /// the capacity is a failure.
    virtual std::int32_t queryValue(RegistryKey key, const QByteArray &name, std::uint32_t &type,
                                    std::uint8_t *data, std::uint32_t &size) = 0;
    virtual std::int32_t closeKey(RegistryKey key) = 0;
};

/// The Win32 registry on Windows; elsewhere a registry in which every open fails.
std::unique_ptr<Registry> makePlatformRegistry();
