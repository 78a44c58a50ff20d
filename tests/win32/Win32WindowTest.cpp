// The two windows as Win32 draws them: built from the design tables by their rules, and each
// user action reaching the logic. What an event then does is the logic's, tested on the fakes.
#include "win32/WindowTesting.h"

#include <gmock/gmock.h>

#include <span>

using namespace papyra;
using namespace papyra::testing;

namespace {

// The pixels of a window's client area as they are on screen now, column by column.
std::vector<COLORREF> PixelsOf(HWND window, bool edgeOnly = false) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT area;
    GetClientRect(window, &area);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int x = 0; x < area.right; ++x)
        for (int y = 0; y < area.bottom; ++y)
            if (!edgeOnly || x == 0 || y == 0 || x == area.right - 1 || y == area.bottom - 1)
                pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

// The mean difference of two pictures' colour channels: 0 the same, 255 black against white.
double Difference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF));
    return sum / (3.0 * static_cast<double>(std::max<size_t>(a.size(), 1)));
}

class Win32Window : public ::testing::Test, public Windows {};

TEST_F(Win32Window, IsBuiltFromItsTableAtTheScreensResolution) {
    const int dpi = ScreenDpi();
    struct Case {
        DesignedWindow& window;
        const design::Window& design;
        std::span<const design::Control> table;
    } cases[] = {{SetupWindow(), design::Form1, design::Form1Controls},
                 {ReviewWindow(), design::Form2, design::Form2Controls}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design.title);
        RECT client;
        GetClientRect(c.window.Handle(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(c.design.width, dpi));
        EXPECT_EQ(client.bottom, TwipsToPixels(c.design.height, dpi));
        c.window.Show();
        std::vector<std::string> keyboard, tabbed;
        for (const design::Control& control : c.table) {
            EXPECT_EQ(IsWindowVisible(c.window.Control(control.name)) != 0, control.visible)
                << control.name;
            if (control.visible && control.kind != design::Kind::Label &&
                control.kind != design::Kind::Frame)
                keyboard.push_back(control.name);
        }
        HWND first = GetNextDlgTabItem(c.window.Handle(), nullptr, FALSE), at = first;
        do {
            for (const design::Control& control : c.table)
                if (c.window.Control(control.name) == at) tabbed.push_back(control.name);
        } while ((at = GetNextDlgTabItem(c.window.Handle(), at, FALSE)) != first &&
                 tabbed.size() <= c.table.size());
        EXPECT_EQ(tabbed, keyboard) << "Tab walks the table's order";
    }
    // The list's field takes its designed height, not its font's; a frame's control lies at its
    // place in the frame.
    RECT combo, frame, option;
    GetWindowRect(SetupWindow().Control("Combo1"), &combo);
    GetWindowRect(SetupWindow().Control("Frame1"), &frame);
    GetWindowRect(SetupWindow().Control("Option2"), &option);
    EXPECT_EQ(combo.bottom - combo.top, TwipsToPixels(315, dpi));
    EXPECT_EQ(option.left - frame.left, TwipsToPixels(2280, dpi));
    EXPECT_EQ(option.top - frame.top, TwipsToPixels(360, dpi));
}

TEST_F(Win32Window, ShowsItsColoursFontsAndStates) {
    Win32Form1& window = SetupWindow();
    window.Show();
    RunMessages();
    EXPECT_EQ(PixelsOf(window.Control("Label1"))[0], RGB(0, 0, 255)) << "the banner's blue";
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
    const auto unfocused = PixelsOf(bar, true);
    SetFocus(window.Control("Command3"));
    PostMessageA(window.Control("Command3"), WM_KEYDOWN, VK_TAB, 0);
    RunMessages();
    ASSERT_EQ(GetFocus(), bar);
    EXPECT_NE(PixelsOf(bar, true), unfocused);
}

TEST_F(Win32Window, PicksAndTypingInTheListReachTheLogic) {
    Win32Form1& window = SetupWindow();
    window.Show();
    RunMessages();
    HWND combo = window.Control("Combo1");
    // Each way the list tells of a pick counts, also of the entry already picked, and once
    // however many of them come together.
    for (std::vector<WORD> told :
         {std::vector<WORD>{CBN_SELENDOK}, {CBN_SELCHANGE}, {CBN_SELENDOK, CBN_SELCHANGE}}) {
        world.printers.selections.clear();
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        for (WORD code : told)
            SendMessageA(window.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code),
                         reinterpret_cast<LPARAM>(combo));
        RunMessages();
        EXPECT_EQ(world.printers.selections, std::vector<int>{2}) << told.size();
    }
    EXPECT_EQ(window.Text("Label1"), "Dot-Matrix Printer");
    EXPECT_TRUE(IsWindowVisible(window.Control("Frame6")));
    EXPECT_FALSE(IsWindowVisible(window.Control("Frame5")));
    EXPECT_EQ(SendMessageA(window.Control("Option2"), BM_GETCHECK, 0, 0), BST_CHECKED);

    // The arrow keys on the closed list pick too; a port too long for its line keeps both ends,
    // and the tooltip has it whole.
    SetFocus(combo);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_UP, 0);
    RunMessages();
    EXPECT_EQ(form1.SelectedPosition(), 1);
    EXPECT_FALSE(IsWindowVisible(window.Control("Frame6"))) << "a laser printer's frame only";
    const std::string port = "Connected to: ipp://printserver.example:631/printers/accounts-laser";
    EXPECT_EQ(window.Tooltip("Label3"), "Selected Printer Port\r\n" + port);
    const std::string shown = window.Text("Label3");
    EXPECT_THAT(shown, ::testing::MatchesRegex("Connected to: ipp://.+\\.\\.\\..+accounts-laser"));

    PostMessageA(FindWindowExA(combo, nullptr, "Edit", nullptr), WM_CHAR, 'X', 0);
    RunMessages();
    EXPECT_EQ(form1.SelectedPosition(), -1) << "typing leaves no entry selected";
    EXPECT_EQ(std::pair(world.printers.current, window.Text("Label3")), std::pair(1, shown));
}

TEST_F(Win32Window, ReviewWindowButtonsAndCloseBoxReachTheLogic) {
    Win32Form2& window = ReviewWindow();
    form2.WriteLines();
    window.Show();
    EXPECT_EQ(GetWindowTextLengthA(window.Handle()), 0) << "no title";
    world.dialogs.dialogResult = {2, 3, false};
    SendMessageA(window.Control("Command1"), BM_CLICK, 0, 0);
    EXPECT_EQ(window.Text("Label2") + "|" + window.Text("Label3"),
              "Orientation: Landscape|Copies: 3");
    // "OK" prints the file the command line names; there is none, and the engine says so.
    world.process.commandLine = "REPORT.PRT";
    SendMessageA(window.Control("Command2"), BM_CLICK, 0, 0);
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "File not found");
    PostMessageA(window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    RunMessages();
    EXPECT_TRUE(form2.Unloaded());
    EXPECT_FALSE(window.Open());
}

} // namespace
