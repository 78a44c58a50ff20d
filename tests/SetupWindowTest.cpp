// The setup window on the fakes: its controls, picks, typing, the code set, saving, starting
// Harvex, Cancel, the frame's close command and the run-time error report.
#include "WindowTestSupport.h"

#include "printer/SetupPrinter.h"
#include "startup/Main.h"
#include "ui/Design.h"

#include <gmock/gmock.h>

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

using namespace papyra;
using namespace papyra::fakes;
using namespace papyra::test;

namespace {

struct ControlRow {
    const char *name, *className, *container;
    int left, top, width, height;
    const char* caption; // "" for no caption to check
    const char* toolTip;
};

const ControlRow Controls[] = {
    {"Combo1", "QComboBox", "Form1", 120, 240, 3855, 315, "Combo1", "Select Printer from Dropdown"},
    {"Label1", "QLabel", "Form1", 4080, 120, 3735, 255, "Label1", ""},
    {"Command1", "QPushButton", "Form1", 5040, 2040, 1815, 495, "Printer Test",
     "Click here to print a Test Document"},
    {"Command2", "QPushButton", "Form1", 4080, 3480, 1815, 495, "&Cancel", ""},
    {"Command3", "QPushButton", "Form1", 6030, 3480, 1815, 495, "&OK", ""},
    {"Frame5", "QGroupBox", "Form1", 4080, 480, 3735, 1095, "Report Scaling", ""},
    {"VScroll1", "QScrollBar", "Frame5", 1680, 360, 255, 255, "", ""},
    {"Text1", "QLineEdit", "Frame5", 1200, 360, 495, 285, "0",
     "Adjust Scaling Percentage by clicking buttons to the right"},
    {"Label2", "QLabel", "Frame5", 240, 360, 1095, 255, "Scale Factor", ""},
    {"Frame6", "QGroupBox", "Form1", 4080, 480, 3735, 1095, "Dot-Matrix Code Set", ""},
    {"Option9", "QRadioButton", "Frame6", 240, 360, 1455, 255, "IBM", ""},
    {"Option10", "QRadioButton", "Frame6", 1920, 360, 1575, 255, "Epson", ""},
    {"Label3", "QLabel", "Form1", 120, 960, 3735, 255, "Label3", "Selected Printer Port"},
    {"Label4", "QLabel", "Form1", 120, 1320, 3735, 255, "Label4", "Printer Driver Name"},
    {"Label5", "QLabel", "Form1", 120, 0, 2535, 255, "Available Printers", ""},
    {"Label6", "QLabel", "Frame5", 240, 720, 3255, 255, "Sample Report Text", ""},
    {"Frame1", "QGroupBox", "Form1", 120, 1800, 4335, 1095, "Printer Paper Source", ""},
    {"Option1", "QPushButton", "Frame1", 360, 360, 1695, 450, "Sheet Feed",
     "Select this option if you are using a Laser or Inkjet Printer"},
    {"Option2", "QPushButton", "Frame1", 2280, 360, 1695, 450, "Tractor Feed",
     "Select this option if you are using a Dot-Matrix Printer"},
    {"Label7", "QLabel", "Form1", 150, 3150, 3795, 735,
     "You must save printer settings before running Harvex.", ""},
};

QString Caption(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    return {};
}

class SetupWindow : public testing::Test, public WindowWorld {
protected:
    Form1& Open() {
        form = std::make_unique<Form1>(program);
        form->show();
        return *form;
    }
    QString Text(const char* name) { return Caption(Find<QWidget>(*form, name)); }
    bool Shown(const char* name) { return !Find<QWidget>(*form, name)->isHidden(); }
    bool Checked(const char* name) { return Find<QAbstractButton>(*form, name)->isChecked(); }
    std::vector<std::string> Written() {
        std::vector<std::string> values;
        for (const FakeProfile::Write& w : world.profile.writes)
            values.push_back(w.value);
        return values;
    }

