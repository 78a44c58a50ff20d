// What each event of the setup window, the review window and the printer dialog does, on the
// fakes, whatever toolkit draws them; and the window-event failure style.
#include "fakes/FakePlatform.h"
#include "ui/WindowHandler.h"
#include "ui/WindowSet.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace papyra;
using namespace papyra::fakes;

namespace {

// A program with its windows on the fake toolkit, a laser and a dot-matrix printer installed.
struct Desk {
    World world;
    FakeToolkit toolkit;
    WindowSet windows{toolkit};
    Program program{world.platform, windows, {}, {}, {}};
    FakePrinter& laser = world.printers.CurrentFake();
    FakePrinter& tractor = world.printers.Add("Dot Matrix", "LPT2:");

    Desk() {
        windows.Attach(program);
        program.state.ProfilePath = "C:\\Papyra\\RNTME.INI";
        program.state.PageOrientation = "P";
        program.state.LineBuf.assign(83, "");
        tractor.paperBin = 8;
    }
    // Shows the setup window with the user's script; whether the program ended.
    bool ShowSetup(std::function<void(Form1&, FakeForm1View&)> user) {
        toolkit.user = std::move(user);
        try {
            windows.ShowSetupWindowModal();
        } catch (const ProgramEnd&) {
            return true;
        }
        return false;
    }
};

struct WindowsTest : testing::Test, Desk {};

TEST_F(WindowsTest, SetupWindowShowsAPicksKindClosingSavesNothingAndCancelEnds) {
    program.state.HostNotRunning = true;
    laser.paperBin = 14; // a cassette: only bin 8 is the tractor
    ShowSetup([&](Form1& form, FakeForm1View& view) {
        EXPECT_EQ(view.listed, (std::vector<std::string>{"Laser", "Dot Matrix"}));
        EXPECT_TRUE(view.hostWarning);
        EXPECT_EQ(view.banner, "Label1") << "nothing picked for the user";
        EXPECT_EQ(form.SelectedPosition(), -1);
        form.Picked(1);
        EXPECT_EQ(view.portLine, "Connected to: LPT2:");
        EXPECT_EQ(view.driverLine, "Driver Name: Fake Driver");
        EXPECT_EQ(view.banner, "Dot-Matrix Printer");
        EXPECT_TRUE(view.codeSetFrame);
        EXPECT_EQ(view.tractorFeed, true);
        form.Picked(0);
        EXPECT_EQ(view.banner, "Laser / Inkjet Printer");
        EXPECT_FALSE(view.codeSetFrame);
        EXPECT_EQ(view.tractorFeed, false);
        EXPECT_EQ(world.printers.current, 0);
        form.Typed(); // typing over the list is no pick: the lines and the printer stay
        EXPECT_EQ(form.SelectedPosition(), -1);
        EXPECT_EQ(view.banner, "Laser / Inkjet Printer");
        view.unloaded = true; // the frame's close command
    });
    EXPECT_TRUE(world.profile.writes.empty() && world.settings.saved.empty()) << "closed: no save";
    EXPECT_TRUE(ShowSetup([](Form1& form, FakeForm1View&) { form.CancelClicked(); }));
    EXPECT_EQ(world.process.lastStatus, ExitStatus::Failed);
}

TEST_F(WindowsTest, OkSavesInOrderStartsHarvexUnlessItRunsAndUnloads) {
    const struct {
        bool harvexWindow, hostNotRunning, ibm, typed;
        bool launched;
        std::string codeSet, device;
    } cases[] = {
        {true, false, true, false, false, "I", "1"},
        {false, false, false, false, true, "E", "1"},
        {true, true, false, true, true, "E", "-1"},
    };
    for (const auto& c : cases) {
        Desk t;
        if (c.harvexWindow) t.world.windows.titles = {"Harvex"};
        t.program.state.HostNotRunning = c.hostNotRunning;
        const bool ended = t.ShowSetup([&](Form1& form, FakeForm1View& view) {
            form.Picked(1);
            view.ibm = c.ibm;
            if (c.typed) form.Typed();
            form.OkClicked();
            EXPECT_TRUE(view.unloaded);
        });
        EXPECT_FALSE(ended);
        EXPECT_EQ(t.world.settings.saved["Papyra/Printer/Device"], "Dot Matrix On LPT2:");
        std::string writes;
        for (const auto& w : t.world.profile.writes)
            writes += w.file + "[" + w.section + "]" + w.key + "=" + w.value + " ";
        EXPECT_EQ(writes, "C:\\Papyra\\RNTME.INI[Printer]Device=" + c.device +
                              " C:\\Papyra\\RNTME.INI[Printer]DeviceName=Dot Matrix"
                              " C:\\Papyra\\RNTME.INI[Printer]Port=LPT2:"
                              " \\Harvex96\\harvex.ini[Settings]PrinterCodeSet=" +
                              c.codeSet + " ");
        EXPECT_EQ(t.world.launcher.launched.size(), c.launched ? 1u : 0u);
    }
}

TEST_F(WindowsTest, AFailingEventShowsTheStandardReportAndEndsTheProgram) {
    world.launcher.missing = true;
    EXPECT_TRUE(ShowSetup([](Form1& form, FakeForm1View&) { form.OkClicked(); }));
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "Run-time error '53':\n\nFile not found");
    EXPECT_EQ(world.dialogs.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(world.process.lastStatus, ExitStatus::Failed);
    EXPECT_EQ(toolkit.left, 1) << "every window closes, every loop returns";

    // Whatever is thrown, the report names a run-time error; one the platform told is not told
    // twice.
    RuntimeError told(61);
    told.reported = true;
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { (void)std::vector<int>().at(1); }, "Run-time error '9':\n\nSubscript out of range"},
        {[] { throw std::runtime_error("queue gone"); }, "Run-time error '482':\n\nqueue gone"},
        {[] { throw 42; }, "Run-time error '51':\n\nInternal error"},
        {[] { throw std::bad_alloc(); }, "Run-time error '7':\n\nOut of memory"},
        {[&] { throw told; }, nullptr},
    };
    for (const auto& [handler, report] : cases) {
        World w;
        RunWindowHandler(w.program, handler);
        ASSERT_TRUE(w.program.pendingEnd);
        EXPECT_THROW(RethrowPendingEnd(w.program), ProgramEnd);
        EXPECT_FALSE(w.program.pendingEnd) << "carried on once";
        EXPECT_EQ(w.dialogs.boxes.empty() ? "" : w.dialogs.boxes[0].text, report ? report : "");
        EXPECT_EQ(w.journal.told.size(), 1u);
    }
}

