// Main and the whole run on the fakes: the command line, the single instance, dispatch, the
// silent end, the exit status and the job log's record.
#include "fakes/FakePlatform.h"
#include "startup/Main.h"
#include "startup/Run.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

TEST(CommandLine, SplitsAtEverySingleSpaceKeepingEmptyWords) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine(""), Words{});
    EXPECT_EQ(SplitCommandLine("TEST"), Words{"TEST"});
    EXPECT_EQ(SplitCommandLine("a.prt  P"), (Words{"a.prt", "", "P"}));
    EXPECT_EQ(SplitCommandLine(" a "), (Words{"", "a", ""}));
}

TEST(Main, DispatchesEachCommandLineOrEndsSilentlyWithItsStatus) {
    const struct {
        const char* commandLine;
        int documents;           // documents ended with something drawn
        std::string orientation; // PageOrientation afterwards
        size_t lineBuf;          // LineBuf's slots afterwards
        ExitStatus status;
    } cases[] = {
        {"a.prt x P", 1, "P", 83, ExitStatus::Done},
        {"a.prt  P", 1, "P", 83, ExitStatus::Done},  // two blanks: an empty middle word
        {"a.prt x Q", 1, "Q", 83, ExitStatus::Done}, // portrait layout, landscape engine
        {"a.prt P", 0, "", 0, ExitStatus::EndedSilently},
        {"TEST L", 1, "L", 67, ExitStatus::Done},
        {"TEST", 0, "", 0, ExitStatus::EndedSilently},
        {"test x L", 1, "L", 67, ExitStatus::Done}, // lower case: a file's name
        {"", 0, "", 0, ExitStatus::EndedSilently},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        World world;
        world.files.contents["a.prt"] = "hello\r\n";
        world.files.contents["test"] = "a file\r\n";
        EXPECT_TRUE(world.RunMain(c.commandLine));
        EXPECT_EQ(world.process.lastStatus, c.status);
        EXPECT_EQ(world.printers.CurrentFake().documents, c.documents);
        EXPECT_TRUE(world.dialogs.boxes.empty());
        EXPECT_TRUE(world.journal.told.empty()) << "a silent end says nothing on stderr either";
        EXPECT_EQ(world.program.state.PageOrientation, c.orientation);
        EXPECT_EQ(world.program.state.LineBuf.size(), c.lineBuf);
        if (c.documents) {
            EXPECT_EQ(world.process.sleeps, std::vector<int>{500});
        }
    }
    // "Q" lays out portrait (orientation 1, 112 columns) while the engine draws 65 lines.
    World world;
    world.files.contents["a.prt"] = "x\r\n";
    world.RunMain("a.prt x Q");
    EXPECT_EQ(world.printers.CurrentFake().orientation, 1);
    int lineEnds = 0;
    for (const DrawEvent& e : world.printers.CurrentFake().events)
        lineEnds += e.kind == DrawEvent::LineEnd;
    EXPECT_EQ(lineEnds, 64);
}

TEST(Main, FailuresUnderItEndSilentlyAndASecondInstanceTouchesNothing) {
    World failing;
    failing.printers.CurrentFake().failing = {"SetOrientation"};
    failing.files.contents["a.prt"] = "x\r\n";
    EXPECT_TRUE(failing.RunMain("a.prt x P"));
    EXPECT_EQ(failing.process.lastStatus, ExitStatus::EndedSilently);
    EXPECT_TRUE(failing.dialogs.boxes.empty());
    EXPECT_EQ(failing.program.job.error, 482) << "the log knows why";

    World second;
    second.process.otherInstance = true;
    EXPECT_TRUE(second.RunMain("a.prt x P"));
    EXPECT_EQ(second.process.lastStatus, ExitStatus::AnotherRunning);
    EXPECT_TRUE(second.printers.selections.empty());
}

TEST(Main, EachPassStartsFromTheTopAndSetsTheModuleStateAfresh) {
    World world;
    world.RunMain("SETUP x L");
    EXPECT_EQ(world.forms.reviewOpened, 1);
    EXPECT_TRUE(world.program.state.HostNotRunning) << "no Harvex window";
    EXPECT_EQ(world.program.state.ProfilePath, "C:\\Papyra\\RNTME.INI");
    // A later pass in the same process (after the setup window) finds Harvex running now, and
    // the registry naming another printer.
    world.windows.titles = {"Harvex"};
    world.printers.Add("Office", "USB1");
    world.registry.SetString("DeviceName", "Office");
    world.process.otherInstance = true; // only other processes are refused, and only at first
    Main(world.program, MainPass::Again);
    EXPECT_FALSE(world.program.state.HostNotRunning);
    EXPECT_EQ(world.printers.current, 1);
    EXPECT_EQ(world.process.sleeps.size(), 2u);
}

TEST(Main, UpdateWritesTheProfileAfterChoosingAndEndsAfterTheLayout) {
    World world;
    EXPECT_TRUE(world.RunMain("UPDATE x L"));
    EXPECT_EQ(world.profile.writes.size(), 12u);
    EXPECT_EQ(world.printers.CurrentFake().orientation, 2) << "the layout still ran";
    EXPECT_EQ(world.process.lastStatus, ExitStatus::Done);
    World readOnly;
    readOnly.profile.readOnly = {"C:\\Papyra\\RNTME.INI"};
    EXPECT_TRUE(readOnly.RunMain("UPDATE x L"));
    EXPECT_EQ(readOnly.process.lastStatus, ExitStatus::EndedSilently) << "nothing was recorded";
    EXPECT_TRUE(readOnly.dialogs.boxes.empty());
}

TEST(Run, EndsWithTheStatusOfTheRunAndRecordsItOnce) {
    const struct {
        const char* commandLine;
        const char* outcome;
        int status, error;
    } cases[] = {
        {"a.prt x P", "done", 0, 0},
        {"missing.prt x P", "failed", 1, 53},
        {"a.prt P", "ended", 2, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        World world;
        world.files.contents["a.prt"] = "hello\r\n";
        world.process.commandLine = c.commandLine;
        FakeToolkit toolkit;
        EXPECT_EQ(RunProgram(world.platform, toolkit), c.status);
        ASSERT_EQ(world.journal.records.size(), 1u);
        const JobEntry& entry = world.journal.records[0];
        EXPECT_EQ(entry.outcome, c.outcome);
        EXPECT_EQ(entry.error, c.error);
        EXPECT_EQ(entry.printer, c.status == 2 ? "" : "Laser") << "known once it is chosen";
        const std::string line = c.commandLine;
        EXPECT_EQ(entry.report, line.substr(0, line.find(' ')));
        EXPECT_EQ(toolkit.loops, 0) << "no window, no event loop";
    }
}

} // namespace
