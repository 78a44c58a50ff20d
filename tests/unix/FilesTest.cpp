#include "platform/unix/AtomicFile.h"
#include "platform/unix/UnixLauncher.h"
#include "platform/unix/UnixTextFiles.h"
#include "platform/unix/WindowsPath.h"
#include "support/ErrorOf.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;
using Mode = TextFiles::Mode;
namespace fs = std::filesystem;

namespace {

TEST(UnixTextFiles, LinesEndAtCrLfOrLoneCrAndFailuresNameTheFile) {
    ScratchFolder folder;
    // Line Input's rules are the engine tests' (the fakes read through it too); here, blocks.
    const std::string nearBlock(1048575, 'q'); // its CR LF straddles the first read block
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a\r\n\r\nb\rc\nd\r", {"a", "", "b", "c\nd"}},
        {nearBlock + "\r\nz", {nearBlock, "z"}},
    };
    for (const auto& [bytes, lines] : cases) {
        WriteBytes(folder / "in.txt", bytes);
        UnixTextFiles files;
        files.Open(folder / "in.txt", Mode::Input, 1);
        std::vector<std::string> read;
        while (!files.Eof(1))
            read.push_back(files.LineInput(1));
        EXPECT_TRUE(read == lines) << bytes.substr(0, 20);
    }
    WriteBytes(folder / "file", "x\r\n");
    WriteBytes(folder / "readonly", "");
    chmod((folder / "readonly").c_str(), 0444);
    fs::create_directory(folder / "dir");
    fs::create_symlink(folder / "file", folder / "link");
    UnixTextFiles files;
    files.Open(folder / "file", Mode::Input, 7);
    const std::tuple<std::string, Mode, int, int> opens[] = {
        {folder / "none", Mode::Input, 1, 53},   {folder / "no/file", Mode::Input, 1, 76},
        {folder / "dir", Mode::Input, 1, 75},    {folder / "readonly", Mode::Output, 1, 70},
        {folder / "link", Mode::Output, 1, 75},  {"", Mode::Input, 1, 52},
        {folder / "file", Mode::Input, 512, 52}, {folder / "file", Mode::Input, 7, 55},
    };
    for (const auto& open : opens) {
        const std::string& path = std::get<0>(open);
        const RuntimeError failure =
            FailureOf([&] { files.Open(path, std::get<1>(open), std::get<2>(open)); });
        EXPECT_EQ(std::pair(failure.number, failure.subject), std::pair(std::get<3>(open), path));
    }
    EXPECT_EQ(FailureOf([&] { files.Print(7, "x", true); }).number, 52) << "an input channel";
    EXPECT_EQ(files.LineInput(7), "x") << "the failures left the open channel alone";
}

TEST(UnixTextFiles, OutputReplacesTheFileWholeAtCloseKeepingItsModeAndLiveWritersFiles) {
    ScratchFolder folder;
    const std::string path = folder / "PrinterTest.prt";
    WriteBytes(path, "old\r\n");
    chmod(path.c_str(), 0640);
    const pid_t child = fork(); // a writer that is gone once waited for
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string dead = folder / (".PrinterTest.prt.tmp" + std::to_string(child) + "-1"),
                      live = folder / (".PrinterTest.prt.tmp" + std::to_string(getpid()) + "-1");
    WriteBytes(dead, "a writer gone");
    WriteBytes(live, "a writer at work");
    UnixTextFiles files;
    files.Open(path, Mode::Output, 1);
    files.Print(1, "A", false);
    files.Print(1, "B", true);
    EXPECT_EQ(ReadBytes(path), "old\r\n") << "nothing half-written is ever seen";
    files.Close(1);
    EXPECT_EQ(ReadBytes(path), "AB\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_EQ(folder.Entries(), 2u) << "the live writer's file alone is left";
    fs::create_symlink(path, folder / "link");
    EXPECT_EQ(AtomicFileWriter().Begin(folder / "link"), ELOOP) << "a link is told as a link";
}

// PATH holds the test's own folder alone: a real wine installed never takes part.
class DriveC : public testing::Test {
protected:
    // Writes what the shell word say expands to into file, whole once it is seen.
    static void WriteProgram(const std::string& path, const std::string& say,
                             const std::string& file) {
        fs::create_directories(fs::path(path).parent_path());
        WriteBytes(path, "#!/bin/sh\necho " + say + " >" + file + ".tmp; /bin/mv " + file +
                             ".tmp " + file + "\n");
        chmod(path.c_str(), 0755);
    }
    static std::string WaitFor(const std::string& file) {
        for (int i = 0; i < 200 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        return ReadBytes(file);
    }

    ScratchFolder drive, bin;
    ScopedEnv driveC{"PAPYRA_DRIVE_C", drive.path().c_str()}, path{"PATH", bin.path().c_str()};
};

TEST_F(DriveC, LauncherStartsProgramsDetachedAndWindowsOnesMaximizedThroughWineOrTellsWhyNot) {
    WriteBytes(drive / "plain.exe", "#!/bin/sh\n");
    WriteBytes(drive / "windows.exe", "MZ");
    WriteBytes(drive / "broken.exe", "#!/nonexistent/interpreter\n");
    chmod((drive / "broken.exe").c_str(), 0755);
    // No wine on PATH yet; exec finds no interpreter for broken.exe.
    const std::pair<const char*, int> failures[] = {{"C:\\missing.exe", 53},
                                                    {"C:\\plain.exe", 70},
                                                    {"C:\\windows.exe", 70},
                                                    {"C:\\broken.exe", 53}};
    for (const auto& [program, number] : failures) {
        const std::string path = program; // clang 14 cannot capture a structured binding
        EXPECT_EQ(FailureOf([&] { UnixLauncher().Launch(path); }).number, number) << program;
    }
    // The folder and file differ in case from the Windows path, as on a copied installation.
    WriteProgram(drive / "Harvex96/HARVEX.EXE", "\"$PPID $#\"", drive / "native");
    UnixLauncher().Launch("C:\\harvex96\\harvex.exe");
    const std::string native = WaitFor(drive / "native");
    ASSERT_FALSE(native.empty()) << "the program never ran";
    EXPECT_NE(std::stoi(native), getpid()) << "not our child";
    EXPECT_EQ(native.substr(native.find(' ')), " 0\n") << "no arguments";
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left to reap";
    WriteProgram(bin / "wine", "\"$@\"", drive / "wine-args");
    UnixLauncher().Launch("C:\\windows.exe");
    EXPECT_EQ(WaitFor(drive / "wine-args"), "start /max /unix " + drive / "windows.exe\n");
}

TEST_F(DriveC, WindowsPathsResolveBelowItMatchingCaseLikeWindows) {
    fs::create_directories(drive / "Harvex96/Data");
    WriteBytes(drive / "Harvex96/HARVEX.INI", "");
    const std::pair<std::string, std::string> cases[] = {
        {"\\Harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
        {"c:/HARVEX96/data/", drive / "Harvex96/Data/"},
        {"D:\\HARVEX96\\new.ini", drive / "Harvex96/new.ini"},
        {"\\harvex96\\Missing\\New.INI", drive / "Harvex96/Missing/New.INI"},
        {drive / "harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"}, // native folder + name
    };
    for (const auto& [windows, native] : cases)
        EXPECT_EQ(NativePath(windows), native) << windows;
}

} // namespace