TEST_F(WindowsTest, TheSetupWindowIsShownOnceAtATimeAndNeverWithoutADisplay) {
    ShowSetup([&](Form1&, FakeForm1View& view) {
        EXPECT_THROW(windows.ShowSetupWindowModal(), RuntimeError) << "already on screen";
        view.unloaded = true;
    });
    toolkit.display = false;
    EXPECT_TRUE(ShowSetup({}));
    EXPECT_EQ(world.journal.told,
              std::vector<std::string>{"Papyra: the printer setup window needs a display"});
}

TEST_F(WindowsTest, PrinterTestPrintsTheSetupPageAndEndsItsJobAtOnce) {
    ShowSetup([&](Form1& form, FakeForm1View& view) {
        form.PrinterTestClicked();
        view.unloaded = true;
    });
    EXPECT_EQ(world.files.contents["C:\\Papyra\\PrinterTest.prt"].substr(0, 29),
              "Harvex Data System Print Test");
    EXPECT_EQ(laser.documents, 1);
}

TEST_F(WindowsTest, ReviewWindowShowsThePrinterAndAdjustsOrientationAndCopies) {
    laser.orientation = 2;
    world.dialogs.dialogResult = {1, 3, false};
    windows.OpenReviewWindow();
    FakeForm2View& view = *toolkit.review;
    EXPECT_EQ(world.dialogs.dialogTitles, std::vector<std::string>{"Harvex Printer Setup"});
    EXPECT_EQ(laser.orientation, 1) << "the dialog's orientation";
    EXPECT_EQ(view.lines[1], "Harvex Printer: Laser");
    EXPECT_EQ(view.lines[2], "Orientation: Portrait");
    EXPECT_EQ(view.lines[3], "Copies: 1") << "the setup takes no copies from the dialog";
    EXPECT_EQ(view.lines[4], "Paper Size: 9");
    EXPECT_EQ(view.shown, 1);

    Form2& form = *windows.ReviewWindow();
    world.dialogs.dialogResult = {2, 3, true}; // cancelled
    form.AdjustSettingsClicked();
    EXPECT_EQ(world.dialogs.boxes.at(0).text, "Settings Discarded");
    EXPECT_EQ(laser.orientation, 1);
    EXPECT_FALSE(laser.trackDefault);
    world.dialogs.dialogResult = {2, 3, false};
    form.AdjustSettingsClicked();
    EXPECT_EQ(view.lines[2], "Orientation: Landscape");
    EXPECT_EQ(view.lines[3], "Copies: 3");
    laser.copies = 0;      // several copies not supported: the dialog's are not taken
    laser.orientation = 7; // nor is a code that is neither portrait nor landscape shown
    world.dialogs.dialogResult = {2, 5, false};
    form.WriteLines();
    EXPECT_EQ(view.lines[2], "Orientation: Landscape");
    EXPECT_EQ(view.lines[3], "Multiple Copies Not Supported by Printer");
    form.AdjustSettingsClicked();
    EXPECT_EQ(laser.copies, 0);
}

TEST_F(WindowsTest, ReviewOkPrintsTheFileTheWholeCommandLineNamesAndEndsItsDocument) {
    world.process.commandLine = "C:\\r.prt  x";
    world.files.contents["C:\\r.prt  x"] = "report\r\n";
    windows.OpenReviewWindow();
    windows.ReviewWindow()->OkClicked();
    EXPECT_EQ(laser.documents, 1) << "the pages leave while the window stays open";
    EXPECT_EQ(laser.PageRows().at(0).begin()->second, "report");
}

} // namespace
