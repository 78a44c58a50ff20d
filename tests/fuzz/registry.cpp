// The registry text reader: whatever a regedit 5 export holds, its UTF-8 and its UTF-16 forms
// answer every query alike, and nothing crashes or hangs.
#include "platform/unix/RegistryFile.h"
#include "support/ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <string>

using namespace papyra;

namespace {

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii)
        out += {c, '\0'};
    return out;
}

std::string Query(const std::string& path, const char* name) {
    RegistryFile registry(path);
    int32_t key = 0;
    uint32_t type = 0, size = 0;
    if (registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, "Software\\Tillwren\\Ver36\\Printer\\",
                               0, 1, key) != 0)
        return "no key";
    if (registry.RegQueryValueExA(key, name, type, nullptr, size) != 0) return "no value";
    std::string bytes(size, '\0');
    registry.RegQueryValueExA(key, name, type, reinterpret_cast<uint8_t*>(bytes.data()), size);
    return std::to_string(type) + ":" + bytes.substr(0, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = "Windows Registry Editor Version 5.00\r\n";
    for (size_t i = 0; i < size; ++i) // ASCII only: both forms then mean the same text
        text += data[i] >= 0x80 ? '?' : static_cast<char>(data[i]);
    // A folder of its own, gone when the run ends; each input writes over the last one's files.
    static const test::ScratchFolder folder;
    const std::string utf8 = folder / "utf8.reg", utf16 = folder / "utf16.reg";
    std::ofstream(utf8, std::ios::binary) << text;
    std::ofstream(utf16, std::ios::binary) << Utf16(text);
    for (const char* name : {"DeviceName", "", "Other"})
        if (Query(utf8, name) != Query(utf16, name)) std::abort();
    return 0;
}
