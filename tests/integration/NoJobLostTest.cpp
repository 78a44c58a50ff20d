// No job is lost without a word, and no file outside Papyra's own is touched: each way a job
// could vanish or a stray file be written, tried on the real thing (a private cupsd, real files,
// signals, another user).
#include "support/Harness.h"

#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace papyra::test;

namespace {

std::vector<std::string> Leftovers(const Papyra& papyra) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(papyra.Root()))
        if (Has(entry.path().filename(), ".part") || Has(entry.path().filename(), ".tmp"))
            found.push_back(entry.path());
    return found;
}

class NoJobLost : public ::testing::Test {
protected:
    void SetUp() override {
        cups.Queue("laser", "laser.ppd");
        cups.Queue("tractor", "tractor.ppd");
        papyra.Use(cups);
    }
    Cups cups;
    Papyra papyra;
};

TEST_F(NoJobLost, AQueueThatTakesNoJobsOffersSetupOnEveryPath) {
    const std::string report = papyra.Write("r.prt", "line\r\n");
    const struct {
        const char *queue, *state, *again;
        std::vector<std::string> words;
    } cases[] = {
        {"laser", "cupsreject", "cupsaccept", {report, "x", "P"}},
        {"laser", "cupsdisable", "cupsenable", {"TEST", "L"}},
        {"tractor", "cupsreject", "cupsaccept", {report, "x", "P"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.queue) + " " + c.state + " " + c.words[0]);
        papyra.Configure(c.queue);
        cups.Lp({c.state, c.queue});
        const Outcome outcome = papyra.Run(c.words);
        cups.Lp({c.again, c.queue});
        EXPECT_EQ(outcome.exitCode, 1);
        for (const std::string& told : std::vector<std::string>{
                 "Papyra: Bad file name or number\n",
                 "Printer Setup Required: You must set up a harvex printer\n",
                 "papyra: run-time error 52 (Bad file name or number): queue " +
                     std::string(c.queue)})
            EXPECT_TRUE(Has(outcome.err, told)) << outcome.err;
        EXPECT_FALSE(fs::exists(cups.Captured(c.queue)));
        EXPECT_TRUE(Has(papyra.LastLogged(), "\"outcome\":\"failed\",\"error\":52"));
    }
}

// A signal to papyra, or to the spooler, while the pages of a long report (~2000 pages) are
// drawn: once the document is staged it has started, and the queue took it then.
TEST_F(NoJobLost, AJobCutShortByASignalIsToldAndLeavesNoStagedFile) {
    std::string lines;
    for (int i = 0; i < 160000; ++i)
        lines += "Line " + std::to_string(i) + " of a report long enough to take a while\r\n";
    const std::string report = papyra.Write("long.prt", lines);
    papyra.Configure("laser");
    const struct {
        int signal;
        bool toSpooler;
    } cases[] = {
        {SIGTERM, false}, {SIGHUP, false}, {SIGINT, false}, {SIGSTOP, true}, {SIGKILL, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.toSpooler ? "spooler " : "papyra ") + strsignal(c.signal));
        const pid_t pid = papyra.Start({report, "x", "P"});
        ASSERT_TRUE(Eventually([&] { return !Leftovers(papyra).empty(); })) << "nothing staged";
        c.toSpooler ? cups.Signal(c.signal) : void(kill(pid, c.signal));
        // Drawing the whole report before the end can take minutes under the sanitizers.
        const Outcome outcome = papyra.Wait(pid, 180s);
        cups.Signal(SIGCONT);
        if (c.toSpooler) {
            EXPECT_EQ(outcome.exitCode, 1);
            EXPECT_TRUE(Has(outcome.err, "Papyra: Device unavailable\n")) << outcome.err;
        }
        EXPECT_EQ(Leftovers(papyra), std::vector<std::string>{});
    }
}

