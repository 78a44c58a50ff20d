#include "platform/unix/UnixTextFiles.h"
#include "platform/RuntimeError.h"
#include "support/ScratchFolder.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;
using Mode = TextFiles::Mode;

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    UnixTextFiles files;
    files.Open(path, Mode::Input, 1);
    std::vector<std::string> lines;
    while (!files.Eof(1))
        lines.push_back(files.LineInput(1));
    return lines;
}

int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

TEST(UnixTextFiles, LinesEndAtCrLfOrLoneCrButNotAtLoneLf) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string nearBlock(1048575, 'q'); // its CR LF straddles the first read block
    std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"x\r", {"x"}},
        {"a\r\n\r\n\r", {"a", "", ""}},
        {"n\0ul\r\n\0"s, {"n\0ul"s, "\0"s}},
        {allBytes + "\r\n" + allBytes, {allBytes, allBytes}},
        {nearBlock + "\r\nz", {nearBlock, "z"}},
    };
    ScratchFolder folder;
    for (const auto& [bytes, lines] : cases) {
        WriteBytes(folder / "in.txt", bytes);
        EXPECT_EQ(ReadLines(folder / "in.txt"), lines) << bytes.substr(0, 20);
    }
}

TEST(UnixTextFiles, AFiftyMegabyteLineRoundTrips) {
    ScratchFolder folder;
    std::string line(50 << 20, '\0');
    for (size_t i = 0; i < line.size(); ++i)
        line[i] = static_cast<char>(i * 7 % 256 == '\r' ? 'r' : i * 7 % 256);
    UnixTextFiles files;
    files.Open(folder / "big.prt", Mode::Output, 3);
    files.Print(3, line, true);
    files.Print(3, "tail", false);
    files.Close(3);
    files.Open(folder / "big.prt", Mode::Input, 3);
    EXPECT_TRUE(files.LineInput(3) == line);
    EXPECT_EQ(files.LineInput(3), "tail");
    EXPECT_TRUE(files.Eof(3));
    EXPECT_EQ(ErrorOf([&] { files.LineInput(3); }), 62);
}

TEST(UnixTextFiles, OutputReplacesTheFileAtCloseKeepingItsMode) {
    ScratchFolder folder;
    std::string path = folder / "PrinterTest.prt";
    WriteBytes(path, "old contents\r\n");
    chmod(path.c_str(), 0640);
    UnixTextFiles files;
    files.Open(path, Mode::Output, 1);
    files.Print(1, "A", false);
    files.Print(1, "B", true);
    files.Print(1, "", true);
    EXPECT_EQ(ReadBytes(path), "old contents\r\n"); // nothing half-written is ever seen
    files.Close(1);
    EXPECT_EQ(ReadBytes(path), "AB\r\n\r\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(folder.Entries(), 1u);
}

TEST(UnixTextFiles, FailuresCarryTheirRunTimeErrorNumbers) {
    ScratchFolder folder;
    WriteBytes(folder / "file", "x\r\n");
    WriteBytes(folder / "readonly", "keep");
    chmod((folder / "readonly").c_str(), 0444);
    std::filesystem::create_directory(folder / "dir");
    UnixTextFiles files;
    files.Open(folder / "file", Mode::Input, 7);
    std::tuple<std::string, Mode, int, int> opens[] = {
        {folder / "none", Mode::Input, 1, 53},      {folder / "no/file", Mode::Input, 1, 76},
        {folder / "no/file", Mode::Output, 1, 76},  {folder / "file/x", Mode::Output, 1, 76},
        {folder / "dir", Mode::Input, 1, 75},       {folder / "dir", Mode::Output, 1, 75},
        {folder / "readonly", Mode::Output, 1, 70}, {"", Mode::Input, 1, 52},
        {folder / "file\0x"s, Mode::Input, 1, 52},  {folder / "file", Mode::Input, 0, 52},
        {folder / "file", Mode::Input, 7, 55},
    };
    for (const auto& [path, mode, channel, number] : opens)
        EXPECT_EQ(ErrorOf([&] { files.Open(path, mode, channel); }), number) << path;
    EXPECT_EQ(ErrorOf([&] { files.LineInput(2); }), 52);
    EXPECT_EQ(ErrorOf([&] { files.Eof(2); }), 52);
    EXPECT_EQ(ErrorOf([&] { files.Print(7, "x", true); }), 52);
    files.Open("/dev/full", Mode::Output, 9);
    files.Print(9, "x", true);
    EXPECT_EQ(ErrorOf([&] { files.Close(9); }), 61);
    EXPECT_EQ(ReadBytes(folder / "readonly"), "keep");
    EXPECT_EQ(files.LineInput(7), "x"); // the failures left the open channel alone
}
