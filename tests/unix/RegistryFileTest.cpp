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

// The key the program reads, as a line of an export.
const std::string kKey = "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n";

TEST(RegistryFile, ReadsValuesFromEachExportFormat) {
    const std::string regedit5 = Utf8ToAnsi(R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Tillwren\Ver36\Printer]
"Other"="machine"
[HKEY_CURRENT_USER\Software\Tillwren\Ver36\Printer]
"DeviceName"="Café \"Laser\" \\ €"
"Number"=dword:0000002a
"WithNul"=hex(1):4c,00,50,00,\
  00,00
"Path"=hex(2):25,00,41,00,25,00,00,00
"Blob"=hex:01,ff
@="default"
)");
    const std::string wine = R"(WINE REGISTRY Version 2
[Software\\Tillwren\\Ver36\\Printer] 1700000000
#time=1da2b3c4d5e6f70
"DeviceName"="Caf\x00e9 \"Laser\" \\ \x20ac"
"Number"=dword:0000002a
"WithNul"=hex(1):4c,00,50,00,\
  00,00
"Path"=str(2):"%A%"
"Blob"=hex:01,ff
@="default"
)";
    const std::string device = "Caf\xE9 \"Laser\" \\ \x80\0"s;
    const std::pair<std::string, Read> expected[] = {
        {"DeviceName", {0, Registry::REG_SZ, device}},
        {"devicename", {0, Registry::REG_SZ, device}},
        {"Number", {0, Registry::REG_DWORD, "\x2a\0\0\0"s}},
        {"WithNul", {0, Registry::REG_SZ, "LP\0"s}},
        {"Path", {0, Registry::REG_EXPAND_SZ, "%A%\0"s}},
        {"Blob", {0, Registry::REG_BINARY, "\x01\xff"}},
        {"", {0, Registry::REG_SZ, "default\0"s}},
        {"Other", {2, 0, ""}},
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

TEST(RegistryFile, Regedit4KeepsAnsiBytesAndHandlesFollowTheWin32Rules) {
    ScratchFolder folder;
    WriteBytes(
        folder / "r4.reg",
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\tillwren\\Ver36\\Printer]\r\n"
        "\"DeviceName\"=\"Caf\xE9\"\r\n\"B\"=hex(1):4c,50\r\n"
        "[HKEY_CURRENT_USER\\Software\\Gone\\Sub]\r\n[-HKEY_CURRENT_USER\\Software\\Gone]\r\n");
    RegistryFile registry(folder / "r4.reg");
    EXPECT_EQ(Query(registry, "DeviceName"), (Read{0, 1, "Caf\xE9\0"s}));
    EXPECT_EQ(Query(registry, "B"), (Read{0, 1, "LP"}));
    EXPECT_EQ(Query(registry, "", "Software\\Gone\\Sub"), (Read{2, 0, ""}));

    int32_t handle = 0, parent = 0;
    uint32_t type = 0, size = 3;
    uint8_t small[3];
    ASSERT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, "software", 0, 1, parent), 0);
    ASSERT_EQ(registry.RegOpenKeyExA(parent, "TILLWREN\\ver36\\printer", 0, 1, handle), 0);
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, small, size), 234);
    EXPECT_EQ(size, 5u) << "the size it needs";
    EXPECT_EQ(registry.RegCloseKey(handle), 0);
    EXPECT_EQ(registry.RegCloseKey(handle), 6);
}

TEST(RegistryFile, DamagedFilesKeepTheirWellFormedLinesAndNothingElse) {
    std::string binary;
    for (int i = 0; i < 64; ++i)
        binary += static_cast<char>(i * 31 % 256);
    ScratchFolder folder;
    WriteBytes(folder / "damaged.reg",
               "REGEDIT4\n\"Loose\"=\"x\"\n[HKEY_CURRENT_USER\\Software\n" + kKey +
                   "\"DeviceName\"=\"ok\"\n\"Bad\"=\n\"Bad\"=dword:xyz\n\"Bad\"=hex:1,2,345\n"
                   "\"Bad\"=\"never closed\n\"Bad\"=hex:01,\\\n" +
                   binary);
    RegistryFile registry(folder / "damaged.reg");
    EXPECT_EQ(Query(registry, "DeviceName"), (Read{0, 1, "ok\0"s}));
    EXPECT_EQ(Query(registry, "Bad"), (Read{2, 0, ""}));
    EXPECT_EQ(Query(registry, "Loose", "Software"), (Read{2, 0, ""}));
}

TEST(RegistryFile, IsReadAfreshAtEachLookupAndNeverWaitsOnAFifo) {
    ScratchFolder folder;
    const std::string path = folder / "user.reg";
    RegistryFile registry(path);
    EXPECT_EQ(std::get<0>(Query(registry, "DeviceName")), 2) << "no file yet";
    for (const std::string name : {"First", "Second"}) {
        WriteBytes(path, "REGEDIT4\n" + kKey + "\"DeviceName\"=\"" + name + "\"\n");
        EXPECT_EQ(std::get<2>(Query(registry, "DeviceName")), name + '\0');
    }
    std::filesystem::remove(path);
    mkfifo(path.c_str(), 0600);
    EXPECT_EQ(std::get<0>(Query(registry, "DeviceName")), 2) << "a FIFO is no registry";
}

} // namespace