    std::unique_ptr<Form1> form;
};

TEST_F(SetupWindow, LooksAsDesigned) {
    Form1& window = Open();
    const int dpi = window.logicalDpiX();
    EXPECT_EQ(window.windowTitle(), "Harvex Printer Setup");
    EXPECT_EQ(window.size(), QSize(TwipsToPixels(8100, dpi), TwipsToPixels(4110, dpi)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "not resizable";
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(row.name);
        QWidget* control = Find<QWidget>(window, row.name);
        EXPECT_STREQ(control->metaObject()->className(), row.className);
        EXPECT_EQ(control->parentWidget()->objectName(), row.container);
        EXPECT_EQ(control->geometry(),
                  QRect(TwipsToPixels(row.left, dpi), TwipsToPixels(row.top, dpi),
                        TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi)));
        if (*row.caption) {
            EXPECT_EQ(Caption(control), row.caption);
        }
        EXPECT_EQ(control->toolTip(), row.toolTip);
    }

    auto* spin = Find<QScrollBar>(window, "VScroll1");
    EXPECT_EQ(std::tuple(spin->orientation(), spin->maximum(), spin->value()),
              std::tuple(Qt::Vertical, 30, 0));

    std::vector<std::string> order;
    QWidget* widget = Find<QWidget>(window, "Combo1");
    do {
        const std::string name = widget->objectName().toStdString();
        if (!qobject_cast<QComboBox*>(widget->parentWidget()) &&
            (widget->focusPolicy() & Qt::TabFocus) &&
            std::find(order.begin(), order.end(), name) == order.end())
            order.push_back(name);
        widget = widget->nextInFocusChain();
    } while (widget != Find<QWidget>(window, "Combo1"));
    EXPECT_EQ(order,
              (std::vector<std::string>{"Combo1", "Command1", "Command2", "Command3", "VScroll1",
                                        "Text1", "Option9", "Option10", "Option1", "Option2"}));
}

TEST_F(SetupWindow, OpensWithEveryPrinterListedAndNothingPicked) {
    for (bool hostNotRunning : {false, true}) {
        SCOPED_TRACE(hostNotRunning);
        program.state.HostNotRunning = hostNotRunning;
        Open();
        auto* combo = Find<QComboBox>(*form, "Combo1");
        ASSERT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), "Office Laser");
        EXPECT_EQ(combo->itemText(1), "Epson LQ");
        EXPECT_EQ(combo->currentIndex(), -1);
        EXPECT_TRUE(combo->isEditable());
        EXPECT_EQ(form->SelectedPosition(), -1);
        EXPECT_TRUE(Shown("Frame5") && Shown("Frame6"));
        for (const char* option : {"Option1", "Option2", "Option9", "Option10"})
            EXPECT_FALSE(Checked(option)) << option;
        EXPECT_EQ(Shown("Label7"), hostNotRunning);
        // The warning stays as the window's creation left it.
        Pick(*form, 1);
        EXPECT_EQ(Shown("Label7"), hostNotRunning);
        EXPECT_EQ(world.printers.current, 1);
    }
}

