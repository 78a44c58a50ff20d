// Main on the fakes: the command line, the single instance, dispatch and the silent end.
#include "fakes/FakePlatform.h"
#include "startup/Main.h"

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

struct Outcome {
    const char* name;
    std::string commandLine;
    bool printed;            // a document was ended with something drawn
    std::string orientation; // PageOrientation afterwards ("" when never set)
};

class Dispatch : public testing::TestWithParam<Outcome> {};

TEST_P(Dispatch, PrintsOrEndsSilently) {
    World world;
    world.files.contents["a.prt"] = "hello\r\n";
    world.files.contents["test"] = "lower-case test is a file\r\n";
    EXPECT_TRUE(world.RunMain(GetParam().commandLine));
    EXPECT_EQ(world.printers.CurrentFake().documents, GetParam().printed ? 1 : 0);
    EXPECT_TRUE(world.dialogs.boxes.empty());
    EXPECT_EQ(world.program.state.PageOrientation, GetParam().orientation);
}

INSTANTIATE_TEST_SUITE_P(Main, Dispatch,
                         testing::Values(Outcome{"ReportPortrait", "a.prt x P", true, "P"},
                                         Outcome{"TwoSpacesShiftWords", "a.prt  P", true, "P"},
                                         Outcome{"MiddleWordMissing", "a.prt P", false, ""},
                                         Outcome{"TestLandscape", "TEST L", true, "L"},
                                         Outcome{"TestAlone", "TEST", false, ""},
                                         Outcome{"LowerCaseTestIsAFile", "test x L", true, "L"},
                                         Outcome{"EmptyLine", "", false, ""}),
                         [](const auto& info) { return info.param.name; });

TEST(Main, WaitsHalfASecondInTwipsBeforeAnything) {
    World world;
    world.files.contents["a.prt"] = "x\r\n";
    world.RunMain("a.prt x P");
    EXPECT_EQ(world.process.sleeps, std::vector<int>{500});
    EXPECT_EQ(world.program.state.ProfilePath, "C:\\Papyra\\RNTME.INI");
}

TEST(Main, SecondInstanceEndsBeforeTouchingThePrinter) {
    World world;
    world.process.otherInstance = true;
    world.files.contents["a.prt"] = "x\r\n";
    EXPECT_TRUE(world.RunMain("a.prt x P"));
    EXPECT_TRUE(world.printers.selections.empty());
    EXPECT_EQ(world.printers.CurrentFake().documents, 0);
}

TEST(Main, OrientationOtherThanPOrLIsPortraitLayoutButLandscapeEngine) {
    World world;
    world.files.contents["a.prt"] = "x\r\n";
    world.RunMain("a.prt x Q");
    FakePrinter& printer = world.printers.CurrentFake();
    EXPECT_EQ(printer.orientation, 1);
    EXPECT_EQ(world.program.state.LineBuf.size(), 83u);
    int lineEnds = 0;
    for (const DrawEvent& e : printer.events)
        lineEnds += e.kind == DrawEvent::LineEnd;
    EXPECT_EQ(lineEnds, 64) << "the engine draws a 65-line page";
}

TEST(Main, FailureUnderMainEndsWithoutAMessage) {
    World world;
    world.printers.CurrentFake().failing = {"SetOrientation"};
    world.files.contents["a.prt"] = "x\r\n";
    EXPECT_TRUE(world.RunMain("a.prt x P"));
    EXPECT_TRUE(world.dialogs.boxes.empty());
    EXPECT_EQ(world.printers.CurrentFake().documents, 0);
}

TEST(Main, SetupModeLooksForHarvexAndOpensTheReviewWindow) {
    for (bool harvexRunning : {true, false}) {
        World world;
        if (harvexRunning) world.windows.titles = {"Harvex"};
        EXPECT_FALSE(world.RunMain("SETUP x L")) << "the program lives on in the window";
        EXPECT_EQ(world.forms.reviewOpened, 1);
        EXPECT_EQ(world.program.state.HostNotRunning, !harvexRunning);
    }
}

TEST(Main, UpdateModeWritesTheProfileAndEndsAfterTheLayout) {
    World world;
    EXPECT_TRUE(world.RunMain("UPDATE x L"));
    EXPECT_EQ(world.profile.writes.size(), 12u);
    EXPECT_EQ(world.printers.CurrentFake().orientation, 2) << "the layout still ran";
    EXPECT_EQ(world.program.state.LineBuf.size(), 67u);
}

} // namespace
