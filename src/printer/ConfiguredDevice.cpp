#include "printer/ConfiguredDevice.h"

#include "profile/SettingsNames.h"

namespace papyra {

long QueryRegistryValue(Registry& registry, int32_t key, const std::string& valueName,
                        RegistryValue& value) {
    uint32_t type = 0;
    uint32_t size = 0;
    long status = registry.RegQueryValueExA(key, valueName, type, nullptr, size);
    if (status != Registry::ERROR_SUCCESS) return status;

    switch (type) {
    case Registry::REG_SZ: {
        std::string buffer(size, '\0');
        status = registry.RegQueryValueExA(key, valueName, type,
                                           reinterpret_cast<uint8_t*>(buffer.data()), size);
        if (status != Registry::ERROR_SUCCESS) {
            value = std::monostate{};
            return status;
        }
        // The last byte is taken to be the terminating NUL. A value of no bytes has nothing to
        // cut, which fails and leaves the value as it was.
        if (size == 0 || size > buffer.size()) return status;
        value = buffer.substr(0, size - 1);
        return status;
    }
    case Registry::REG_DWORD: {
        uint8_t bytes[4] = {};
        uint32_t dwordSize = sizeof bytes;
        status = registry.RegQueryValueExA(key, valueName, type, bytes, dwordSize);
        if (status == Registry::ERROR_SUCCESS)
            value = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                         static_cast<uint32_t>(bytes[3]) << 24);
        return status;
    }
    default:
        return -1;
    }
}

std::string GetConfiguredDevice(Registry& registry) {
    int32_t key = 0;
    registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, names::PrinterRegistryKey, 0,
                           Registry::KEY_QUERY_VALUE, key);
    RegistryValue value;
    QueryRegistryValue(registry, key, names::PrinterRegistryValue, value);
    registry.RegCloseKey(key);

    if (auto* text = std::get_if<std::string>(&value)) return *text;
    if (auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
    return "";
}

} // namespace papyra
