// The profile engine and the text files on real Windows files: bytes exact, failures refused
// before anything changes.
#include "platform/ini/IniProfile.h"
#include "platform/win32/Win32TextFiles.h"
#include "win32/Win32TestSupport.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;
using Mode = TextFiles::Mode;

TEST(Win32Profile, WritesKeepEveryOtherByteAndLeaveNoTemporaryFile) {
    ScratchFolder folder;
    const std::string file = folder / "RNTME.INI";
    WriteBytes(file, "; Harvex\r\n[printer]\r\nSIZE=old\r\nKeep=1\r\n\r\n; about\r\n\r\n[Other]\r\n"
                     "Size=x\r\n");
    // A temporary file that a killed writer left behind, and one of a writer still at work.
    WriteBytes(file + ".~4000000-1.tmp", "stale");
    const std::string live = file + ".~" + std::to_string(GetCurrentProcessId()) + "-1.tmp";
    WriteBytes(live, "live");
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileStringA("Printer", "Size", "9", file));
    EXPECT_TRUE(profile.WritePrivateProfileStringA("PRINTER", "Quality", "180", file));
    EXPECT_TRUE(profile.WritePrivateProfileStringA("New", "k", "v", file));
    EXPECT_EQ(ReadBytes(file), "; Harvex\r\n[printer]\r\nSIZE=9\r\nKeep=1\r\nQuality=180\r\n\r\n"
                               "; about\r\n\r\n[Other]\r\nSize=x\r\n[New]\r\nk=v\r\n");
    char value[16];
    EXPECT_EQ(profile.GetPrivateProfileStringA("printer", "size", "", value, sizeof value, file),
              1u);
    EXPECT_STREQ(value, "9");
    DeleteFileA(live.c_str());
    EXPECT_EQ(folder.Entries(), 1) << "the stale temporary file is gone, no new one is left";
}

TEST(Win32Profile, RefusedWritesChangeNothing) {
    ScratchFolder folder;
    const std::string readOnly = folder / "ro.ini";
    WriteBytes(readOnly, "[A]\r\nk=1\r\n");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder / "dir.ini").c_str(), nullptr);
    IniProfile profile;
    for (const std::string& file : {readOnly, folder / "dir.ini", folder / "missing\\x.ini",
                                    folder / "NUL", folder / "lpt1.ini", ""s})
        EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "k", "2", file)) << file;
    EXPECT_EQ(ReadBytes(readOnly), "[A]\r\nk=1\r\n");
    EXPECT_EQ(folder.Entries(), 2);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    Win32TextFiles files;
    files.Open(path, Mode::Input, 1);
    std::vector<std::string> lines;
    while (!files.Eof(1))
        lines.push_back(files.LineInput(1));
    return lines;
}

} // namespace

TEST(Win32TextFiles, LinesEndAtCrLfOrLoneCrButNotAtLoneLf) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string nearBlock(1048575, 'q'); // its CR LF straddles the first read block
    std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"a\r\n\r\n\r", {"a", "", ""}},
        {allBytes + "\r\n" + allBytes, {allBytes, allBytes}},
        {nearBlock + "\r\nz", {nearBlock, "z"}},
    };
    ScratchFolder folder;
    for (const auto& [bytes, lines] : cases) {
        WriteBytes(folder / "in.txt", bytes);
        EXPECT_TRUE(ReadLines(folder / "in.txt") == lines) << bytes.substr(0, 20);
    }
}

TEST(Win32TextFiles, OutputReplacesTheFileAtClose) {
    ScratchFolder folder;
    const std::string path = folder / "PrinterTest.prt";
    WriteBytes(path, "old contents\r\n");
    Win32TextFiles files;
    files.Open(path, Mode::Output, 1);
    files.Print(1, "A", false);
    files.Print(1, "B", true);
    files.Print(1, "", true);
    EXPECT_EQ(ReadBytes(path), "old contents\r\n"); // nothing half-written is ever seen
    files.Close(1);
    EXPECT_EQ(ReadBytes(path), "AB\r\n\r\n");
    EXPECT_EQ(folder.Entries(), 1);
}

TEST(Win32TextFiles, FailuresCarryTheirRunTimeErrorNumbers) {
    ScratchFolder folder;
    WriteBytes(folder / "file", "x\r\n");
    WriteBytes(folder / "readonly", "keep");
    SetFileAttributesA((folder / "readonly").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    Win32TextFiles files;
    files.Open(folder / "file", Mode::Input, 7);
    std::tuple<std::string, Mode, int, int> opens[] = {
        {folder / "none", Mode::Input, 1, 53},
        {folder / "no\\file", Mode::Input, 1, 76},
        {folder / "no\\file", Mode::Output, 1, 76},
        {folder / "dir", Mode::Input, 1, 75},
        {folder / "dir", Mode::Output, 1, 75},
        {folder / "readonly", Mode::Output, 1, 70},
        {"CON", Mode::Input, 1, 75},
        {folder / "LPT1.txt", Mode::Output, 1, 75},
        {"", Mode::Input, 1, 52},
        {folder / "file", Mode::Input, 0, 52},
        {folder / "file", Mode::Input, 7, 55},
    };
    for (const auto& [path, mode, channel, number] : opens)
        EXPECT_EQ(ErrorOf([&] { files.Open(path, mode, channel); }), number) << path;
    EXPECT_EQ(ErrorOf([&] { files.LineInput(2); }), 52);
    EXPECT_EQ(ErrorOf([&] { files.Print(7, "x", true); }), 52);
    EXPECT_EQ(files.LineInput(7), "x"); // the failures left the open channel alone
    EXPECT_EQ(ErrorOf([&] { files.LineInput(7); }), 62);
    EXPECT_EQ(ReadBytes(folder / "readonly"), "keep");
    EXPECT_EQ(folder.Entries(), 3);
    SetFileAttributesA((folder / "readonly").c_str(), FILE_ATTRIBUTE_NORMAL);
}
