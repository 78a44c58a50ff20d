// The profile engine and the text files on real Windows files: bytes exact, a file replaced
// whole when done, failures refused before anything changes.
#include "platform/ini/IniProfile.h"
#include "platform/win32/Win32TextFiles.h"
#include "win32/Win32TestSupport.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;
using Mode = TextFiles::Mode;

TEST(Win32Profile, WritesKeepEveryOtherByteAndLeaveNoTemporaryFileOrRefuseAndChangeNothing) {
    ScratchFolder folder;
    const std::string file = folder / "RNTME.INI", readOnly = folder / "ro.ini";
    WriteBytes(file, "; Harvex\r\n[printer]\r\nSIZE=old\r\n\r\n[Other]\r\nSize=x\r\n");
    // A temporary file that a killed writer left behind, and one of a writer still at work.
    WriteBytes(file + ".~4000000-1.tmp", "stale");
    const std::string live = file + ".~" + std::to_string(GetCurrentProcessId()) + "-1.tmp";
    WriteBytes(live, "live");
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileStringA("Printer", "Size", "9", file));
    EXPECT_TRUE(profile.WritePrivateProfileStringA("PRINTER", "Quality", "180", file));
    EXPECT_EQ(ReadBytes(file),
              "; Harvex\r\n[printer]\r\nSIZE=9\r\nQuality=180\r\n\r\n[Other]\r\nSize=x\r\n");
    EXPECT_TRUE(DeleteFileA(live.c_str())) << "a live writer's file is left alone";
    EXPECT_EQ(folder.Entries(), 1) << "the stale temporary file is gone, no new one is left";

    WriteBytes(readOnly, "[A]\r\nk=1\r\n");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder / "dir.ini").c_str(), nullptr);
    for (const std::string& refused : {readOnly, folder / "dir.ini", folder / "lpt1.ini"})
        EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "k", "2", refused)) << refused;
    EXPECT_EQ(ReadBytes(readOnly), "[A]\r\nk=1\r\n");
    EXPECT_EQ(folder.Entries(), 3);
}

TEST(Win32TextFiles, LinesEndAtCrLfOrLoneCrButNotAtLoneLf) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string nearBlock(1048575, 'q'); // its CR LF straddles the first read block
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a\r\nb\rc\nd\r\n\r\n\r", {"a", "b", "c\nd", "", ""}},
        {allBytes + "\r\n" + allBytes, {allBytes, allBytes}},
        {nearBlock + "\r\nz", {nearBlock, "z"}},
    };
    ScratchFolder folder;
    for (const auto& [bytes, lines] : cases) {
        WriteBytes(folder / "in.txt", bytes);
        Win32TextFiles files;
        files.Open(folder / "in.txt", Mode::Input, 1);
        std::vector<std::string> read;
        while (!files.Eof(1))
            read.push_back(files.LineInput(1));
        EXPECT_TRUE(read == lines) << bytes.substr(0, 20);
    }
}

TEST(Win32TextFiles, OutputReplacesTheFileWholeAtCloseAndFailuresCarryTheirNumbers) {
    ScratchFolder folder;
    const std::string path = folder / "PrinterTest.prt";
    WriteBytes(path, "old contents\r\n");
    WriteBytes(folder / "readonly", "keep");
    SetFileAttributesA((folder / "readonly").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    Win32TextFiles files;
    files.Open(path, Mode::Output, 1);
    files.Print(1, "A", false);
    files.Print(1, "B", true);
    files.Print(1, "", true);
    EXPECT_EQ(ReadBytes(path), "old contents\r\n"); // nothing half-written is ever seen
    files.Close(1);
    EXPECT_EQ(ReadBytes(path), "AB\r\n\r\n");

    files.Open(path, Mode::Input, 7);
    const std::tuple<std::string, Mode, int, int> opens[] = {
        {folder / "none", Mode::Input, 1, 53},
        {folder / "no\\file", Mode::Input, 1, 76},
        {folder / "no\\file", Mode::Output, 1, 76},
        {folder / "dir", Mode::Input, 1, 75},
        {folder / "readonly", Mode::Output, 1, 70},
        {folder / "LPT1.txt", Mode::Output, 1, 75},
        {"", Mode::Input, 1, 52},
        {path, Mode::Input, 0, 52},
        {path, Mode::Input, 7, 55},
    };
    for (const auto& [name, mode, channel, number] : opens)
        EXPECT_EQ(ErrorOf([&] { files.Open(name, mode, channel); }), number) << name;
    EXPECT_EQ(ErrorOf([&] { files.LineInput(2); }), 52);
    EXPECT_EQ(ErrorOf([&] { files.Print(7, "x", true); }), 52);
    EXPECT_EQ(files.LineInput(7), "AB"); // the failures left the open channel alone
    files.LineInput(7);
    EXPECT_EQ(ErrorOf([&] { files.LineInput(7); }), 62);
    EXPECT_EQ(ReadBytes(folder / "readonly"), "keep");
    EXPECT_EQ(folder.Entries(), 3) << "no temporary file is left";
}
