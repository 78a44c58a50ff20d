// Not a test: shows the setup window (the port line's tooltip up), the review window and the
// printer dialog in turn for tests/win32/capture-screenshots.sh, each announced on stdout as
// "SHOWN name left top width height" in screen pixels.
#include "platform/win32/Win32Dialogs.h"
#include "win32/WindowTesting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace papyra;
using namespace papyra::testing;

namespace {

BOOL CALLBACK AddShownTooltip(HWND window, LPARAM area) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    RECT tip;
    if (IsWindowVisible(window) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 &&
        GetWindowRect(window, &tip))
        UnionRect(reinterpret_cast<RECT*>(area), reinterpret_cast<RECT*>(area), &tip);
    return TRUE;
}

void Show(const char* name, HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    EnumThreadWindows(GetCurrentThreadId(), AddShownTooltip, reinterpret_cast<LPARAM>(&area));
    std::printf("SHOWN %s %ld %ld %ld %ld\n", name, area.left, area.top, area.right - area.left,
                area.bottom - area.top);
    std::fflush(stdout);
    const char* hold = std::getenv("PAPYRA_HOLD_MS");
    RunMessages(hold ? std::atoi(hold) : 3000);
}

TEST(Win32WindowScreenshots, DISABLED_ShowEachWindow) {
    Windows w;
    w.world.printers.items[0]->name = "Office Laser";
    for (auto& printer : w.world.printers.items)
        printer->driver = "HP LaserJet 4250 PCL6";
    w.world.program.state.HostNotRunning = true;
    w.form1.Load();
    w.SetupWindow().Show();
    HWND combo = w.SetupWindow().Control("Combo1");
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(w.SetupWindow().Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    RECT port;
    GetWindowRect(w.SetupWindow().Control("Label3"), &port);
    SetCursorPos((port.left + port.right) / 2, (port.top + port.bottom) / 2);
    RunMessages(1500);
    Show("setup-window", w.SetupWindow().Handle());
    w.SetupWindow().Leave();

    w.form2.WriteLines();
    w.ReviewWindow().Show();
    RunMessages(300);
    Show("review-window", w.ReviewWindow().Handle());
    w.ReviewWindow().Leave();

    Later(300, [] {
        HWND dialog = FindWindowA("#32770", "Harvex Printer Setup");
        Show("printer-dialog", dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Win32Dialogs().PrinterDialog(*w.world.printers.items[1], "Harvex Printer Setup");
}

} // namespace
