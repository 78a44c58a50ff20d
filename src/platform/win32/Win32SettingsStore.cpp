#include "platform/win32/Win32SettingsStore.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Windows.h"

namespace papyra {

void Win32SettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                     const std::string& key, const std::string& value) {
    // An empty or separated name would put the value under another key than the one named.
    for (const std::string* name : {&application, &section})
        if (name->empty() || name->find_first_of(std::string("\\\0", 2)) != std::string::npos)
            throw RuntimeError(5);
    const std::string path = "Software\\" + application + "\\" + section;
    HKEY folder = nullptr;
    if (RegCreateKeyExA(win32::CurrentUserKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &folder, nullptr) != win32::Success)
        throw RuntimeError(70).About("HKEY_CURRENT_USER\\" + path);
    const LONG status = RegSetValueExA(folder, key.c_str(), 0, win32::StringValue,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(folder);
    if (status != win32::Success) throw RuntimeError(70).About("HKEY_CURRENT_USER\\" + path);
}

} // namespace papyra
