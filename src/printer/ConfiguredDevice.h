#pragma once
// The printer Harvex configured for the user: the registry value
// HKEY_CURRENT_USER\Software\Tillwren\Ver36\Printer\DeviceName, read only.
#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <variant>

namespace papyra {

// Empty, a string or a 32-bit integer, as the registry lookup hands values back.
using RegistryValue = std::variant<std::monostate, std::string, int32_t>;

// 0 when read, the registry's own error code when a call failed, -1 for an unsupported type.
// value is written only on success.
long QueryRegistryValue(Registry& registry, int32_t key, const std::string& valueName,
                        RegistryValue& value);

// The configured device name; "" when nothing usable is stored. Never fails on a missing key or
// value; a number comes back as its decimal text.
std::string GetConfiguredDevice(Registry& registry);

} // namespace papyra
