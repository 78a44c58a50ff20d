// Files on Unix as the program reads and writes them: Line Input, whole-or-nothing replacement,
// profiles below drive C:, and the files it must never touch.
#include "platform/RuntimeError.h"
#include "platform/ini/IniProfile.h"
#include "platform/unix/AtomicFile.h"
#include "platform/unix/UnixTextFiles.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;
using Mode = TextFiles::Mode;
namespace fs = std::filesystem;

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
    const std::string nearBlock(1048575, 'q');  // its CR LF straddles the first read block
    const std::string pastBlocks(3 << 20, 'w'); // one line across several blocks
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"a\r\n\r\n\r", {"a", "", ""}},
        {"n\0ul\r\n\0"s, {"n\0ul"s, "\0"s}},
        {allBytes + "\r\n" + allBytes, {allBytes, allBytes}},
        {nearBlock + "\r\nz", {nearBlock, "z"}},
        {pastBlocks + "\rtail", {pastBlocks, "tail"}},
    };
    ScratchFolder folder;
    for (const auto& [bytes, lines] : cases) {
        WriteBytes(folder / "in.txt", bytes);
        EXPECT_TRUE(ReadLines(folder / "in.txt") == lines) << bytes.substr(0, 20);
    }
}

TEST(UnixTextFiles, OutputReplacesTheFileWholeAtCloseKeepingItsMode) {
    ScratchFolder folder;
    const std::string path = folder / "PrinterTest.prt";
    WriteBytes(path, "old contents\r\n");
    chmod(path.c_str(), 0640);
    UnixTextFiles files;
    files.Open(path, Mode::Output, 1);
    files.Print(1, "A", false);
    files.Print(1, "B", true);
    EXPECT_EQ(ReadBytes(path), "old contents\r\n") << "nothing half-written is ever seen";
    files.Close(1);
    EXPECT_EQ(ReadBytes(path), "AB\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(folder.Entries(), 1u);
}

TEST(UnixTextFiles, FailuresCarryTheirRunTimeErrorsAndNameTheFile) {
    ScratchFolder folder;
    WriteBytes(folder / "file", "x\r\n");
    WriteBytes(folder / "readonly", "keep");
    chmod((folder / "readonly").c_str(), 0444);
    fs::create_directory(folder / "dir");
    fs::create_symlink(folder / "readonly", folder / "link");
    mkfifo((folder / "fifo").c_str(), 0600);
    UnixTextFiles files;
    files.Open(folder / "file", Mode::Input, 7);
    const std::tuple<std::string, Mode, int, int> opens[] = {
        {folder / "none", Mode::Input, 1, 53},
        {folder / "no/file", Mode::Input, 1, 76},
        {folder / "no/file", Mode::Output, 1, 76},
        {folder / "dir", Mode::Input, 1, 75},
        {folder / "dir", Mode::Output, 1, 75},
        {folder / "readonly", Mode::Output, 1, 70},
        {folder / "link", Mode::Output, 1, 75},
        {folder / "fifo", Mode::Input, 1, 75},
        {folder / "fifo", Mode::Output, 1, 75},
        {"/dev/null", Mode::Input, 1, 75},
        {"", Mode::Input, 1, 52},
        {folder / "file", Mode::Input, 0, 52},
        {folder / "file", Mode::Input, 7, 55},
    };
    for (const auto& open : opens)
        EXPECT_EQ(
            ErrorOf([&] { files.Open(std::get<0>(open), std::get<1>(open), std::get<2>(open)); }),
            std::get<3>(open))
            << std::get<0>(open);
    EXPECT_EQ(ErrorOf([&] { files.Print(7, "x", true); }), 52) << "an input channel";
    try {
        files.Open(folder / "none", Mode::Input, 2);
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.subject, folder / "none");
    }
    EXPECT_EQ(ReadBytes(folder / "readonly"), "keep");
    EXPECT_TRUE(fs::is_symlink(folder / "link"));
    EXPECT_EQ(files.LineInput(7), "x") << "the failures left the open channel alone";
}

TEST(AtomicFile, AWriterStoppedHalfWayLeavesTheOldFileAndTheNextCleansUp) {
    ScratchFolder folder;
    const std::string path = folder / "RNTME.INI", old(100000, 'o');
    WriteBytes(path, old);
    // A file-size limit stops the write part-way: with the signal ignored the write fails with
    // EFBIG; with the default action the writer is killed on the spot and leaves its temporary.
    for (bool ignoreSignal : {true, false}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rlimit limit{1 << 20, 1 << 20};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
            _exit(ReplaceFileAtomically(path, std::string(8 << 20, 'n')) ? 0 : 3);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(ignoreSignal ? WEXITSTATUS(status) : WTERMSIG(status),
                  ignoreSignal ? 3 : SIGXFSZ);
        EXPECT_TRUE(ReadBytes(path) == old);
        EXPECT_EQ(folder.Entries(), ignoreSignal ? 1u : 2u);
    }
    const std::string live = folder / (".RNTME.INI.tmp" + std::to_string(getpid()) + "-1");
    WriteBytes(live, "a writer at work");
    EXPECT_TRUE(ReplaceFileAtomically(path, "new"));
    EXPECT_EQ(folder.Entries(), 2u) << "the dead writer's file is gone, the live one's stays";
    EXPECT_TRUE(fs::exists(live));
}

TEST(IniProfile, WritesBelowDriveCMatchingCaseAndRefusesWhatItMustNotTouch) {
    ScratchFolder drive;
    fs::create_directory(drive / "HARVEX96");
    setenv("PAPYRA_DRIVE_C", drive.path().c_str(), 1);
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileStringA("Settings", "PrinterCodeSet", "E",
                                                   "\\Harvex96\\harvex.ini"));
    EXPECT_TRUE(profile.WritePrivateProfileStringA("settings", "printercodeset", "I",
                                                   "C:\\harvex96\\HARVEX.INI"));
    EXPECT_EQ(ReadBytes(drive / "HARVEX96/harvex.ini"), "[Settings]\r\nPrinterCodeSet=I\r\n");

    WriteBytes(drive / "ro.ini", "[A]\r\nk=1\r\n");
    chmod((drive / "ro.ini").c_str(), 0444);
    WriteBytes(drive / "target.ini", "[A]\r\nk=1\r\n");
    fs::create_symlink(drive / "target.ini", drive / "link.ini");
    mkfifo((drive / "fifo.ini").c_str(), 0600);
    fs::create_directory(drive / "dir.ini");
    for (const char* file : {"ro.ini", "link.ini", "fifo.ini", "dir.ini", "missing/x.ini", ""}) {
        EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "k", "2", *file ? drive / file : ""))
            << file;
        EXPECT_FALSE(profile.WritePrivateProfileSectionA("A", "k=2\0"s, drive / file)) << file;
    }
    EXPECT_EQ(ReadBytes(drive / "ro.ini"), "[A]\r\nk=1\r\n");
    EXPECT_EQ(ReadBytes(drive / "target.ini"), "[A]\r\nk=1\r\n");
    EXPECT_TRUE(fs::is_symlink(drive / "link.ini"));
    char buffer[8];
    EXPECT_EQ(profile.GetPrivateProfileStringA("A", "k", "d", buffer, 8, drive / "fifo.ini"), 1u)
        << "a FIFO reads as no file, at once";
    unsetenv("PAPYRA_DRIVE_C");
}
