// Starting programs for real: native and Windows executables, detached and never waited for.
#include "platform/unix/UnixLauncher.h"

#include "platform/RuntimeError.h"
#include "support/ScratchFolder.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

namespace {

void WriteProgram(const std::string& path, const std::string& text, bool executable = true) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBytes(path, text);
    chmod(path.c_str(), executable ? 0755 : 0644);
}

// The file a started program writes, once it is there and complete.
std::string WaitFor(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        std::string text = ReadBytes(path);
        if (!text.empty() && text.back() == '\n') return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return "";
}

int LaunchError(const std::string& path) {
    try {
        UnixLauncher().Launch(path);
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

// PATH holds the test's own folder alone: what the machine has installed (a real wine, say)
// never takes part, and the started programs name their tools by full path.
class Launcher : public testing::Test {
protected:
    void SetUp() override {
        setenv("PAPYRA_DRIVE_C", drive.path().c_str(), 1);
        setenv("PATH", bin.path().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PAPYRA_DRIVE_C");
        setenv("PATH", path.c_str(), 1);
    }
    ScratchFolder drive, bin;
    std::string path = std::getenv("PATH");
};

TEST_F(Launcher, StartsANativeProgramDetachedAndLeavesNoChild) {
    const std::string mark = drive / "started";
    // The folder and file differ in case from the Windows path, as on a copied installation.
    WriteProgram(drive / "Harvex96/HARVEX.EXE", "#!/bin/sh\necho \"$PPID $#\" > " + mark +
                                                    ".tmp && /bin/mv " + mark + ".tmp " + mark +
                                                    "\n");
    UnixLauncher().Launch("C:\\harvex96\\harvex.exe");
    const std::string started = WaitFor(mark);
    ASSERT_FALSE(started.empty()) << "the program never ran";
    EXPECT_NE(std::stoi(started), getpid()) << "not our child";
    EXPECT_EQ(started.substr(started.rfind(' ') + 1), "0\n") << "no arguments";
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left to reap";
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(Launcher, RunsAWindowsProgramMaximizedThroughWine) {
    const std::string args = drive / "wine-args";
    WriteProgram(bin / "wine", "#!/bin/sh\necho \"$@\" > " + args + ".tmp && /bin/mv " + args +
                                   ".tmp " + args + "\n");
    WriteProgram(drive / "harvex96/harvex.exe", "MZ\x90\0not really", false);
    UnixLauncher().Launch("C:\\harvex96\\harvex.exe");
    EXPECT_EQ(WaitFor(args), "start /max /unix " + drive.path() + "/harvex96/harvex.exe\n");
}

TEST_F(Launcher, ReportsWhatCannotBeStarted) {
    EXPECT_EQ(LaunchError("C:\\harvex96\\harvex.exe"), 53) << "missing";
    std::filesystem::create_directories(drive / "harvex96/folder.exe");
    EXPECT_EQ(LaunchError("C:\\harvex96\\folder.exe"), 53) << "a folder is no program";
    WriteProgram(drive / "harvex96/plain.exe", "#!/bin/sh\n", false);
    EXPECT_EQ(LaunchError("C:\\harvex96\\plain.exe"), 70) << "not executable";
    WriteProgram(drive / "harvex96/win.exe", "MZ", false);
    EXPECT_EQ(LaunchError("C:\\harvex96\\win.exe"), 70) << "no wine on PATH";
    WriteProgram(drive / "harvex96/broken.exe", "#!/nonexistent/interpreter\n");
    EXPECT_EQ(LaunchError("C:\\harvex96\\broken.exe"), 53) << "exec finds no interpreter";
}

} // namespace
