#pragma once
// The per-user settings store on QSettings: organization "Papyra", the application as named
// (~/.config/Papyra/<application>.conf on Linux), the section as group. QSettings writes the file
// whole through a temporary file. A store that cannot be written is run-time error 70.
#include "platform/SettingsStore.h"

namespace papyra {

class QtSettingsStore : public SettingsStore {
public:
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    // The file the application's settings are kept in (native path, UTF-8).
    static std::string FilePath(const std::string& application);
};

} // namespace papyra
