#include "platform/unix/AtomicFile.h"
#include "support/ScratchFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
}

TEST(AtomicFile, AWriteFailingHalfWayLeavesTheOldFileWhole) {
    ScratchFolder folder;
    std::string path = folder / "profile.ini", old(100000, 'o');
    WriteBytes(path, old);
    // A file-size limit stops the write part-way: with the signal ignored the write fails with
    // EFBIG; with the default action the writer is killed on the spot.
    for (bool ignoreSignal : {true, false}) {
        pid_t child = fork();
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
        EXPECT_TRUE(ReadBytes(path) == old) << ignoreSignal;
        // Only the killed writer may leave its temporary file behind.
        EXPECT_EQ(folder.Entries(), ignoreSignal ? 1u : 2u);
    }
}
