#include "platform/unix/RegistryFile.h"
#include "platform/ansi/AnsiText.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

namespace {

// Latin-1 text (0x80 standing for the euro sign) as regedit writes it: UTF-16LE with CR LF.
std::string Utf16(const std::string& latin1) {
    std::string out;
    for (char c : latin1)
        out += c == '\x80' ? "\xAC\x20"s : c == '\n' ? "\r\0\n\0"s : std::string{c, '\0'};
    return out;
}

using Read = std::tuple<long, uint32_t, std::string>; // status, type, bytes

// Reads one value the way the program does: open, size first, then the data.
Read Query(Registry& registry, const std::string& name,
           const std::string& key = "Software\\Tillwren\\Ver36\\Printer\\") {
    int32_t handle = 0;
    uint32_t type = 0, size = 0;
    long status = registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, key, 0, 1, handle);
    if (status == 0) status = registry.RegQueryValueExA(handle, name, type, nullptr, size);
    std::string bytes(size, '\0');
    if (status == 0)
        status = registry.RegQueryValueExA(handle, name, type,
                                           reinterpret_cast<uint8_t*>(bytes.data()), size);
    registry.RegCloseKey(handle);
    return status == 0 ? Read{0, type, bytes.substr(0, size)} : Read{status, 0, ""};
}

TEST(RegistryFile, ReadsValuesFromEachExportFormat) {
    const std::string values = R"("Number"=dword:0000002a
"WithNul"=hex(1):4c,00,50,00,\
  00,00
@="default"
)";
    const std::string regedit5 = Utf8ToAnsi(R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Tillwren\Ver36\Printer]
"DeviceName"="Café \"Laser\" \\ €"
)") + values;
    const std::string wine = R"(WINE REGISTRY Version 2
[Software\\Tillwren\\Ver36\\Printer] 1700000000
#time=1da2b3c4d5e6f70
"DeviceName"="Caf\x00e9 \"Laser\" \\ \x20ac"
)" + values;
    const std::string device = "Caf\xE9 \"Laser\" \\ \x80\0"s;
    const std::pair<std::string, Read> expected[] = {
        {"DeviceName", {0, Registry::REG_SZ, device}},
        {"devicename", {0, Registry::REG_SZ, device}},
        {"Number", {0, Registry::REG_DWORD, "\x2a\0\0\0"s}},
        {"WithNul", {0, Registry::REG_SZ, "LP\0"s}},
        {"", {0, Registry::REG_SZ, "default\0"s}},
    };
    ScratchFolder folder;
    for (const std::string& file : {"\xFF\xFE" + Utf16(regedit5), Utf16(regedit5),
                                    "\xEF\xBB\xBF" + AnsiToUtf8(regedit5), wine}) {
        WriteBytes(folder / "hkcu.reg", file);
        RegistryFile registry(folder / "hkcu.reg");
        for (const auto& [name, read] : expected)
            EXPECT_EQ(Query(registry, name), read) << file.substr(0, 12) << " " << name;
    }
}

// ANSI bytes, a deleted key, a value over two lines: papyra-admin's edits read back
// (RegistryFileEditorTest). Here: what is not well formed is no value at all.
TEST(RegistryFile, Regedit4TakesOnlyWellFormedLinesUnderAKeyOfTheirsInAnyCase) {
    ScratchFolder folder;
    WriteBytes(folder / "r4.reg",
               "REGEDIT4\r\n\"Loose\"=\"x\"\n[HKEY_CURRENT_USER\\Software\n"
               "[HKEY_CURRENT_USER\\SOFTWARE\\tillwren\\Ver36\\Printer]\r\n"
               "\"B\"=hex(1):4c,50\r\n\"Bad\"=\n\"Bad\"=dword:xyz\n"
               "\"Bad\"=hex:1,2,345\n\"Bad\"=\"never closed\n\"Bad\"=hex:01,\\\n");
    RegistryFile registry(folder / "r4.reg");
    const std::tuple<std::string, std::string, Read> cases[] = {
        {"B", "software\\TILLWREN\\ver36\\printer", {0, 1, "LP"}},
        {"Bad", "Software\\Tillwren\\Ver36\\Printer", {2, 0, ""}},
        {"Loose", "Software", {2, 0, ""}},
    };
    for (const auto& [name, key, read] : cases)
        EXPECT_EQ(Query(registry, name, key), read) << name;
}

TEST(RegistryFile, IsReadAfreshAtEachLookupAndNeverWaitsOnAFifo) {
    ScratchFolder folder;
    const std::string path = folder / "user.reg";
    RegistryFile registry(path);
    EXPECT_EQ(std::get<0>(Query(registry, "DeviceName")), 2) << "no file yet";
    for (const std::string name : {"First", "Second"}) {
        const std::string key = "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n";
        WriteBytes(path, "REGEDIT4\n" + key + "\"DeviceName\"=\"" + name + "\"\n");
        EXPECT_EQ(std::get<2>(Query(registry, "DeviceName")), name + '\0');
    }
    std::filesystem::remove(path);
    mkfifo(path.c_str(), 0600);
    EXPECT_EQ(std::get<0>(Query(registry, "DeviceName")), 2) << "a FIFO is no registry";
}

} // namespace
