#pragma once
// The per-user settings store on Windows: HKEY_CURRENT_USER\Software\<application>\<section>,
// value <key> as REG_SZ; for the program that is Software\Papyra\Printer, value Device. The
// registry sets a value whole or not at all. A store that refuses is run-time error 70.
#include "platform/SettingsStore.h"

namespace papyra {

class Win32SettingsStore : public SettingsStore {
public:
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
};

} // namespace papyra
