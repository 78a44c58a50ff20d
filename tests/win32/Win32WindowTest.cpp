// The two windows as Win32 draws them: built by the rules that turn the design tables into
// controls, and every user action reaching the logic. What each event then does is the logic's
// and tested on the fakes.
#include "ui/Design.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"
#include "ui/win32/Win32Toolkit.h"
#include "win32/WindowTesting.h"

#include <gmock/gmock.h>

#include <span>

using namespace papyra;
using namespace papyra::testing;

namespace {

bool TakesKeyboard(const design::Control& c) {
    return c.visible && c.kind != design::Kind::Label && c.kind != design::Kind::Frame;
}

// The controls Tab visits, from the first, once round.
std::vector<std::string> TabOrder(DesignedWindow& window, std::span<const design::Control> table) {
    std::vector<std::string> order;
    HWND first = GetNextDlgTabItem(window.Handle(), nullptr, FALSE);
    HWND control = first;
    do {
        for (const design::Control& c : table)
            if (window.Control(c.name) == control) order.push_back(c.name);
        control = GetNextDlgTabItem(window.Handle(), control, FALSE);
    } while (control && control != first && order.size() <= table.size());
    return order;
}

RECT ScreenRect(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return rect;
}

class Win32Window : public ::testing::Test {
protected:
    WindowWorld world;
    Win32Toolkit toolkit;
};

TEST_F(Win32Window, IsBuiltFromItsTableAtTheScreensResolution) {
    Form1 form1(world.world.program);
    auto setup = toolkit.CreateSetupWindow(form1);
    Form2 form2(world.world.program);
    auto review = toolkit.CreateReviewWindow(form2);
    const int dpi = ScreenDpi();
    struct Case {
        DesignedWindow& window;
        const design::Window& design;
        std::span<const design::Control> table;
    } cases[] = {{dynamic_cast<DesignedWindow&>(*setup), design::Form1, design::Form1Controls},
                 {dynamic_cast<DesignedWindow&>(*review), design::Form2, design::Form2Controls}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design.title);
        RECT client;
        GetClientRect(c.window.Handle(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(c.design.width, dpi));
        EXPECT_EQ(client.bottom, TwipsToPixels(c.design.height, dpi));
        c.window.Show();
        std::vector<std::string> expected;
        for (const design::Control& control : c.table) {
            if (TakesKeyboard(control)) expected.push_back(control.name);
            EXPECT_EQ(IsWindowVisible(c.window.Control(control.name)) != 0, control.visible)
                << control.name;
        }
        EXPECT_EQ(TabOrder(c.window, c.table), expected);
    }

    // The drop-down list's field takes its designed height, not its font's; a control in a frame
    // lies at its place within the frame.
    auto& window = dynamic_cast<DesignedWindow&>(*setup);
    POINT origin{0, 0};
    ClientToScreen(window.Handle(), &origin);
    const RECT combo = ScreenRect(window.Control("Combo1"));
    EXPECT_EQ(combo.bottom - combo.top, TwipsToPixels(315, dpi));
    EXPECT_EQ(combo.left - origin.x, TwipsToPixels(120, dpi));
    const RECT frame = ScreenRect(window.Control("Frame1"));
    const RECT option2 = ScreenRect(window.Control("Option2"));
    EXPECT_EQ(option2.left - frame.left, TwipsToPixels(2280, dpi));
    EXPECT_EQ(option2.top - frame.top, TwipsToPixels(360, dpi));
    EXPECT_EQ(frame.left - origin.x, TwipsToPixels(120, dpi));
}

TEST_F(Win32Window, ShowsItsColoursFontsAndStates) {
    world.world.program.state.HostNotRunning = true;
    Form1 form(world.world.program);
    auto made = toolkit.CreateSetupWindow(form);
    auto& window = dynamic_cast<Win32Form1&>(*made);
    form.Attach(window);
    form.Load();
    window.Show();
    RunMessages();

    EXPECT_EQ(PixelOf(window.Control("Label1"), 1, 1), RGB(0, 0, 255)) << "the banner's blue";
    HWND label6 = window.Control("Label6");
    HDC dc = GetDC(label6);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label6, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(label6, dc);
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "the sample text is fixed-pitch";

    // The pressed paper-feed button is plain at a glance, not a shade apart from the other.
    window.SelectPaperFeed(false);
    EXPECT_GT(Difference(PixelsOf(window.Control("Option1")), PixelsOf(window.Control("Option2"))),
              40);

    // Tab from "&OK" reaches the scroll bar, whose edge then shows a focus mark.
    HWND bar = window.Control("VScroll1");
    auto edge = [bar] {
        RECT area;
        GetClientRect(bar, &area);
        const std::vector<COLORREF> all = PixelsOf(bar);
        std::vector<COLORREF> ring;
        for (int x = 0; x < area.right; ++x)
            for (int y = 0; y < area.bottom; ++y)
                if (x == 0 || y == 0 || x == area.right - 1 || y == area.bottom - 1)
                    ring.push_back(all[static_cast<size_t>(x * area.bottom + y)]);
        return ring;
    };
    const auto unfocused = edge();
    SetFocus(window.Control("Command3"));
    PostMessageA(window.Control("Command3"), WM_KEYDOWN, VK_TAB, 0);
    RunMessages();
    ASSERT_EQ(GetFocus(), bar);
    EXPECT_NE(edge(), unfocused);
}

// Drops the list with its arrow and clicks the entry, as the user does.
void PickWithMouse(HWND combo, int entry) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    POINT arrow{(info.rcButton.left + info.rcButton.right) / 2,
                (info.rcButton.top + info.rcButton.bottom) / 2};
    ClientToScreen(combo, &arrow);
    ClickAt(arrow);
    RECT item{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
    POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &at);
    ClickAt(at);
}

