#pragma once
// HKEY_CURRENT_USER read from a registry text file: regedit's export formats ("Windows Registry
// Editor Version 5.00", UTF-16LE or UTF-8; "REGEDIT4", ANSI) or Wine's user.reg. The file is
// $PAPYRA_HKCU, else $WINEPREFIX/user.reg when WINEPREFIX is set, else
// ~/.config/papyra/HKEY_CURRENT_USER.reg. It is read afresh each time a key is opened below
// HKEY_CURRENT_USER, so a value changed while the program runs is seen by the next lookup.
//
// Names and strings come out in the ANSI code page. A missing, unreadable or malformed file is an
// empty registry; of a damaged file every well-formed line still counts.
#include "platform/Registry.h"

#include <map>
#include <optional>
#include <vector>

namespace papyra {

class RegistryFile : public Registry {
public:
    RegistryFile();
    explicit RegistryFile(const std::string& nativePath);

    // The file the default constructor reads.
    static std::string DefaultPath();

    long RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t options, uint32_t access,
                       int32_t& handle) override;
    long RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                          uint8_t* data, uint32_t& size) override;
    long RegCloseKey(int32_t handle) override;

    struct Value {
        uint32_t type;
        std::string bytes;
    };
    // Keys by folded path (no leading or trailing backslash), values by folded name.
    using Keys = std::map<std::string, std::map<std::string, Value>>;

private:
    bool KeyExists(const std::string& foldedPath) const;
    void Reload();

    std::string path_;
    Keys keys_;
    std::vector<std::optional<std::string>> handles_; // handle n is entry n - 1, a key path
};

} // namespace papyra
