#pragma once
// The per-user application-settings store: one text under application, section and key.
#include <string>

namespace papyra {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Creates the entry or replaces its value. The store is replaced atomically.
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

} // namespace papyra
