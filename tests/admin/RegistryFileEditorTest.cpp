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
const std::string Zurich = "Z\xC3\xBCrich \"A\" \\ 1"; // UTF-8, with a quote and a backslash
constexpr std::time_t Now = 1700000000;

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

const std::string OtherKeys = "[HKEY_CURRENT_USER\\Software\\Other]\n\"DeviceName\"=\"other\"\n"
                              "\"Blob\"=hex:01,02,\\\n  03\n\n";

struct Edit {
    const char* name;
    std::string before, after;
};

const Edit Edits[] = {
    {"Regedit5Utf16ValueReplacedInPlace",
     "\xFF\xFE"s + Utf16("Windows Registry Editor Version 5.00\n\n" + OtherKeys +
                         "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n"
                         "\"Before\"=dword:00000001\n\"devicename\"=\"laser\"\n\"After\"=\"x\"\n"),
     "\xFF\xFE"s + Utf16("Windows Registry Editor Version 5.00\n\n" + OtherKeys +
                         "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\n"
                         "\"Before\"=dword:00000001\n\"DeviceName\"=\"Z\xC3\xBCrich \\\"A\\\" "
                         "\\\\ 1\"\n\"After\"=\"x\"\n")},
    {"Regedit4AnsiAddedToItsKey",
     "REGEDIT4\r\n\r\n[HKCU\\Software\\Tillwren\\Ver36\\Printer]\r\n\"Port\"=\"LPT1:\"\r\n\r\n"
     "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"A\"=\"b\"\r\n",
     "REGEDIT4\r\n\r\n[HKCU\\Software\\Tillwren\\Ver36\\Printer]\r\n\"Port\"=\"LPT1:\"\r\n"
     "\"DeviceName\"=\"Z\xFCrich \\\"A\\\" \\\\ 1\"\r\n\r\n"
     "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"A\"=\"b\"\r\n"},
    {"Regedit5HexValueOverTwoLinesReplacedWhole",
     "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\"
     "Printer]\n\"DeviceName\"=hex(1):4c,00,\\\n  50,00,00,00\n\"Next\"=\"n\"",
     "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\"
     "Printer]\n\"DeviceName\"=\"Z\xC3\xBCrich \\\"A\\\" \\\\ 1\"\n\"Next\"=\"n\""},
    {"KeyDeletedLaterGetsTheValueAfterTheDeletion",
     "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36"
     "\\Printer]\r\n\"DeviceName\"=\"old\"\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Tillwren]\r\n",
     "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36"
     "\\Printer]\r\n\"DeviceName\"=\"old\"\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Tillwren]\r\n"
     "\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n"
     "\"DeviceName\"=\"Z\xC3\xBCrich \\\"A\\\" \\\\ 1\"\r\n"},
    {"WineKeyAddedWithItsTime",
     "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n#arch=win64\n\n"
     "[Software\\\\Wine] 1600000000\n#time=1d6f0a1b2c3d4e5\n\"Version\"=\"win10\"\n",
     "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n#arch=win64\n\n"
     "[Software\\\\Wine] 1600000000\n#time=1d6f0a1b2c3d4e5\n\"Version\"=\"win10\"\n\n"
     "[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1700000000\n#time=1da1747c66d0000\n"
     "\"DeviceName\"=\"Z\\x00fcrich \\\"A\\\" \\\\ 1\"\n"},
    {"WineValueReplacedKeepingTheKeysTime",
     "WINE REGISTRY Version 2\n\n[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1600000000\n"
     "#time=1d6f0a1b2c3d4e5\n\"DeviceName\"=\"old\"\n\n[Software\\\\Z] 1\n",
     "WINE REGISTRY Version 2\n\n[Software\\\\Tillwren\\\\Ver36\\\\Printer] 1600000000\n"
     "#time=1d6f0a1b2c3d4e5\n\"DeviceName\"=\"Z\\x00fcrich \\\"A\\\" \\\\ 1\"\n\n"
     "[Software\\\\Z] 1\n"},
    {"MissingFileIsMadeInRegedit5Utf8", "",
     "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36"
     "\\Printer]\r\n\"DeviceName\"=\"Z\xC3\xBCrich \\\"A\\\" \\\\ 1\"\r\n\r\n"},
};

void PrintTo(const Edit& edit, std::ostream* out) {
    *out << edit.name;
}

class RegistryEdit : public testing::TestWithParam<Edit> {};

TEST_P(RegistryEdit, SetsTheValueAndKeepsEveryOtherByte) {
    ScratchFolder folder;
    const std::string path = folder / "sub/user.reg";
    if (!GetParam().before.empty()) {
        std::filesystem::create_directory(folder / "sub");
        WriteBytes(path, GetParam().before);
    }
    const auto edit = SetRegistryString(path, Key, "DeviceName", Zurich, Now);
    ASSERT_TRUE(edit.done) << edit.failure;
    EXPECT_EQ(ReadBytes(path), GetParam().after);
    RegistryFile registry(path);
    EXPECT_EQ(GetConfiguredDevice(registry), "Z\xFCrich \"A\" \\ 1") << "papyra reads it in ANSI";
}

INSTANTIATE_TEST_SUITE_P(EachFormat, RegistryEdit, testing::ValuesIn(Edits),
                         [](const auto& info) { return info.param.name; });

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
        SCOPED_TRACE(name);
        const auto edit = SetRegistryString(folder / name, Key, "DeviceName", "x", Now);
        EXPECT_FALSE(edit.done);
        EXPECT_NE(edit.failure.find(folder / name), std::string::npos) << edit.failure;
    }
    EXPECT_EQ(ReadBytes(folder / "target.reg"), regedit);
    EXPECT_EQ(ReadBytes(folder / "notes.txt"), "not a registry\n");
    EXPECT_EQ(ReadBytes(folder / "readonly.reg"), regedit);
    EXPECT_EQ(folder.Entries(), 5u) << "no temporary file left behind";
}

} // namespace
