// Not a test: shows the setup window, the review window and the printer dialog one after the
// other for a capture from outside (tests/win32/capture-screenshots.sh), each announced on stdout
// as "SHOWN name left top width height" in screen pixels.
#include "fakes/FakePlatform.h"
#include "platform/win32/Win32Dialogs.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"
#include "win32/WindowTesting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace papyra;
using namespace papyra::testing;

namespace {

int HoldMilliseconds() {
    const char* hold = std::getenv("PAPYRA_HOLD_MS");
    return hold ? std::atoi(hold) : 3000;
}

BOOL CALLBACK AddShownTooltip(HWND window, LPARAM area) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) {
        RECT tip;
        GetWindowRect(window, &tip);
        UnionRect(reinterpret_cast<RECT*>(area), reinterpret_cast<RECT*>(area), &tip);
    }
    return TRUE;
}

// The window's frame and any tooltip shown over it.
void Announce(const char* name, HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    EnumThreadWindows(GetCurrentThreadId(), AddShownTooltip, reinterpret_cast<LPARAM>(&area));
    std::printf("SHOWN %s %ld %ld %ld %ld\n", name, area.left, area.top, area.right - area.left,
                area.bottom - area.top);
    std::fflush(stdout);
}

TEST(Win32WindowScreenshots, DISABLED_ShowEachWindow) {
    fakes::World world;
    world.printers.items[0]->name = "Office Laser";
    world.printers.items[0]->driver = "HP LaserJet 4250 PCL6";
    fakes::FakePrinter& accounts = world.printers.Add(
        "Accounts Laser", "ipp://printserver.example:631/printers/accounts-laser");
    accounts.driver = "HP LaserJet 4250 PCL6";
    world.printers.Add("Epson LQ-590", "LPT2:").paperBin = 8;
    world.program.state.HostNotRunning = true;

    Form1 form1(world.program);
    Win32Form1 setup(form1);
    form1.Attach(setup);
    form1.Load();
    setup.Show();
    HWND combo = setup.Control("Combo1");
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(setup.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(combo));
    // The mouse rests on the port line, whose tooltip shows the whole port.
    RECT port;
    GetWindowRect(setup.Control("Label3"), &port);
    SetCursorPos((port.left + port.right) / 2, (port.top + port.bottom) / 2);
    RunMessages(1500);
    Announce("setup-window", setup.Handle());
    RunMessages(HoldMilliseconds());
    setup.Leave();

    Form2 form2(world.program);
    Win32Form2 review(form2);
    form2.Attach(review);
    form2.WriteLines();
    review.Show();
    RunMessages(300);
    Announce("review-window", review.Handle());
    RunMessages(HoldMilliseconds());
    review.Leave();

    Later(300, [] {
        if (HWND dialog = FindWindowA("#32770", "Harvex Printer Setup")) {
            Announce("printer-dialog", dialog);
            Later(HoldMilliseconds(), [dialog] { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
        }
    });
    Win32Dialogs().PrinterDialog(accounts, "Harvex Printer Setup");
}

} // namespace
