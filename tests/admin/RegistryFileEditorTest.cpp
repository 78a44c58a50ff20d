// Setting DeviceName in each registry file papyra reads: the value lands where an import would
// take it, every other byte stays, and papyra's own RegistryFile reads the new value back.
#include "platform/unix/RegistryFileEditor.h"
#include "platform/unix/RegistryFile.h"
#include "printer/ConfiguredDevice.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

namespace {

const std::string Key = "Software\\Tillwren\\Ver36\\Printer";
constexpr std::time_t Now = 1700000000;
// The value set: UTF-8, with a quote and a backslash; as regedit and Wine write it.
const std::string Zurich = "Z\xC3\xBCrich \"A\" \\ 1",
                  Set = "\"DeviceName\"=\"Z\xC3\xBCrich \\\"A\\\" \\\\ 1\"",
                  WineSet = "\"DeviceName\"=\"Z\\x00fcrich \\\"A\\\" \\\\ 1\"";
const std::string V5 = "Windows Registry Editor Version 5.00",
                  Hkcu = "[HKEY_CURRENT_USER\\" + Key + "]";

// UTF-8 text as regedit writes it: UTF-16LE (no mark: the caller adds it), CR LF.
std::string Utf16(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned char>(text[i]);
        if (c >= 0xC0) c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
        if (c == '\n') out += "\r\0"s;
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(RegistryEdit, SetsTheValueInEachFormatAndKeepsEveryOtherByte) {
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\n\"DeviceName\"=\"other\"\n"
                              "\"Blob\"=hex:01,02,\\\n  03\n\n";
    const std::string next = "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"A\"=\"b\"\r\n";
    const std::string wine =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
        "#arch=win64\n\n[Software\\\\Wine] 1600000000\n#time=1d6f0a1b2c3d4e5\n"
        "\"Version\"=\"win10\"\n";
    const std::string wineKey = "\n[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1600000000\n"
                                "#time=1d6f0a1b2c3d4e5\n";
    const std::string deleted = "\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Tillwren]\r\n";
    const struct {
        const char* what;
        std::string before, after;
    } edits[] = {
        {"regedit 5 in UTF-16: the value replaced in place, whatever its case",
         "\xFF\xFE"s + Utf16(V5 + "\n\n" + other + Hkcu + "\n\"Before\"=dword:00000001\n" +
                             "\"devicename\"=\"laser\"\n\"After\"=\"x\"\n"),
         "\xFF\xFE"s + Utf16(V5 + "\n\n" + other + Hkcu + "\n\"Before\"=dword:00000001\n" + Set +
                             "\n\"After\"=\"x\"\n")},
        {"regedit 4 in ANSI: added to its key, under its short root",
         "REGEDIT4\r\n\r\n[HKCU\\" + Key + "]\r\n\"Port\"=\"LPT1:\"\r\n\r\n" + next,
         "REGEDIT4\r\n\r\n[HKCU\\" + Key + "]\r\n\"Port\"=\"LPT1:\"\r\n" +
             "\"DeviceName\"=\"Z\xFCrich \\\"A\\\" \\\\ 1\"\r\n\r\n" + next},
        {"a hex value over two lines replaced whole",
         V5 + "\n\n" + Hkcu + "\n\"DeviceName\"=hex(1):4c,00,\\\n  50,00,00,00\n\"Next\"=\"n\"",
         V5 + "\n\n" + Hkcu + "\n" + Set + "\n\"Next\"=\"n\""},
        {"a key deleted later: the value after the deletion",
         V5 + "\r\n\r\n" + Hkcu + "\r\n\"DeviceName\"=\"old\"" + deleted,
         V5 + "\r\n\r\n" + Hkcu + "\r\n\"DeviceName\"=\"old\"" + deleted + "\r\n" + Hkcu + "\r\n" +
             Set + "\r\n"},
        {"Wine's: the key added with its time", wine,
         wine + "\n[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1700000000\n#time=1da1747c66d0000\n" +
             WineSet + "\n"},
        {"Wine's: the value replaced, the key's time kept",
         "WINE REGISTRY Version 2\n" + wineKey + "\"DeviceName\"=\"old\"\n\n[Software\\\\Z] 1\n",
         "WINE REGISTRY Version 2\n" + wineKey + WineSet + "\n\n[Software\\\\Z] 1\n"},
        {"no file: one in regedit 5, UTF-8", "",
         V5 + "\r\n\r\n" + Hkcu + "\r\n" + Set + "\r\n\r\n"},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.what);
        ScratchFolder folder;
        const std::string path = folder / "sub/user.reg";
        if (!e.before.empty()) {
            std::filesystem::create_directory(folder / "sub");
            WriteBytes(path, e.before);
        }
        const auto edit = SetRegistryString(path, Key, "DeviceName", Zurich, Now);
        ASSERT_TRUE(edit.done) << edit.failure;
        EXPECT_EQ(ReadBytes(path), e.after);
        RegistryFile registry(path);
        EXPECT_EQ(GetConfiguredDevice(registry), "Z\xFCrich \"A\" \\ 1") << "read in ANSI";
    }
}

TEST(RegistryEdit, RefusesWhatItMustNotWriteAndLeavesItAsItWas) {
    ScratchFolder folder;
    const std::string regedit = "REGEDIT4\r\n";
    WriteBytes(folder / "target.reg", regedit);
    std::filesystem::create_symlink(folder / "target.reg", folder / "link.reg");
    WriteBytes(folder / "notes.txt", "not a registry\n");
    WriteBytes(folder / "readonly.reg", regedit);
    chmod((folder / "readonly.reg").c_str(), 0444);
    mkfifo((folder / "fifo.reg").c_str(), 0600);
    for (const char* name : {"link.reg", "notes.txt", "readonly.reg", "fifo.reg"}) {
        const auto edit = SetRegistryString(folder / name, Key, "DeviceName", "x", Now);
        EXPECT_FALSE(edit.done) << name;
        EXPECT_NE(edit.failure.find(folder / name), std::string::npos) << edit.failure;
    }
    EXPECT_EQ(ReadBytes(folder / "target.reg") + ReadBytes(folder / "readonly.reg"),
              regedit + regedit);
    EXPECT_EQ(ReadBytes(folder / "notes.txt"), "not a registry\n");
    EXPECT_EQ(folder.Entries(), 5u) << "no temporary file left behind";
}

} // namespace
