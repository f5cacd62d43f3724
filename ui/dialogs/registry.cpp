#include "registry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32

HKEY toHandle(RegistryKey key)
{
    return reinterpret_cast<HKEY>(key);
}

class WinRegistry final : public Registry
{
public:
    std::int32_t openKey(RegistryKey root, const QByteArray &path, std::uint32_t options,
                         std::uint32_t access, RegistryKey &key) override
    {
        HKEY opened = nullptr;
        const LONG status =
            RegOpenKeyExA(toHandle(root), path.constData(), options, access, &opened);
        key = reinterpret_cast<RegistryKey>(opened);
        return status;
    }

    std::int32_t queryValue(RegistryKey key, const QByteArray &name, std::uint32_t &type,
                            std::uint8_t *data, std::uint32_t &size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG status = RegQueryValueExA(toHandle(key), name.constData(), nullptr, &valueType,
                                             data, &valueSize);
        type = valueType;
        size = valueSize;
        return status;
    }

    std::int32_t closeKey(RegistryKey key) override { return RegCloseKey(toHandle(key)); }
};

#else

/// ERROR_FILE_NOT_FOUND: there is no registry to find a key in.
constexpr std::int32_t notFound = 2;

class NoRegistry final : public Registry
{
public:
    std::int32_t openKey(RegistryKey, const QByteArray &, std::uint32_t, std::uint32_t,
                         RegistryKey &key) override
    {
        key = 0;
        return notFound;
    }

    std::int32_t queryValue(RegistryKey, const QByteArray &, std::uint32_t &, std::uint8_t *,
                            std::uint32_t &) override
    {
        return notFound;
    }

    std::int32_t closeKey(RegistryKey) override { return notFound; }
};

#endif

} // namespace

std::unique_ptr<Registry> makePlatformRegistry()
{
#ifdef _WIN32
    return std::make_unique<WinRegistry>();
#else
    return std::make_unique<NoRegistry>();
#endif
}
