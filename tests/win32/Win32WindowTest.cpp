// The windows and dialogs as Win32 draws them: built from the design tables, each user action
// reaching the logic (what it then does is tested on the fakes), the loops and the dialog keys.
#include "fakes/FakePlatform.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32WindowFinder.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"
#include "ui/win32/Win32Toolkit.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <map>
#include <thread>

using namespace papyra;

namespace {

// Runs the messages for milliseconds as a job's yield runs them.
void RunMessages(int milliseconds = 30) {
    for (const DWORD end = GetTickCount() + milliseconds; int(end - GetTickCount()) > 0; Sleep(5))
        Win32Process().DoEvents();
}

// Runs once its timer is due, from whatever loop runs the messages then, unless cleared.
std::map<UINT_PTR, std::function<void()>> later;
void CALLBACK RunLater(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (auto run = std::move(later[timer]); later.erase(timer) && run) run();
}
UINT_PTR Later(int milliseconds, std::function<void()> what) {
    const UINT_PTR timer = SetTimer(nullptr, 0, UINT(milliseconds), RunLater);
    return later[timer] = std::move(what), timer;
}

// A laser printer on a long device URI and a dot-matrix one after the fakes' own; both windows.
struct Windows {
    Windows() {
        world.printers.Add("Accounts", "ipp://printserver.example:631/printers/accounts-laser");
        world.printers.Add("Epson LQ", "LPT2:").paperBin = 8;
        form1.Attach(setup);
        form1.Load();
        form2.Attach(review);
    }
    void Returns(const std::function<void()>& loop) {
        const UINT_PTR watchdog = Later(
            5000, [this] { toolkit.LeaveAll(), ADD_FAILURE() << "the loop would not return"; });
        loop();
        KillTimer(nullptr, watchdog); // its message would end a loop of a later case
        later.clear();
    }
    fakes::World world;
    Win32Toolkit toolkit;
    Form1 form1{world.program};
    Win32Form1 setup{form1};
    Form2 form2{world.program};
    Win32Form2 review{form2};
};

std::vector<COLORREF> PixelsOf(HWND window, bool edge = false) {
    RECT area;
    GetClientRect(window, &area);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int x = 0; x < area.right; ++x)
        for (int y = 0; y < area.bottom; y += edge && x % (area.right - 1) ? area.bottom - 1 : 1)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

class Win32Window : public ::testing::Test, public Windows {};

TEST_F(Win32Window, IsBuiltFromItsTableByItsRulesAndPassesEachUserActionToTheLogic) {
    setup.Show();
    auto pixels = [dpi = ScreenDpi()](int twips) { return TwipsToPixels(twips, dpi); };
    RECT client, combo, frame, option;
    GetClientRect(setup.Handle(), &client);
    EXPECT_EQ((std::pair<int, int>(client.right, client.bottom)),
              std::pair(pixels(design::Form1.width), pixels(design::Form1.height)));
    GetWindowRect(setup.Control("Combo1"), &combo);
    GetWindowRect(setup.Control("Frame1"), &frame);
    GetWindowRect(setup.Control("Option2"), &option);
    EXPECT_EQ(
        std::tuple(combo.bottom - combo.top, option.left - frame.left, option.top - frame.top),
        std::tuple(pixels(315), pixels(2280), pixels(360)))
        << "the list's field of its designed height, not its font's; a frame's controls in it";
    auto next = [&](HWND from) { return GetNextDlgTabItem(setup.Handle(), from, FALSE); };
    HWND at = nullptr; // Tab walks the table's controls in its order, and round again
    for (const design::Control& control : design::Form1Controls) {
        if (control.kind == design::Kind::Label || control.kind == design::Kind::Frame) continue;
        EXPECT_EQ(at = next(at), setup.Control(control.name)) << control.name;
    }
    EXPECT_EQ(next(at), setup.Control("Combo1"));
    EXPECT_TRUE(Win32WindowFinder().TopLevelWindowExists("Harvex Printer Setup"));
    EXPECT_FALSE(Win32WindowFinder().TopLevelWindowExists("harvex printer setup")) << "any case";

    setup.SelectPaperFeed(false);
    RunMessages();
    EXPECT_EQ(PixelsOf(setup.Control("Label1"))[0], RGB(0, 0, 255)) << "the banner's blue";
    LOGFONTA sample{};
    GetObjectA(HFONT(SendMessageA(setup.Control("Label6"), WM_GETFONT, 0, 0)), sizeof sample,
               &sample);
    EXPECT_EQ(sample.lfPitchAndFamily & 3, FIXED_PITCH)
        << "the sample text's " << sample.lfFaceName;
    const auto one = PixelsOf(setup.Control("Option1")), two = PixelsOf(setup.Control("Option2"));
    double difference = 0;
    for (size_t i = 0; i < one.size() && i < two.size(); ++i)
        for (int shift : {0, 8, 16})
            difference += std::abs(int((one[i] >> shift) & 0xFF) - int((two[i] >> shift) & 0xFF));
    EXPECT_GT(difference / 3 / double(one.size()), 40) << "the pressed paper feed plain to see";
    const auto unfocused = PixelsOf(setup.Control("VScroll1"), true);
    SetFocus(setup.Control("Command3"));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    RunMessages();
    ASSERT_EQ(GetFocus(), setup.Control("VScroll1")) << "Tab from \"&OK\"";
    EXPECT_NE(PixelsOf(GetFocus(), true), unfocused) << "a focus mark";
    review.Show();
    EXPECT_FALSE(IsWindowVisible(review.Control("Command3"))) << "designed hidden";

    HWND list = setup.Control("Combo1");
    SendMessageA(list, CB_SETCURSEL, 2, 0);
    for (auto told :
         {std::vector<WORD>{CBN_SELENDOK}, {CBN_SELCHANGE}, {CBN_SELENDOK, CBN_SELCHANGE}}) {
        for (WORD code : told)
            SendMessageA(setup.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), code),
                         LPARAM(list));
        RunMessages();
    }
    EXPECT_EQ(world.printers.selections, (std::vector<int>{2, 2, 2})) << "once for both together";
    EXPECT_EQ(std::tuple(setup.Text("Label1"), IsWindowVisible(setup.Control("Frame6")),
                         IsWindowVisible(setup.Control("Frame5")),
                         SendMessageA(setup.Control("Option2"), BM_GETCHECK, 0, 0)),
              std::tuple("Dot-Matrix Printer", TRUE, FALSE, LRESULT(BST_CHECKED)));
    SetFocus(list);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_UP, 0); // the arrow keys on the closed list pick
    RunMessages();
    EXPECT_EQ(form1.SelectedPosition(), 1);
    // A port too long for its line keeps both ends, and the tooltip has it whole.
    EXPECT_EQ(setup.Tooltip("Label3"), "Selected Printer Port\r\nConnected to: "
                                       "ipp://printserver.example:631/printers/accounts-laser");
    EXPECT_THAT(setup.Text("Label3"),
                ::testing::MatchesRegex("Connected to: ipp://.+\\.\\.\\..+accounts-laser"));
    PostMessageA(FindWindowExA(list, nullptr, "Edit", nullptr), WM_CHAR, 'X', 0);
    RunMessages();
    EXPECT_EQ(form1.SelectedPosition(), -1) << "typed";

    // "Adjust Settings" shows the dialog's choice; "OK" prints the file the command line names.
    form2.WriteLines();
    review.Show();
    world.dialogs.dialogResult = {2, 3, false};
    SendMessageA(review.Control("Command1"), BM_CLICK, 0, 0);
    EXPECT_EQ(review.Text("Label2") + "|" + review.Text("Label3"),
              "Orientation: Landscape|Copies: 3");
    world.process.commandLine = "MISSING.PRT";
    SendMessageA(review.Control("Command2"), BM_CLICK, 0, 0);
    EXPECT_EQ(world.dialogs.boxes.at(0).text, "File not found");
}