TEST_F(SetupWindow, APickShowsThePrinterAndItsKindAndNothingElseDoes) {
    Open();
    // The scaling controls and the options change only themselves.
    auto* spin = Find<QScrollBar>(*form, "VScroll1");
    const QFont sampleFont = Find<QLabel>(*form, "Label6")->font();
    for (int i = 0; i < 40; ++i)
        spin->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(spin->value(), -30);
    EXPECT_EQ(Text("Text1"), "0");
    EXPECT_EQ(Find<QLabel>(*form, "Label6")->font(), sampleFont);
    Click(*form, "Option10");
    EXPECT_TRUE(Checked("Option10"));
    EXPECT_EQ(Text("Label1"), "Label1");
    EXPECT_TRUE(world.printers.selections.empty());

    struct Case {
        int position;
        const char *banner, *port, *driver, *shownFrame, *hiddenFrame, *option, *other;
    };
    const Case laser = {0,
                        "Laser / Inkjet Printer",
                        "Connected to: LPT1:",
                        "Driver Name: Fake Driver",
                        "Frame5",
                        "Frame6",
                        "Option1",
                        "Option2"};
    const Case dotMatrix = {1,
                            "Dot-Matrix Printer",
                            "Connected to: LPT2:",
                            "Driver Name: Epson ESC/P",
                            "Frame6",
                            "Frame5",
                            "Option2",
                            "Option1"};
    std::vector<int> made;
    for (const Case& c : {dotMatrix, laser, laser}) { // the entry already selected is a pick too
        SCOPED_TRACE(c.position);
        Click(*form, c.other);
        EXPECT_FALSE(Checked(c.option)) << "the options are exclusive";
        Pick(*form, c.position);
        made.push_back(c.position);
        EXPECT_EQ(world.printers.selections, made);
        EXPECT_EQ(Text("Label1"), c.banner);
        EXPECT_EQ(Text("Label3"), c.port);
        EXPECT_EQ(Text("Label4"), c.driver);
        EXPECT_TRUE(Shown(c.shownFrame));
        EXPECT_FALSE(Shown(c.hiddenFrame));
        EXPECT_TRUE(Checked(c.option));
        EXPECT_EQ(form->SelectedPosition(), c.position);
    }
}

TEST_F(SetupWindow, TypingIsNoPick) {
    Open();
    Pick(*form, 1);
    Type(*form, "Anything");
    EXPECT_EQ(Find<QComboBox>(*form, "Combo1")->currentText(), "Epson LQAnything");
    EXPECT_EQ(Find<QComboBox>(*form, "Combo1")->count(), 2) << "typing adds no entry";
    EXPECT_EQ(form->SelectedPosition(), -1);
    EXPECT_EQ(Text("Label3"), "Connected to: LPT2:");
    Click(*form, "Command3");
    EXPECT_FALSE(HandlerEnded());
    EXPECT_EQ(Written(), (std::vector<std::string>{"-1", "Epson LQ", "LPT2:", "E"}))
        << "the printer of the last pick";
    EXPECT_EQ(world.printers.selections, std::vector<int>{1}) << "no position to return to";
}

TEST_F(SetupWindow, OkSavesTheChoiceInOrderWithTheCodeSetIbmOnlyWhenIbmIsSelected) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{}, "E"},
        {{"Option9"}, "I"},
        {{"Option10"}, "E"},
        {{"Option10", "Option9"}, "I"},
        {{"Option9", "Option10"}, "E"}};
    const std::string profile = "C:\\Papyra\\RNTME.INI", host = "\\Harvex96\\harvex.ini";
    for (const auto& [clicks, codeSet] : cases) {
        SCOPED_TRACE(clicks.size());
        world.profile.writes.clear();
        world.printers.selections.clear();
        Open();
        Pick(*form, 1);
        for (const char* option : clicks)
            Click(*form, option);
        Pick(*form, 0); // a laser printer hides the code set but keeps it
        EXPECT_FALSE(Shown("Frame6"));
        Click(*form, "Command3");
        EXPECT_FALSE(HandlerEnded());
        EXPECT_EQ(world.settings.saved, (std::map<std::string, std::string>{
                                            {"Papyra/Printer/Device", "Office Laser On LPT1:"}}));
        const std::vector<std::array<std::string, 4>> expected = {
            {profile, "Printer", "Device", "0"},
            {profile, "Printer", "DeviceName", "Office Laser"},
            {profile, "Printer", "Port", "LPT1:"},
            {host, "Settings", "PrinterCodeSet", codeSet},
        };
        ASSERT_EQ(world.profile.writes.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const FakeProfile::Write& w = world.profile.writes[i];
            EXPECT_EQ((std::array{w.file, w.section, w.key, w.value}), expected[i]);
        }
        EXPECT_EQ(world.printers.selections, (std::vector<int>{1, 0, 0}))
            << "made current once more";
        EXPECT_FALSE(form->isVisible()) << "unloaded";
    }
}

