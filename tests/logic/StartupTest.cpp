// Main and the whole run on the fakes: the command line, the single instance, dispatch, the
// silent end, the exit status and the job log's record.
#include "fakes/FakePlatform.h"
#include "startup/Main.h"
#include "startup/Run.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

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
    const auto& events = world.printers.CurrentFake().events;
    EXPECT_EQ(world.printers.CurrentFake().orientation, 1);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const DrawEvent& e) { return e.kind == DrawEvent::LineEnd; }),
              64);
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

TEST(Main, UpdateWritesTheTwelveKeysWithThePrintersOwnCodesAndEndsAfterTheLayout) {
    World world;
    world.printers.CurrentFake().quality = -3;
    EXPECT_TRUE(world.RunMain("UPDATE x L"));
    EXPECT_EQ(world.profile.files["C:\\Papyra\\RNTME.INI"],
              "[Printer]\r\nPaperSize=A4, 210 x 297 mm\r\nSize=9\r\nOrientation=Portrait\r\n"
              "Orient=1\r\nPaperSource=(Default) Use paper from the current default bin.\r\n"
              "Source=7\r\nPrinterCopies=1\r\nCopies=1\r\nColorMode=Color Printing\r\nColor=2\r\n"
              "PrintQuality=Medium Quality\r\nQuality=-3\r\n")
        << "recorded before the layout turns the page to the command line's L";
    EXPECT_EQ(world.printers.CurrentFake().orientation, 2) << "the layout still ran";
    EXPECT_EQ(world.process.lastStatus, ExitStatus::Done);
    World readOnly;
    readOnly.profile.readOnly = {"C:\\Papyra\\RNTME.INI"};
    EXPECT_TRUE(readOnly.RunMain("UPDATE x L"));
    EXPECT_EQ(readOnly.process.lastStatus, ExitStatus::EndedSilently) << "nothing was recorded";
    EXPECT_TRUE(readOnly.dialogs.boxes.empty());
}

TEST(Run, EndsWithTheStatusOfTheRunRecordsItOnceAndRunsNoLoopWithoutAWindow) {
    World world;
    world.process.commandLine = "missing.prt x P";
    FakeToolkit toolkit;
    EXPECT_EQ(RunProgram(world.platform, toolkit), 1);
    ASSERT_EQ(world.journal.records.size(), 1u);
    EXPECT_EQ(world.journal.records[0].error, 53);
    EXPECT_EQ(toolkit.loops, 0);
}

} // namespace