TEST(Win32WindowLoop, EachLoopReturnsOnceItsWindowsGoTheModalOneHoldingTheOthersMeanwhile) {
    const std::tuple<const char*, bool, std::function<void(Windows&)>> cases[] = {
        {"&OK", true,
         [](Windows& w) { SendMessageA(w.setup.Control("Command3"), BM_CLICK, 0, 0); }},
        {"Alt+C, \"&Cancel\"", true,
         [](Windows& w) { PostMessageA(w.setup.Control("Combo1"), WM_SYSCHAR, 'c', 0); }},
        {"close box", true, [](Windows& w) { PostMessageA(w.setup.Handle(), WM_CLOSE, 0, 0); }},
        {"LeaveAll", false, [](Windows& w) { w.toolkit.LeaveAll(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::get<0>(c));
        Windows w;
        w.review.Show();
        bool reviewWaited = false;
        Later(100, [&] {
            reviewWaited = !IsWindowEnabled(w.review.Handle());
            std::get<2>(c)(w);
        });
        w.Returns([&] { w.toolkit.RunModal(w.setup); });
        EXPECT_TRUE(reviewWaited && !w.setup.Open());
        EXPECT_EQ(w.review.Open() ? GetActiveWindow() : nullptr,
                  std::get<1>(c) ? w.review.Handle() : nullptr);
    }
    // The main loop lives while a window is shown; this one closes while the loop waits.
    Windows w;
    w.review.Show();
    std::thread other([at = w.review.Handle()] { Sleep(100), SendMessageA(at, WM_CLOSE, 0, 0); });
    w.Returns([&] { w.toolkit.RunEventLoop(); });
    other.join();
}

enum Act { ClickOK = IDOK, ClickCancel = IDCANCEL, PressEscape };

// Answers the dialog titled title that show puts up once look has seen it, another window waiting
// meanwhile; a dialog of another title is answered too, so the case fails instead of hanging.
void Answered(const char* title, Act act, const std::function<void(HWND)>& look,
              const std::function<void()>& show) {
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                 nullptr, nullptr, nullptr);
    Later(300, [&] {
        HWND dialog = FindWindowA("#32770", title);
        EXPECT_TRUE(dialog && !IsWindowEnabled(other)) << title << ", the other window waiting";
        look(dialog = dialog ? dialog : FindWindowA("#32770", nullptr));
        if (act == PressEscape) PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        if (act != PressEscape) SendMessageA(GetDlgItem(dialog, act), BM_CLICK, 0, 0);
    });
    show();
    EXPECT_TRUE(later.empty() && IsWindowEnabled(other)) << "answered, the other window back";
    later.clear();
    DestroyWindow(other);
}

TEST(Win32Dialogs, AnswerAsTheUserDidStartingAtThePrinterWhileTheOtherWindowsWait) {
    const struct {
        MsgButtons buttons;
        MsgIcon icon;
        std::optional<std::string> title;
        Act act;
        MsgAnswer answer;
    } cases[] = {
        {MsgButtons::OKCancel, MsgIcon::None, {}, ClickOK, MsgAnswer::OK},
        {MsgButtons::OKCancel, MsgIcon::Critical, "T", ClickCancel, MsgAnswer::Cancel},
        {MsgButtons::OK, MsgIcon::Critical, {}, PressEscape, MsgAnswer::OK}, // its one answer
    };
    for (const auto& c : cases) {
        auto look = [&](HWND box) {
            bool icon = false;
            for (HWND at = GetWindow(box, GW_CHILD); at; at = GetWindow(at, GW_HWNDNEXT))
                icon |= IsWindowVisible(at) && SendMessageA(at, STM_GETICON, 0, 0) != 0;
            EXPECT_EQ(icon, c.icon == MsgIcon::Critical);
        };
        Answered(c.title ? c.title->c_str() : "Papyra", c.act, look, [&] {
            EXPECT_EQ(Win32Dialogs().MessageBox("Text", c.buttons, c.icon, c.title), c.answer);
        });
    }
    const struct {
        int orientation, copies; // the printer's
        bool choose;             // Landscape and 3 copies
        Act act;
        PrinterDialogResult result;
    } choices[] = {
        {1, 1, true, ClickOK, {2, 3, false}},    {2, 2, false, ClickOK, {2, 2, false}},
        {1, 0, false, ClickOK, {1, 1, false}},   {2, 2, true, ClickCancel, {2, 2, true}},
        {1, 1, true, PressEscape, {1, 1, true}},
    };
    for (const auto& c : choices) {
        fakes::FakePrinter printer("Accounts Laser");
        printer.orientation = c.orientation;
        printer.copies = c.copies;
        auto look = [&](HWND dialog) {
            HWND copies = FindWindowExA(dialog, FindWindowExA(dialog, nullptr, "Edit", nullptr),
                                        "Edit", nullptr);
            HWND landscape = FindWindowExA(dialog, nullptr, "Button", "&Landscape");
            EXPECT_EQ(SendMessageA(landscape, BM_GETCHECK, 0, 0), c.orientation == 2);
            EXPECT_EQ(IsWindowEnabled(copies), c.copies > 0);
            if (c.choose) SendMessageA(landscape, BM_CLICK, 0, 0), SetWindowTextA(copies, "3");
        };
        PrinterDialogResult result;
        Answered("Harvex Printer Setup", c.act, look,
                 [&] { result = Win32Dialogs().PrinterDialog(printer, "Harvex Printer Setup"); });
        EXPECT_EQ(std::tuple(result.orientation, result.copies, result.discarded),
                  std::tuple(c.result.orientation, c.result.copies, c.result.discarded));
    }
}

// Not a test: tests/win32/capture-screenshots.sh takes each window that stdout names "SHOWN name
// left top width height" in screen pixels.
void Show(const char* name, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("SHOWN %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    RunMessages(std::getenv("PAPYRA_HOLD_MS") ? std::atoi(std::getenv("PAPYRA_HOLD_MS")) : 3000);
}

TEST(Win32WindowScreenshots, DISABLED_ShowEachWindow) {
    Windows w;
    w.setup.Show();
    SendMessageA(w.setup.Control("Combo1"), CB_SETCURSEL, 1, 0);
    w.form1.Picked(1);
    Show("setup-window", w.setup.Handle());
    w.form2.WriteLines();
    w.review.Show();
    Show("review-window", w.review.Handle());
    Later(300, [] {
        Show("printer-dialog", FindWindowA("#32770", "Harvex Printer Setup"));
        EndDialog(FindWindowA("#32770", "Harvex Printer Setup"), IDCANCEL);
    });
    Win32Dialogs().PrinterDialog(*w.world.printers.items[1], "Harvex Printer Setup");
}

} // namespace