TEST_F(SetupWindow, OkStartsHarvexUnlessItRunsAndWasRunning) {
    struct Case {
        bool windowOpen, hostNotRunning, started;
    };
    for (Case c : {Case{true, false, false}, Case{false, false, true}, Case{true, true, true},
                   Case{false, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.windowOpen << c.hostNotRunning);
        world.launcher.launched.clear();
        world.windows.titles = {"Harvex "}; // near misses never count
        if (c.windowOpen) world.windows.titles.insert("Harvex");
        program.state.HostNotRunning = c.hostNotRunning;
        Open();
        Click(*form, "Command3");
        EXPECT_FALSE(HandlerEnded());
        EXPECT_EQ(world.launcher.launched,
                  c.started ? std::vector<std::string>{"C:\\harvex96\\harvex.exe"}
                            : std::vector<std::string>{});
    }
}

TEST_F(SetupWindow, CancelEndsWithoutSavingAndCloseSavesNothing) {
    Open();
    Pick(*form, 1);
    Click(*form, "Option9");
    bool unloaded = false;
    QObject::connect(form.get(), &Form1::Unloaded, [&] { unloaded = true; });
    form->close(); // the frame's close command
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(HandlerEnded());
    EXPECT_EQ(world.process.ends, 0);

    Open();
    Pick(*form, 0);
    Click(*form, "Command2");
    EXPECT_TRUE(HandlerEnded());
    EXPECT_EQ(world.process.ends, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(world.settings.saved.empty());
    EXPECT_TRUE(world.profile.writes.empty());
    EXPECT_TRUE(world.launcher.launched.empty());
    EXPECT_TRUE(world.dialogs.boxes.empty());
}

TEST_F(SetupWindow, FailuresShowTheRunTimeErrorReportAndEnd) {
    struct Case {
        std::function<void(SetupWindow&)> arrange;
        const char* button; // nullptr: a pick of the second printer
        const char* report;
    };
    const Case cases[] = {
        {[](SetupWindow& t) { t.world.launcher.missing = true; }, "Command3",
         "Run-time error '53':\n\nFile not found"},
        {[](SetupWindow& t) { t.Printer(1).failing = {"PaperBin"}; }, nullptr,
         "Run-time error '482':\n\nPrinter error"},
        {[](SetupWindow& t) { t.world.files.errorOnOpen["C:\\Papyra\\PrinterTest.prt"] = 70; },
         "Command1", "Run-time error '70':\n\nPermission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        world.dialogs.boxes.clear();
        world.process.ends = 0;
        c.arrange(*this);
        Open();
        c.button ? Click(*form, c.button) : Pick(*form, 1);
        EXPECT_TRUE(HandlerEnded());
        EXPECT_EQ(world.process.ends, 1);
        ASSERT_EQ(world.dialogs.boxes.size(), 1u);
        EXPECT_EQ(world.dialogs.boxes[0].text, c.report);
        EXPECT_EQ(world.dialogs.boxes[0].buttons, MsgButtons::OK);
        EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt) << "the program's title";
        EXPECT_FALSE(form->isVisible());
    }
    // Stores written before the failed start stay written.
    EXPECT_EQ(world.settings.saved.size(), 1u);
}

TEST_F(SetupWindow, PrinterTestPrintsTheSetupPageAndEndsTheJob) {
    program.state.CommandArgs = {"a.prt", "x", "P"};
    program.state.PageOrientation = "P";
    SetupPrinter(program); // as start-up left the page before the failed job
    Open();
    Pick(*form, 0);
    Click(*form, "Command1");
    EXPECT_FALSE(HandlerEnded());
    const std::string path = "C:\\Papyra\\PrinterTest.prt";
    ASSERT_TRUE(world.files.contents.count(path));
    EXPECT_EQ(Printer(0).documentName, path);
    EXPECT_EQ(Printer(0).documents, 1) << "released to the spooler at once";
    EXPECT_FALSE(Printer(0).PageRows().empty());
    EXPECT_TRUE(form->isVisible());
}

// --- the modal display through QtForms ------------------------------------------------------

TEST(SetupWindowModal, ReturnsWhenUnloadedLoadsAfreshAndRefusesASecondShow) {
    WindowWorld w;
    int number = 0;
    EXPECT_FALSE(RunSetupWindow(w.forms, [&](Form1& window) {
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.isModal());
        try {
            w.forms.ShowSetupWindowModal();
        } catch (const RuntimeError& e) {
            number = e.number;
        }
        Pick(window, 1);
        Click(window, "Command3");
    }));
    EXPECT_EQ(number, 400) << "shown again while on screen";
    EXPECT_EQ(w.forms.SetupWindow(), nullptr) << "unloaded";
    EXPECT_EQ(w.world.profile.writes.size(), 4u);

    EXPECT_FALSE(RunSetupWindow(w.forms, [](Form1& window) {
        EXPECT_EQ(Find<QComboBox>(window, "Combo1")->currentText(), "Combo1");
        window.close();
    }));
    EXPECT_EQ(w.world.profile.writes.size(), 4u) << "closing saves nothing";

    EXPECT_TRUE(RunSetupWindow(w.forms, [](Form1& window) { Click(window, "Command2"); }));
    EXPECT_EQ(w.forms.SetupWindow(), nullptr);
    EXPECT_EQ(PendingProgramEnd(), std::nullopt) << "Cancel's end carried on, not left behind";
}

TEST(SetupWindowModal, WithoutADisplayOrAListablePrinterEndsInsteadOfWaiting) {
    WindowWorld w;
    w.forms.SetHeadlessCheck([] { return true; });
    testing::internal::CaptureStderr();
    EXPECT_THROW(w.forms.ShowSetupWindowModal(), ProgramEnd);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("needs a display"));
    EXPECT_EQ(w.forms.SetupWindow(), nullptr);

    WindowWorld failing;
    failing.Printer(1).failing = {"DeviceName"};
    EXPECT_THROW(failing.forms.ShowSetupWindowModal(), ProgramEnd);
    ASSERT_EQ(failing.world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(failing.world.dialogs.boxes[0].text, "Run-time error '482':\n\nPrinter error");
    EXPECT_EQ(failing.forms.SetupWindow(), nullptr) << "not kept half loaded";
}

// A print job on a tractor printer whose port is unusable: the engine's two messages, OK, the
// setup window, the user's choice saved, and Main from the top again.
TEST(SetupWindowModal, UnusablePortLeadsThroughTheSetupWindowBackIntoTheJob) {
    WindowWorld w;
    w.world.registry.SetString("DeviceName", "Epson LQ");
    w.world.rawPort.failOpenWith = 52;
    w.world.process.commandLine = "report.prt x P";
    w.world.files.contents["report.prt"] = "line one\r\n";
    QTimer::singleShot(0, [&w] {
        Form1* window = w.forms.SetupWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        Pick(*window, 1);
        Click(*window, "Option9");
        w.world.rawPort.failOpenWith = 0; // the queue is back by the time the user is done
        Click(*window, "Command3");
    });
    EXPECT_THROW(Main(w.program), ProgramEnd) << "the repeated job ends the program";

    ASSERT_EQ(w.world.dialogs.boxes.size(), 2u);
    EXPECT_EQ(w.world.dialogs.boxes[0].text, "Bad file name or number");
    EXPECT_EQ(w.world.dialogs.boxes[1].text, "You must set up a harvex printer");
    EXPECT_EQ(w.world.settings.saved["Papyra/Printer/Device"], "Epson LQ On LPT2:");
    ASSERT_EQ(w.world.profile.writes.size(), 4u);
    EXPECT_EQ(w.world.profile.writes[0].value, "1");
    EXPECT_EQ(w.world.profile.writes[3].value, "I");
    EXPECT_EQ(w.world.launcher.launched.size(), 1u) << "no Harvex window: Harvex is started";
    EXPECT_EQ(w.world.process.sleeps, (std::vector<int>{500, 500})) << "Main ran again";
    EXPECT_NE(w.world.rawPort.bytes.find("line one\r\n"), std::string::npos);
    EXPECT_EQ(w.forms.SetupWindow(), nullptr);
    EXPECT_EQ(PendingProgramEnd(), std::nullopt);
}

} // namespace
