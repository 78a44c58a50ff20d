#pragma once
// The Windows registry, read only, with the three ANSI calls' semantics. Results are Win32 error
// codes: 0 success, 2 not found, 6 invalid handle, 234 more data. Handles are 32-bit; 0 is never
// a valid handle.
#include <cstdint>
#include <string>

namespace papyra {

class Registry {
public:
    static constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
    static constexpr uint32_t KEY_QUERY_VALUE = 1;
    static constexpr uint32_t REG_SZ = 1;
    static constexpr uint32_t REG_EXPAND_SZ = 2;
    static constexpr uint32_t REG_BINARY = 3;
    static constexpr uint32_t REG_DWORD = 4;
    static constexpr long ERROR_SUCCESS = 0;
    static constexpr long ERROR_FILE_NOT_FOUND = 2;
    static constexpr long ERROR_INVALID_HANDLE = 6;
    static constexpr long ERROR_MORE_DATA = 234;

    virtual ~Registry() = default;
    // Opens an existing key below root; handle is left untouched on failure.
    virtual long RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t options,
                               uint32_t access, int32_t& handle) = 0;
    // With data == nullptr: sets type and size (bytes) only. Otherwise copies the value's bytes
    // into data (size bytes available), sets size to the bytes written; ERROR_MORE_DATA (and the
    // needed size) when they do not fit. A REG_SZ's bytes are as stored, NUL included when the
    // stored data has one.
    virtual long RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                                  uint8_t* data, uint32_t& size) = 0;
    virtual long RegCloseKey(int32_t handle) = 0;
};

} // namespace papyra
