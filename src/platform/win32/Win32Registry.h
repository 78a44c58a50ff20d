#pragma once
// The real registry of the user running the program, read through the ANSI calls. The interface's
// 32-bit handles are numbers of our own, each standing for one open key; HKEY_CURRENT_USER and
// any key opened here serve as roots. Keys left open are closed with the object.
#include "platform/Registry.h"

#include <map>

namespace papyra {

class Win32Registry : public Registry {
public:
    Win32Registry() = default;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;
    ~Win32Registry() override;

    long RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t options, uint32_t access,
                       int32_t& handle) override;
    long RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                          uint8_t* data, uint32_t& size) override;
    long RegCloseKey(int32_t handle) override;

private:
    // HKEY is a pointer in the Windows headers; void* keeps them out of this header.
    std::map<int32_t, void*> keys_;
    int32_t next_ = 1;
};

} // namespace papyra
