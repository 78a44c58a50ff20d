#include "platform/unix/AtomicFile.h"
#include "ScratchFolder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

TEST(AtomicFile, ReplacesTheFileKeepingItsModeAndFollowingLinks) {
    ScratchFolder folder;
    std::string real = folder / "real.ini", link = folder / "link.ini";
    WriteBytes(real, "old");
    chmod(real.c_str(), 0604);
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(ReplaceFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0604));

    mode_t old = umask(022);
    ASSERT_TRUE(ReplaceFileAtomically(folder / "fresh.ini", "x"));
    umask(old);
    EXPECT_EQ(std::filesystem::status(folder / "fresh.ini").permissions(),
              std::filesystem::perms(0644));
}

TEST(AtomicFile, AWriteFailingHalfWayLeavesTheOldFileWhole) {
    ScratchFolder folder;
    std::string path = folder / "profile.ini";
    std::string old(100000, 'o');
    WriteBytes(path, old);
    const std::string large(8 << 20, 'n');
    // A file-size limit stops the write part-way: once with the signal ignored, so the write
    // fails with EFBIG, and once with the default action, which kills the writer outright.
    for (bool ignoreSignal : {true, false}) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rlimit limit{1 << 20, 1 << 20};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
            _exit(ReplaceFileAtomically(path, large) ? 0 : 3);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (ignoreSignal)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        EXPECT_TRUE(ReadBytes(path) == old) << ignoreSignal;
    }
    // Only the killed writer could leave its temporary file behind; the failed one cleaned up.
    EXPECT_LE(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}
