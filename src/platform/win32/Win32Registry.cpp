#include "platform/win32/Win32Registry.h"

#include "platform/win32/Windows.h"

namespace papyra {

Win32Registry::~Win32Registry() {
    for (const auto& [handle, key] : keys_)
        ::RegCloseKey(static_cast<HKEY>(key));
}

long Win32Registry::RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t options,
                                  uint32_t access, int32_t& handle) {
    HKEY parent = nullptr;
    if (root == HKEY_CURRENT_USER) {
        parent = win32::CurrentUserKey;
    } else if (auto found = keys_.find(static_cast<int32_t>(root)); found != keys_.end()) {
        parent = static_cast<HKEY>(found->second);
    } else {
        return ERROR_INVALID_HANDLE;
    }
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(parent, subKey.c_str(), options, access, &key);
    if (status != ERROR_SUCCESS) return status;
    // Zero is never a handle, and a number is never given out twice while its key is open.
    while (next_ <= 0 || keys_.count(next_))
        next_ = next_ <= 0 ? 1 : next_ + 1;
    handle = next_++;
    keys_[handle] = key;
    return ERROR_SUCCESS;
}

long Win32Registry::RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                                     uint8_t* data, uint32_t& size) {
    const auto found = keys_.find(handle);
    if (found == keys_.end()) return ERROR_INVALID_HANDLE;
    DWORD valueType = 0, bytes = size;
    const LONG status = ::RegQueryValueExA(static_cast<HKEY>(found->second), valueName.c_str(),
                                           nullptr, &valueType, data, &bytes);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        type = valueType;
        size = bytes;
    }
    return status;
}

long Win32Registry::RegCloseKey(int32_t handle) {
    const auto found = keys_.find(handle);
    if (found == keys_.end()) return ERROR_INVALID_HANDLE;
    const LONG status = ::RegCloseKey(static_cast<HKEY>(found->second));
    keys_.erase(found);
    return status;
}

} // namespace papyra
