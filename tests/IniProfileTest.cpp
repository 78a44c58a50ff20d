#include "platform/unix/IniProfile.h"
#include "ScratchFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

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
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

TEST(IniProfile, StringReadsAreCutToTheBuffer) {
    ScratchFolder folder;
    WriteBytes(folder / "p.ini", "[Printer]\r\nPaperSize = \"Letter 8 1/2 x 11 in\" \r\n");
    IniProfile profile;
    struct Case {
        std::string key, def;
        uint32_t size;
        std::string text;
        uint32_t result;
    } cases[] = {
        {"papersize", "", 100, "Letter 8 1/2 x 11 in", 20},
        {"PaperSize", "", 10, "Letter 8 ", 9},
        {"PaperSize", "", 1, "", 0},
        {"Missing", "X  ", 100, "X", 1},
        {"Missing", "", 100, "", 0},
    };
    for (const Case& c : cases) {
        std::string buffer(c.size + 1, '#');
        EXPECT_EQ(profile.GetPrivateProfileStringA("PRINTER", c.key, c.def, buffer.data(), c.size,
                                                   folder / "p.ini"),
                  c.result)
            << c.key << c.size;
        EXPECT_EQ(buffer.substr(0, c.text.size() + 1), c.text + '\0') << c.key << c.size;
        EXPECT_EQ(buffer.back(), '#');
    }
    char untouched = '#';
    EXPECT_EQ(profile.GetPrivateProfileStringA("Printer", "PaperSize", "", &untouched, 0,
                                               folder / "p.ini"),
              0u);
    EXPECT_EQ(untouched, '#');
    char buffer[8];
    EXPECT_EQ(profile.GetPrivateProfileStringA("A", "b", "dflt", buffer, 8, folder / "none.ini"),
              4u);
    EXPECT_STREQ(buffer, "dflt");
}

TEST(IniProfile, SectionsAreWrittenWholeAndReadBackCutLikeWindows) {
    ScratchFolder folder;
    std::string file = folder / "s.ini";
    WriteBytes(file, "[Test]\r\nold=1\r\n[Keep]\r\nz=0\r\n");
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileSectionA("Test", "a=1\0b=2\0\0"s, file));
    EXPECT_EQ(ReadBytes(file), "[Test]\r\na=1\r\nb=2\r\n[Keep]\r\nz=0\r\n");

    struct Case {
        uint32_t size;
        std::string block;
        uint32_t result;
    } cases[] = {
        {32000, "a=1\0b=2\0\0"s, 8},
        {9, "a=1\0b=2\0\0"s, 8},
        {8, "a=1\0b=\0\0"s, 6},
        {2, "\0\0"s, 0},
    };
    for (const Case& c : cases) {
        std::string buffer(c.size, '#');
        EXPECT_EQ(profile.GetPrivateProfileSectionA("test", buffer.data(), c.size, file), c.result)
            << c.size;
        EXPECT_EQ(buffer.substr(0, c.block.size()), c.block) << c.size;
    }
    char empty[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(profile.GetPrivateProfileSectionA("Absent", empty, 4, file), 0u);
    EXPECT_EQ(empty[0], '\0');
}
