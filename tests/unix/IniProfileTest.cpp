#include "platform/ini/IniProfile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

TEST(IniProfile, WritesThroughWindowsPathsBelowDriveC) {
    ScratchFolder drive;
    std::filesystem::create_directory(drive / "HARVEX96");
    ScopedEnv root("PAPYRA_DRIVE_C", drive.path().c_str());
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileStringA("Settings", "PrinterCodeSet", "E",
                                                   "\\Harvex96\\harvex.ini"));
    EXPECT_TRUE(profile.WritePrivateProfileStringA("settings", "printercodeset", "I",
                                                   "C:\\harvex96\\HARVEX.INI"));
    EXPECT_EQ(ReadBytes(drive / "HARVEX96/harvex.ini"), "[Settings]\r\nPrinterCodeSet=I\r\n");
}

TEST(IniProfile, FailedWritesChangeNothing) {
    ScratchFolder folder;
    std::string readOnly = folder / "ro.ini";
    WriteBytes(readOnly, "[A]\r\nk=1\r\n");
    chmod(readOnly.c_str(), 0444);
    std::filesystem::create_directory(folder / "dir.ini");
    IniProfile profile;
    for (const std::string& file : {readOnly, folder / "missing/x.ini", folder / "dir.ini", ""s})
        EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "k", "2", file)) << file;
    EXPECT_FALSE(profile.WritePrivateProfileSectionA("A", "k=2\0"s, readOnly));
    EXPECT_EQ(ReadBytes(readOnly), "[A]\r\nk=1\r\n");
    EXPECT_EQ(folder.Entries(), 2u);
}

TEST(IniProfile, StringReadsAreCutToTheBuffer) {
    ScratchFolder folder;
    WriteBytes(folder / "p.ini", "[Printer]\r\nPaperSize = \"Letter 8 1/2 x 11 in\" \r\n");
    std::tuple<std::string, std::string, uint32_t, std::string> cases[] = {
        {"papersize", "", 100, "Letter 8 1/2 x 11 in"},
        {"PaperSize", "", 10, "Letter 8 "},
        {"PaperSize", "", 1, ""},
        {"Missing", "X  ", 100, "X"},
        {"Missing", "", 100, ""},
    };
    IniProfile profile;
    for (const auto& [key, def, size, text] : cases) {
        std::string buffer(size + 1, '#');
        EXPECT_EQ(profile.GetPrivateProfileStringA("PRINTER", key, def, buffer.data(), size,
                                                   folder / "p.ini"),
                  text.size());
        EXPECT_EQ(buffer, text + '\0' + std::string(size - text.size(), '#')) << key << size;
    }
    char untouched = '#';
    EXPECT_EQ(profile.GetPrivateProfileStringA("Printer", "PaperSize", "", &untouched, 0,
                                               folder / "p.ini"),
              0u);
    EXPECT_EQ(untouched, '#');
}

TEST(IniProfile, SectionsAreWrittenWholeAndReadBackCutLikeWindows) {
    ScratchFolder folder;
    std::string file = folder / "s.ini";
    WriteBytes(file, "[Test]\r\nold=1\r\n[Keep]\r\nz=0\r\n");
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileSectionA("Test", "a=1\0b=2\0\0"s, file));
    EXPECT_EQ(ReadBytes(file), "[Test]\r\na=1\r\nb=2\r\n[Keep]\r\nz=0\r\n");
    std::tuple<std::string, uint32_t, std::string, uint32_t> cases[] = {
        {"test", 32000, "a=1\0b=2\0\0"s, 8},
        {"test", 9, "a=1\0b=2\0\0"s, 8},
        {"test", 8, "a=1\0b=\0\0"s, 6},
        {"test", 2, "\0\0"s, 0},
        {"Absent", 4, "\0"s, 0},
    };
    for (const auto& [section, size, block, result] : cases) {
        std::string buffer(size, '#');
        EXPECT_EQ(profile.GetPrivateProfileSectionA(section, buffer.data(), size, file), result);
        EXPECT_EQ(buffer.substr(0, block.size()), block) << size;
    }
}
