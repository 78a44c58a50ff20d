#include "platform/unix/RegistryFile.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

namespace {

// UTF-16LE of Latin-1 text (0x80 standing for the euro sign), as regedit writes its export.
std::string Utf16(const std::string& latin1) {
    std::string out;
    for (char c : latin1)
        out += c == '\x80' ? std::string("\xAC\x20") : std::string{c, '\0'};
    return out;
}

struct Read {
    long status;
    uint32_t type;
    std::string bytes;
    bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Read& r) {
    return os << "{" << r.status << ", " << r.type << ", \"" << r.bytes << "\"}";
}

// Opens key below HKCU and reads one value the way the program does: size first, then data.
Read Query(Registry& registry, const std::string& key, const std::string& name) {
    int32_t handle = 0;
    long status = registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, key, 0, 1, handle);
    if (status != 0) return {status, 0, ""};
    uint32_t type = 0, size = 0;
    status = registry.RegQueryValueExA(handle, name, type, nullptr, size);
    std::string bytes(size, '\0');
    if (status == 0)
        status = registry.RegQueryValueExA(handle, name, type,
                                           reinterpret_cast<uint8_t*>(bytes.data()), size);
    registry.RegCloseKey(handle);
    return {status, status == 0 ? type : 0, status == 0 ? bytes.substr(0, size) : ""};
}

const std::string Key = "Software\\Tillwren\\Ver36\\Printer\\";

} // namespace

TEST(RegistryFile, ReadsValuesFromEachExportFormat) {
    std::string regedit5 = "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Tillwren\\Ver36\\Printer]\r\n"
                           "\"Other\"=\"machine\"\r\n\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n"
                           "\"DeviceName\"=\"Caf\xE9 \\\"Laser\\\" \\\\ \x80\"\r\n"
                           "\"Number\"=dword:0000002a\r\n"
                           "\"NoNul\"=hex(1):4c,00,50,00\r\n"
                           "\"WithNul\"=hex(1):4c,00,50,00,\\\r\n  00,00\r\n"
                           "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                           "\"Blob\"=hex:01,ff\r\n"
                           "@=\"default\"\r\n";
    std::string wine = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
                       "#arch=win32\n\n"
                       "[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1700000000\n"
                       "#time=1da2b3c4d5e6f70\n"
                       "\"DeviceName\"=\"Caf\\x00e9 \\\"Laser\\\" \\\\ \\x20ac\"\n"
                       "\"Number\"=dword:0000002a\n"
                       "\"NoNul\"=hex(1):4c,00,50,00\n"
                       "\"WithNul\"=hex(1):4c,00,50,00,\\\n  00,00\n"
                       "\"Path\"=str(2):\"%A%\"\n"
                       "\"Blob\"=hex:01,ff\n"
                       "@=\"default\"\n";
    const std::string device = "Caf\xE9 \"Laser\" \\ \x80"s + '\0';
    struct Case {
        std::string name, file;
    } files[] = {
        {"regedit5 UTF-16", "\xFF\xFE" + Utf16(regedit5)},
        {"regedit5 UTF-16 without BOM", Utf16(regedit5)},
        {"regedit5 UTF-8", "\xEF\xBB\xBF" + regedit5},
        {"wine", wine},
    };
    struct Expect {
        std::string value;
        Read read;
    } expected[] = {
        {"DeviceName", {0, Registry::REG_SZ, device}},
        {"devicename", {0, Registry::REG_SZ, device}},
        {"Number", {0, Registry::REG_DWORD, "\x2a\0\0\0"s}},
        {"NoNul", {0, Registry::REG_SZ, "LP"}},
        {"WithNul", {0, Registry::REG_SZ, "LP\0"s}},
        {"Path", {0, Registry::REG_EXPAND_SZ, "%A%\0"s}},
        {"Blob", {0, Registry::REG_BINARY, "\x01\xff"}},
        {"", {0, Registry::REG_SZ, "default\0"s}},
        {"Other", {2, 0, ""}},
    };
    ScratchFolder folder;
    for (const Case& f : files) {
        // regedit5's UTF-8 text above is Latin-1; make it real UTF-8 for that case.
        std::string bytes = f.file;
        if (f.name == "regedit5 UTF-8") {
            bytes = "\xEF\xBB\xBF" + regedit5;
            size_t at = bytes.find("Caf\xE9");
            bytes.replace(at + 3, 1, "\xC3\xA9");
            bytes.replace(bytes.find('\x80'), 1, "\xE2\x82\xAC");
        }
        WriteBytes(folder / "hkcu.reg", bytes);
        RegistryFile registry(folder / "hkcu.reg");
        for (const Expect& e : expected)
            EXPECT_EQ(Query(registry, Key, e.value), e.read) << f.name << " " << e.value;
    }
}

