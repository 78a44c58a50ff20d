// No job is lost without a word, and no file outside Papyra's own is touched: each way a job
// could vanish or a stray file be written, tried on the real thing (a private cupsd, real files,
// signals, another user).
#include "integration/Harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace papyra::test;
namespace fs = std::filesystem;

namespace {

const std::string SetupOffer = "Papyra: Bad file name or number\n";
const std::string SetupQuestion = "Printer Setup Required: You must set up a harvex printer\n";

std::string Report(int lines) {
    std::string report;
    for (int i = 0; i < lines; ++i)
        report += "Line " + std::to_string(i) + " of a report long enough to take a while\r\n";
    return report;
}

// The log's last line.
std::string Logged(const Papyra& papyra) {
    const std::string log = ReadFile(papyra.Root() + "/home/.local/state/papyra/papyra.log");
    const size_t end = log.find_last_not_of('\n');
    return end == std::string::npos ? "" : log.substr(log.rfind('\n', end) + 1);
}

// Staged documents and temporary files anywhere in the world, which must all be gone.
std::vector<std::string> Leftovers(const Papyra& papyra) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(papyra.Root())) {
        const std::string name = entry.path().filename();
        if (name.find(".part") != std::string::npos || name.find(".tmp") != std::string::npos)
            found.push_back(entry.path());
    }
    return found;
}

class NoJobLost : public ::testing::Test {
protected:
    void SetUp() override {
        cups.Queue("laser", Ppd + "laser.ppd");
        cups.Queue("tractor", Ppd + "tractor.ppd");
        papyra.Use(cups);
    }
    Cups cups;
    Papyra papyra;
};

TEST_F(NoJobLost, AQueueThatTakesNoJobsOffersSetupOnEveryPath) {
    const std::string report = papyra.Write("r.prt", "line\r\n");
    const struct {
        const char* queue;
        const char* state; // cupsdisable or cupsreject
        std::vector<std::string> words;
    } cases[] = {
        {"laser", "cupsreject", {report, "x", "P"}},
        {"laser", "cupsdisable", {"TEST", "L"}},
        {"tractor", "cupsreject", {report, "x", "P"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.queue) + " " + c.state + " " + c.words[0]);
        papyra.Configure(c.queue);
        cups.Lp({c.state, c.queue});
        const Outcome outcome = papyra.Run(c.words);
        cups.Lp({c.state == std::string("cupsreject") ? "cupsaccept" : "cupsenable", c.queue});
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.err.find(SetupOffer), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(SetupQuestion), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("papyra: run-time error 52 (Bad file name or number): queue " +
                                   std::string(c.queue)),
                  std::string::npos)
            << "names what failed";
        EXPECT_FALSE(fs::exists(cups.Captured(c.queue)));
        EXPECT_NE(Logged(papyra).find("\"outcome\":\"failed\",\"error\":52"), std::string::npos);
    }
}

TEST_F(NoJobLost, ASpoolerThatDiesOrFreezesWhileThePagesAreDrawnIsTold) {
    const std::string report =
        papyra.Write("long.prt", Report(160000)); // ~2000 pages: time to stop it
    papyra.Configure("laser");
    for (int signal : {SIGSTOP, SIGKILL}) {
        SCOPED_TRACE(signal == SIGSTOP ? "frozen" : "killed");
        const pid_t pid = papyra.Start({report, "x", "P"});
        // Once the document is staged it has started, and the queue took it then: the spooler
        // goes while the pages are drawn.
        ASSERT_TRUE(Eventually([&] { return !Leftovers(papyra).empty(); })) << "nothing staged";
        cups.Signal(signal);
        const Outcome outcome = papyra.Wait(pid, "run", std::chrono::seconds(30));
        cups.Signal(SIGCONT);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.err.find("Papyra: Device unavailable\n"), std::string::npos)
            << outcome.err;
        EXPECT_EQ(Leftovers(papyra), std::vector<std::string>{});
        if (signal == SIGKILL) break;
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
    EXPECT_NE(Logged(papyra).find("\"error\":61,\"text\":\"Disk full\""), std::string::npos);
}