TEST_F(NoJobLost, AFullDiskAtTheDocumentsEndIsToldAndLeavesNothing) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string small = papyra.Root() + "/small";
    fs::create_directory(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=4k") != 0)
        GTEST_SKIP() << "this machine does not allow a tmpfs mount: " << strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};
    papyra.Configure("Papyra PDF");
    papyra.env["PAPYRA_PDF_DIR"] = small;
    // A page this short is held whole until the document ends: the disk fills then.
    const Outcome outcome = papyra.Run({papyra.Write("r.prt", "one line\r\n"), "x", "P"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err.rfind("Papyra: Disk full\n", 0), 0u) << outcome.err;
    EXPECT_TRUE(fs::is_empty(small));
    EXPECT_TRUE(Has(papyra.LastLogged(), "\"error\":61,\"text\":\"Disk full\""));
}

TEST_F(NoJobLost, LinksAndFilesThatAreNoFilesAreRefusedAndLeftAlone) {
    papyra.Configure("Papyra PDF");
    const std::string target = papyra.Write("elsewhere/target", "untouched");
    const struct {
        std::string file;
        std::vector<std::string> words;
    } links[] = {{papyra.Program() + "/RNTME.INI", {"UPDATE", "x", "P"}},
                 {papyra.Program() + "/PrinterTest.prt", {"TEST", "P"}}};
    for (const auto& c : links) {
        SCOPED_TRACE(c.file);
        fs::create_symlink(target, c.file);
        const Outcome outcome = papyra.Run(c.words);
        EXPECT_EQ(outcome.exitCode, 2) << "a silent end, as for any file that cannot be written";
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(fs::is_symlink(c.file));
        EXPECT_EQ(ReadBytes(target), "untouched");
        EXPECT_TRUE(Has(papyra.LastLogged(), "\"error\":75"));
        fs::remove(c.file);
    }
    // A FIFO would hold open() for ever, and with it the lock every later job needs.
    const std::string fifo = papyra.Root() + "/fifo.prt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Outcome outcome = papyra.Run({fifo, "x", "P"}, 20s);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err.substr(0, 31), "Papyra: Path/File access error\n");
    ASSERT_EQ(mkfifo(links[0].file.c_str(), 0600), 0);
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}, 20s).exitCode, 2);
}

TEST(NoJobLostToAnotherUser, ALockFolderSomeoneElseMadeDropsNoJob) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    const int victim = 65534, attacker = 1; // nobody, daemon
    Papyra papyra;
    papyra.Configure("Papyra PDF");
    papyra.user = victim;
    const std::string tmp = papyra.Root() + "/tmp";
    papyra.env["XDG_RUNTIME_DIR"] = ""; // the private folder below TMPDIR, then
    papyra.env["TMPDIR"] = tmp;
    for (const char* sub : {"", "/program", "/pdf", "/home", "/logs", "/tmp", "/attacker"}) {
        fs::create_directories(papyra.Root() + sub);
        fs::permissions(papyra.Root() + sub, fs::perms(*sub ? 01777 : 0755));
    }
    // The attacker takes the victim's private folder name first: as a folder of their own, with
    // the lock held, and as a link into a folder of theirs.
    const std::string claimed = tmp + "/papyra-" + std::to_string(victim);
    const std::string own = papyra.Root() + "/attacker";
    for (const std::string& folder : {claimed, own}) {
        SCOPED_TRACE(folder == claimed ? "their folder" : "a link to it");
        if (folder == claimed)
            fs::create_directory(claimed);
        else
            fs::create_directory_symlink(own, claimed);
        WriteBytes(folder + "/papyra.lock", "");
        for (const std::string& path : {folder, folder + "/papyra.lock"})
            chown(path.c_str(), attacker, attacker);
        const Outcome outcome = [&] {
            const LockHolder theirs(folder + "/papyra.lock");
            return papyra.Run({"TEST", "P"});
        }();
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(papyra.Pdfs().size(), folder == claimed ? 1u : 2u) << "printed all the same";
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1)
            << "nothing created where they chose";
        fs::remove_all(claimed);
    }
}

} // namespace