TEST_F(Win32Window, PicksAndTypingInTheListReachTheLogic) {
    Form1 form(world.world.program);
    auto made = toolkit.CreateSetupWindow(form);
    auto& window = dynamic_cast<Win32Form1&>(*made);
    form.Attach(window);
    form.Load();
    window.Show();
    RunMessages();
    HWND combo = window.Control("Combo1");

    PickWithMouse(combo, 2);
    EXPECT_EQ(form.SelectedPosition(), 2);
    EXPECT_EQ(window.Text("Label1"), "Dot-Matrix Printer");
    EXPECT_TRUE(IsWindowVisible(window.Control("Frame6")));
    EXPECT_FALSE(IsWindowVisible(window.Control("Frame5")));
    EXPECT_EQ(SendMessageA(window.Control("Option2"), BM_GETCHECK, 0, 0), BST_CHECKED);
    PickWithMouse(combo, 2);
    EXPECT_EQ(world.world.printers.selections, (std::vector<int>{2, 2})) << "the same entry again";

    // The keyboard on the closed list: one pick a key.
    Press(VK_UP);
    EXPECT_EQ(world.world.printers.selections, (std::vector<int>{2, 2, 1}));
    const std::string port = "Connected to: ipp://printserver.example:631/printers/accounts-laser";
    EXPECT_EQ(window.Tooltip("Label3"), "Selected Printer Port\r\n" + port);
    const std::string shown = window.Text("Label3");
    EXPECT_THAT(shown, ::testing::StartsWith("Connected to: ipp://"));
    EXPECT_THAT(shown, ::testing::EndsWith("accounts-laser"));
    EXPECT_THAT(shown, ::testing::HasSubstr("..."));

    // Each way the list tells of a pick counts, once however many of them come together.
    const int id = GetDlgCtrlID(combo);
    for (std::vector<WORD> told :
         {std::vector<WORD>{CBN_SELENDOK}, {CBN_SELCHANGE}, {CBN_SELENDOK, CBN_SELCHANGE}}) {
        world.world.printers.selections.clear();
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        for (WORD code : told)
            SendMessageA(window.Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                         reinterpret_cast<LPARAM>(combo));
        RunMessages();
        EXPECT_EQ(world.world.printers.selections, std::vector<int>{0}) << told.size();
    }
    EXPECT_EQ(window.Text("Label3"), "Connected to: LPT1:") << "a short port as it is";

    Press('X');
    EXPECT_EQ(form.SelectedPosition(), -1) << "typing leaves no entry selected";
    EXPECT_EQ(world.world.printers.current, 0);
    EXPECT_EQ(window.Text("Label3"), "Connected to: LPT1:");
}

TEST_F(Win32Window, ReviewWindowButtonsAndCloseBoxReachTheLogic) {
    Form2 form(world.world.program);
    auto made = toolkit.CreateReviewWindow(form);
    auto& window = dynamic_cast<Win32Form2&>(*made);
    form.Attach(window);
    form.WriteLines();
    window.Show();
    EXPECT_EQ(GetWindowTextLengthA(window.Handle()), 0) << "no title";

    world.world.dialogs.dialogResult = {2, 3, false};
    SendMessageA(window.Control("Command1"), BM_CLICK, 0, 0);
    EXPECT_EQ(window.Text("Label2"), "Orientation: Landscape");
    EXPECT_EQ(window.Text("Label3"), "Copies: 3");
    // "OK" prints the file the command line names; there is none, and the engine says so.
    world.world.process.commandLine = "REPORT.PRT";
    SendMessageA(window.Control("Command2"), BM_CLICK, 0, 0);
    ASSERT_EQ(world.world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.world.dialogs.boxes[0].text, "File not found");

    PostMessageA(window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    RunMessages();
    EXPECT_TRUE(form.Unloaded());
    EXPECT_FALSE(window.Open());
}

} // namespace