TEST_F(NoJobLost, LinksAndFilesThatAreNoFilesAreRefusedAndLeftAlone) {
    papyra.Configure("Papyra PDF");
    const std::string target = papyra.Write("elsewhere/target", "untouched");
    const std::string program = papyra.Program();
    const struct {
        const char* file;
        std::vector<std::string> words;
    } links[] = {{"RNTME.INI", {"UPDATE", "x", "P"}}, {"PrinterTest.prt", {"TEST", "P"}}};
    for (const auto& c : links) {
        SCOPED_TRACE(c.file);
        fs::create_symlink(target, program + "/" + c.file);
        const Outcome outcome = papyra.Run(c.words);
        EXPECT_EQ(outcome.exitCode, 2) << "a silent end, as for any file that cannot be written";
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(fs::is_symlink(program + "/" + c.file));
        EXPECT_EQ(ReadFile(target), "untouched");
        EXPECT_NE(Logged(papyra).find("\"error\":75"), std::string::npos);
        fs::remove(program + "/" + c.file);
    }
    // A FIFO would hold open() for ever, and with it the lock every later job needs.
    const std::string fifo = papyra.Root() + "/fifo.prt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Outcome outcome = papyra.Run({fifo, "x", "P"}, std::chrono::seconds(20));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err.substr(0, 31), "Papyra: Path/File access error\n");
    ASSERT_EQ(mkfifo((program + "/RNTME.INI").c_str(), 0600), 0);
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}, std::chrono::seconds(20)).exitCode, 2);
}

TEST_F(NoJobLost, TemporaryFilesGoOnSignalsAndAfterAKilledWriter) {
    papyra.Configure("laser");
    const std::string report = papyra.Write("long.prt", Report(160000));
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        const pid_t pid = papyra.Start({report, "x", "P"});
        ASSERT_TRUE(Eventually([&] { return !Leftovers(papyra).empty(); }));
        kill(pid, signal);
        papyra.Wait(pid);
        EXPECT_EQ(Leftovers(papyra), std::vector<std::string>{});
    }
    // A profile write killed outright leaves its temporary file; the next write removes it once
    // the process that made it is gone, and leaves a live writer's alone.
    const std::string dead = papyra.Program() + "/.RNTME.INI.tmp999999-1";
    const std::string live = papyra.Program() + "/.RNTME.INI.tmp" + std::to_string(getpid()) + "-1";
    WriteFile(dead, "half");
    WriteFile(live, "busy");
    papyra.Configure("Papyra PDF");
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
}

TEST(NoJobLostToAnotherUser, ALockFolderSomeoneElseMadeDropsNoJob) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    const int victim = 65534, attacker = 1; // nobody, daemon
    Papyra papyra;
    papyra.Configure("Papyra PDF");
    papyra.user = victim;
    papyra.env["XDG_RUNTIME_DIR"] = ""; // the private folder below TMPDIR, then
    const std::string tmp = papyra.Root() + "/tmp";
    fs::create_directory(tmp);
    papyra.env["TMPDIR"] = tmp;
    fs::permissions(papyra.Root(), fs::perms(0755));
    for (const char* sub : {"program", "pdf", "home", "logs"})
        fs::permissions(papyra.Root() + "/" + sub, fs::perms(0777));
    fs::permissions(tmp, fs::perms(01777));
    // The attacker takes the victim's private folder name first: as a folder of their own, with
    // the lock held, and as a link into a folder of theirs.
    const std::string claimed = tmp + "/papyra-" + std::to_string(victim);
    const std::string own = tmp + "/attacker";
    fs::create_directory(own);
    chown(own.c_str(), attacker, attacker);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt == 0 ? "their folder" : "a link to it");
        const std::string folder = attempt == 0 ? claimed : own;
        if (attempt == 0)
            fs::create_directory(claimed);
        else
            fs::create_directory_symlink(own, claimed);
        chown(folder.c_str(), attacker, attacker);
        WriteFile(folder + "/papyra.lock", "");
        chown((folder + "/papyra.lock").c_str(), attacker, attacker);
        const std::string holder = Shell("flock -x " + Quoted(folder + "/papyra.lock") +
                                         " sleep 60 >/dev/null & printf %s $!");
        const Outcome outcome = papyra.Run({"TEST", "P"});
        Shell("pkill -P " + holder + "; kill " + holder);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(papyra.Pdfs().size(), size_t(attempt + 1)) << "the job printed all the same";
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1)
            << "nothing created where they chose";
        fs::remove_all(claimed);
    }
}

} // namespace
