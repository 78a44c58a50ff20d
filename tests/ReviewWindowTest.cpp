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

const char* const kNoCopies = "Multiple Copies Not Supported by Printer";

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
        if (!forms.ReviewWindow()) throw std::runtime_error("no review window");
        return *forms.ReviewWindow();
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
    const std::tuple<const char*, const char*, QRect> controls[] = {
        {"Label1", "Label1", rect(120, 120, 4455, 255)},
        {"Label2", "Label1", rect(120, 480, 4455, 255)},
        {"Label3", "Label1", rect(120, 840, 4455, 255)},
        {"Label4", "Label1", rect(120, 1200, 4455, 255)},
        {"Command1", "Adjust Settings", rect(120, 2040, 2055, 375)},
        {"Command2", "OK", rect(2400, 2040, 2055, 375)},
        {"Command3", "Print Test Page", rect(120, 1560, 2055, 375)}};
    for (const auto& [name, caption, place] : controls) {
        QWidget* control = Find<QWidget>(window, name);
        EXPECT_EQ(control->property("text").toString(), caption) << name;
        EXPECT_EQ(control->geometry(), place) << name;
    }
    auto* test = Find<QPushButton>(window, "Command3");
    EXPECT_EQ(test->toolTip(), "Click Here to Print a Test Page to Verify Printer Settings");
    window.show();
    EXPECT_FALSE(test->isVisible()) << "never visible";
}

TEST_F(ReviewWindow, SetUpAndAdjustSettingsApplyTheDialogAndRewriteTheLines) {
    Printer(0).paperSize = 9;
    Printer(0).copies = 0;
    world.dialogs.dialogResult = {2, 5, true}; // even a discarded dialog gives its orientation
    Form2& window = Open();
    EXPECT_EQ(world.dialogs.dialogTitles, std::vector<std::string>{"Harvex Printer Setup"});
    EXPECT_EQ(Printer(0).orientation, 2);
    EXPECT_EQ(Lines(window),
              (std::vector<std::string>{"Harvex Printer: Office Laser", "Orientation: Landscape",
                                        kNoCopies, "Paper Size: 9"}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(world.dialogs.boxes.empty());

    struct Case {
        PrinterDialogResult chosen;
        int printerCopies; // -1: as the case before left it
        const char *orientationLine, *copiesLine;
        int orientation, copies; // the printer's afterwards
    } cases[] = {
        {{1, 3, false}, 1, "Orientation: Portrait", "Copies: 3", 1, 3},
        {{2, 4, true}, -1, "Orientation: Portrait", "Copies: 3", 1, 3}, // discarded: no change
        {{2, 4, false}, 0, "Orientation: Landscape", kNoCopies, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printerCopies);
        world.dialogs.boxes.clear();
        if (c.printerCopies >= 0) Printer(0).copies = c.printerCopies;
        world.dialogs.dialogResult = c.chosen;
        Click(window, "Command1");
        EXPECT_FALSE(HandlerEnded());
        EXPECT_EQ(Lines(window),
                  (std::vector<std::string>{"Harvex Printer: Office Laser", c.orientationLine,
                                            c.copiesLine, "Paper Size: 9"}));
        EXPECT_EQ(Printer(0).orientation, c.orientation);
        EXPECT_EQ(Printer(0).copies, c.copies);
        EXPECT_FALSE(Printer(0).trackDefault);
        if (!c.chosen.discarded) {
            EXPECT_TRUE(world.dialogs.boxes.empty());
            continue;
        }
        ASSERT_EQ(world.dialogs.boxes.size(), 1u);
        EXPECT_EQ(world.dialogs.boxes[0].text, "Settings Discarded");
        EXPECT_EQ(world.dialogs.boxes[0].buttons, MsgButtons::OK);
        EXPECT_EQ(world.dialogs.boxes[0].icon, MsgIcon::None);
        EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt);
    }
    EXPECT_EQ(world.dialogs.dialogTitles.size(), 4u);
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

TEST_F(ReviewWindow, MainInSetupModeOpensTheWindowAndAClosedOneIsLoadedAfresh) {
    world.process.commandLine = "SETUP x L";
    world.dialogs.dialogResult = {2, 1, false};
    Main(program, MainPass::Again);
    Form2* first = forms.ReviewWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Lines(*first)[1], "Orientation: Landscape");
    first->close();
    forms.OpenReviewWindow();
    EXPECT_NE(forms.ReviewWindow(), first);
}

} // namespace