TEST(RegistryFile, Regedit4StringsAreAnsiBytesAsGiven) {
    ScratchFolder folder;
    WriteBytes(folder / "r4.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\tillwren]\r\n"
                                  "\"A\"=\"Caf\xE9\"\r\n\"B\"=hex(1):4c,50\r\n"
                                  "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n");
    RegistryFile registry(folder / "r4.reg");
    EXPECT_EQ(Query(registry, "Software\\Tillwren", "A"), (Read{0, 1, "Caf\xE9\0"s}));
    EXPECT_EQ(Query(registry, "Software\\Tillwren", "B"), (Read{0, 1, "LP"}));
}

TEST(RegistryFile, HandlesAndBufferSizesFollowTheWin32Rules) {
    ScratchFolder folder;
    WriteBytes(folder / "r.reg", "Windows Registry Editor Version 5.00\n"
                                 "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n"
                                 "\"DeviceName\"=\"LPT1\"\n");
    RegistryFile registry(folder / "r.reg");
    int32_t handle = 0, parent = 0;
    EXPECT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, "Software\\Nope", 0, 1, handle),
              2);
    EXPECT_EQ(handle, 0);
    ASSERT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, "software", 0, 1, parent), 0);
    ASSERT_EQ(registry.RegOpenKeyExA(parent, "TILLWREN\\ver36\\printer", 0, 1, handle), 0);
    EXPECT_GT(handle, 0);

    uint32_t type = 0, size = 3;
    uint8_t small[3];
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, small, size), 234);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(registry.RegQueryValueExA(handle, "Missing", type, nullptr, size), 2);
    EXPECT_EQ(registry.RegQueryValueExA(0, "DeviceName", type, nullptr, size), 6);
    EXPECT_EQ(registry.RegCloseKey(handle), 0);
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, nullptr, size), 6);
    EXPECT_EQ(registry.RegCloseKey(handle), 6);
    EXPECT_EQ(registry.RegOpenKeyExA(handle, "x", 0, 1, parent), 6);
}

TEST(RegistryFile, DamagedFilesKeepTheirWellFormedLinesAndNothingElse) {
    std::string good = "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n"
                       "\"DeviceName\"=\"ok\"\n";
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>(i * 31 % 256);
    struct Case {
        std::string name, bytes;
        Read read;
    } cases[] = {
        {"missing file", "", {2, 0, ""}},
        {"binary", binary, {2, 0, ""}},
        {"no header", good, {2, 0, ""}},
        {"bad lines around a good one",
         "Windows Registry Editor Version 5.00\n\"Loose\"=\"x\"\n[HKEY_CURRENT_USER\\Software\n" +
             good + "\"Bad\"=dword:xyz\n\"Worse\"=hex:1,2,345\n\"Open\"=\"never closed\n" +
             "\"Hex\"=hex:01,\\\n" + binary.substr(0, 64),
         {0, 1, "ok\0"s}},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        std::string path = folder / c.name;
        if (c.name != "missing file") WriteBytes(path, c.bytes);
        RegistryFile registry(path);
        EXPECT_EQ(Query(registry, Key, "DeviceName"), c.read) << c.name;
        EXPECT_EQ(Query(registry, Key, "Bad").status, 2) << c.name;
    }
}

TEST(RegistryFile, DefaultFileComesFromTheEnvironment) {
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv file("PAPYRA_HKCU", "/x/hkcu.reg");
        ScopedEnv wine("WINEPREFIX", "/w");
        EXPECT_EQ(RegistryFile::DefaultPath(), "/x/hkcu.reg");
    }
    ScopedEnv file("PAPYRA_HKCU", nullptr);
    {
        ScopedEnv wine("WINEPREFIX", "/w");
        EXPECT_EQ(RegistryFile::DefaultPath(), "/w/user.reg");
    }
    ScopedEnv wine("WINEPREFIX", nullptr);
    EXPECT_EQ(RegistryFile::DefaultPath(), "/home/someone/.config/papyra/HKEY_CURRENT_USER.reg");
}
