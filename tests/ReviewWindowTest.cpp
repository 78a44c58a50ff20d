// The review window of SETUP mode on the fakes: its set-up, the four lines' rule, "Adjust
// Settings", "OK" and the window's look.
#include "WindowTestSupport.h"

#include "startup/Main.h"
#include "ui/Design.h"
#include "ui/Form2.h"

#include <QLabel>
#include <QPushButton>

#include <gmock/gmock.h>

using namespace papyra;
using namespace papyra::fakes;
using namespace papyra::test;

namespace {

// A printer that reports an orientation other than portrait or landscape, whatever it is told.
class OddOrientationPrinter : public FakePrinter {
public:
    using FakePrinter::FakePrinter;
    int16_t Orientation() override { return 3; }
};

class ReviewWindow : public testing::Test, public WindowWorld {
protected:
    ReviewWindow() { world.printers.current = 0; }
    Form2& Open() {
        forms.OpenReviewWindow();
        Form2* window = forms.ReviewWindow();
        if (!window) throw std::runtime_error("no review window");
        return *window;
    }
    std::vector<std::string> Lines(Form2& window) {
        std::vector<std::string> lines;
        for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
            lines.push_back(Find<QLabel>(window, name)->text().toStdString());
        return lines;
    }
};

TEST_F(ReviewWindow, IsLaidOutAsDesigned) {
    Form2 window(program);
    const int dpi = window.logicalDpiX();
    auto rect = [dpi](int l, int t, int w, int h) {
        return QRect(TwipsToPixels(l, dpi), TwipsToPixels(t, dpi), TwipsToPixels(w, dpi),
                     TwipsToPixels(h, dpi));
    };
    EXPECT_EQ(window.windowTitle(), "");
    EXPECT_EQ(window.size(), QSize(TwipsToPixels(5985, dpi), TwipsToPixels(2490, dpi)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    for (int i = 0; i < 4; ++i) {
        auto* line = Find<QLabel>(window, ("Label" + std::to_string(i + 1)).c_str());
        EXPECT_EQ(line->text(), "Label1");
        EXPECT_EQ(line->geometry(), rect(120, 120 + 360 * i, 4455, 255));
    }
    struct Button {
        const char *name, *caption;
        QRect place;
    };
    for (const Button& b : {Button{"Command1", "Adjust Settings", rect(120, 2040, 2055, 375)},
                            Button{"Command2", "OK", rect(2400, 2040, 2055, 375)},
                            Button{"Command3", "Print Test Page", rect(120, 1560, 2055, 375)}}) {
        auto* button = Find<QPushButton>(window, b.name);
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->geometry(), b.place);
    }
    auto* test = Find<QPushButton>(window, "Command3");
    EXPECT_EQ(test->toolTip(), "Click Here to Print a Test Page to Verify Printer Settings");
    window.show();
    EXPECT_FALSE(test->isVisible()) << "never visible";
}

TEST_F(ReviewWindow, SetUpTakesTheDialogsOrientationAndShowsTheFourLines) {
    Printer(0).paperSize = 9;
    Printer(0).copies = 0;
    world.dialogs.dialogResult = {2, 5, true}; // even a discarded dialog gives its orientation
    Form2& window = Open();
    EXPECT_EQ(world.dialogs.dialogTitles, std::vector<std::string>{"Harvex Printer Setup"});
    EXPECT_EQ(Printer(0).orientation, 2);
    EXPECT_EQ(Lines(window), (std::vector<std::string>{
                                 "Harvex Printer: Office Laser", "Orientation: Landscape",
                                 "Multiple Copies Not Supported by Printer", "Paper Size: 9"}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(world.dialogs.boxes.empty());
}

struct AdjustCase {
    const char* name;
    PrinterDialogResult chosen;
    int printerCopies;
    std::vector<std::string> lines;
    int orientation, copies; // the printer's afterwards
};

class Adjust : public ReviewWindow, public testing::WithParamInterface<AdjustCase> {};

TEST_P(Adjust, AppliesTheDialogAndRewritesTheLines) {
    const AdjustCase& c = GetParam();
    Printer(0).copies = c.printerCopies;
    world.dialogs.dialogResult = {1, 1, false};
    Form2& window = Open();
    world.dialogs.dialogResult = c.chosen;
    Click(window, "Command1");
    EXPECT_FALSE(HandlerEnded());
    EXPECT_EQ(Lines(window), c.lines);
    EXPECT_EQ(Printer(0).orientation, c.orientation);
    EXPECT_EQ(Printer(0).copies, c.copies);
    EXPECT_FALSE(Printer(0).trackDefault);
    EXPECT_EQ(world.dialogs.dialogTitles.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    ReviewWindow, Adjust,
    testing::Values(AdjustCase{"Landscape",
                               {2, 3, false},
                               1,
                               {"Harvex Printer: Office Laser", "Orientation: Landscape",
                                "Copies: 3", "Paper Size: 9"},
                               2,
                               3},
                    AdjustCase{"CopiesNotSupported",
                               {1, 4, false},
                               0,
                               {"Harvex Printer: Office Laser", "Orientation: Portrait",
                                "Multiple Copies Not Supported by Printer", "Paper Size: 9"},
                               1,
                               0},
                    AdjustCase{"Discarded",
                               {2, 4, true},
                               1,
                               {"Harvex Printer: Office Laser", "Orientation: Portrait",
                                "Copies: 1", "Paper Size: 9"},
                               1,
                               1}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReviewWindow, DiscardedSaysSoAndNothingElse) {
    world.dialogs.dialogResult = {1, 1, false};
    Form2& window = Open();
    world.dialogs.dialogResult = {2, 7, true};
    Click(window, "Command1");
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "Settings Discarded");
    EXPECT_EQ(world.dialogs.boxes[0].buttons, MsgButtons::OK);
    EXPECT_EQ(world.dialogs.boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt);
}

TEST_F(ReviewWindow, AnOddOrientationLeavesItsLine) {
    world.printers.items[0] = std::make_unique<OddOrientationPrinter>("Odd", "LPT3:");
    world.dialogs.dialogResult = {2, 1, false};
    Form2& window = Open();
    EXPECT_EQ(Lines(window)[1], "Label1") << "set-up leaves the initial caption";
    Click(window, "Command1");
    EXPECT_EQ(Lines(window)[0], "Harvex Printer: Odd");
    EXPECT_EQ(Lines(window)[1], "Label1");
}

TEST_F(ReviewWindow, OkPrintsTheFileTheWholeCommandLineNames) {
    world.process.commandLine = "SETUP x P";
    program.state.CommandArgs = {"SETUP", "x", "P"};
    program.state.PageOrientation = "P";
    program.state.LineBuf.assign(83, "");
    program.state.LineHeight = 190;
    world.files.contents["SETUP x P"] = "printed from the window\r\n";
    Form2& window = Open();
    Click(window, "Command2");
    EXPECT_FALSE(HandlerEnded());
    EXPECT_EQ(Printer(0).documentName, "SETUP x P");
    ASSERT_FALSE(Printer(0).PageRows().empty());
    EXPECT_EQ(Printer(0).PageRows()[0].begin()->second, "printed from the window");
    EXPECT_TRUE(window.isVisible()) << "OK does not close the window";

    world.files.contents.clear();
    Click(window, "Command2");
    EXPECT_TRUE(HandlerEnded());
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "File not found");
    EXPECT_FALSE(window.isVisible()) << "the program ended";
}

TEST_F(ReviewWindow, AFailingPrinterShowsTheRunTimeErrorReport) {
    world.dialogs.dialogResult = {1, 1, false};
    Form2& window = Open();
    Printer(0).failing = {"SetOrientation"};
    Click(window, "Command1");
    EXPECT_TRUE(HandlerEnded());
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "Run-time error '482':\n\nPrinter error");
    EXPECT_EQ(world.process.ends, 1);
}

TEST_F(ReviewWindow, SetupModeWithoutADisplayEnds) {
    forms.SetHeadlessCheck([] { return true; });
    testing::internal::CaptureStderr();
    EXPECT_THROW(forms.OpenReviewWindow(), ProgramEnd);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                testing::HasSubstr("SETUP needs a display"));
    EXPECT_TRUE(world.dialogs.dialogTitles.empty()) << "no dialog nobody could answer";
    EXPECT_EQ(forms.ReviewWindow(), nullptr);
}

TEST_F(ReviewWindow, MainInSetupModeOpensTheWindowAndLooksForHarvex) {
    world.process.commandLine = "SETUP x L";
    world.dialogs.dialogResult = {2, 1, false};
    for (bool harvexOpen : {true, false}) {
        world.windows.titles.clear();
        if (harvexOpen) world.windows.titles.insert("Harvex");
        Main(program, MainPass::Again);
        EXPECT_EQ(program.state.HostNotRunning, !harvexOpen);
        ASSERT_NE(forms.ReviewWindow(), nullptr);
        EXPECT_TRUE(forms.ReviewWindow()->isVisible());
        EXPECT_EQ(Lines(*forms.ReviewWindow())[1], "Orientation: Landscape");
    }
    // A closed window is unloaded; the next reference loads a fresh one.
    Form2* first = forms.ReviewWindow();
    first->close();
    forms.OpenReviewWindow();
    EXPECT_NE(forms.ReviewWindow(), first);
}

} // namespace
