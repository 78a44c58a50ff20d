// Message boxes and the printer dialog, answered from another thread as a user would: a button
// clicked, Escape pressed, the close box used. Each must hold the whole program while it is up.
#include "platform/win32/Win32Dialogs.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace papyra;

namespace {

enum class Act { ClickOK, ClickCancel, Escape, CloseBox };

// A dialog of the program titled title once it is on screen, or any dialog when it never comes
// (so the case can still be closed and fail instead of hanging), with whether it was the one.
std::pair<HWND, bool> WaitFor(const char* title) {
    for (int tries = 0; tries < 500; ++tries, Sleep(10))
        if (HWND dialog = FindWindowA("#32770", title); dialog && IsWindowVisible(dialog))
            return {dialog, true};
    return {FindWindowA("#32770", nullptr), false};
}

void Answer(HWND dialog, Act act) {
    switch (act) {
    case Act::ClickOK:
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        break;
    case Act::ClickCancel:
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Act::Escape:
        PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case Act::CloseBox:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

bool ShowsIcon(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageA(child, STM_GETICON, 0, 0))
            return true;
    return false;
}

// Another window of the program, which must wait while a dialog is up.
struct OtherWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "Other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr);
    ~OtherWindow() { DestroyWindow(handle); }
};

TEST(Win32Dialogs, MessageBoxAnswersAsTheUserDid) {
    struct Case {
        MsgButtons buttons;
        MsgIcon icon;
        std::optional<std::string> title;
        Act act;
        MsgAnswer answer;
        const char* shownTitle;
    } cases[] = {
        {MsgButtons::OKCancel, MsgIcon::None, {}, Act::ClickOK, MsgAnswer::OK, "Papyra"},
        {MsgButtons::OKCancel, MsgIcon::Critical, "Harvex", Act::ClickCancel, MsgAnswer::Cancel,
         "Harvex"},
        {MsgButtons::OKCancel, MsgIcon::None, {}, Act::Escape, MsgAnswer::Cancel, "Papyra"},
        {MsgButtons::OKCancel, MsgIcon::None, {}, Act::CloseBox, MsgAnswer::Cancel, "Papyra"},
        {MsgButtons::OK, MsgIcon::Critical, {}, Act::Escape, MsgAnswer::OK, "Papyra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shownTitle + std::to_string(static_cast<int>(c.act)));
        OtherWindow other;
        bool found = false, icon = false, otherWaited = false;
        std::thread user([&] {
            auto [box, titled] = WaitFor(c.shownTitle);
            found = titled;
            icon = ShowsIcon(box);
            otherWaited = !IsWindowEnabled(other.handle);
            Answer(box, c.act);
        });
        EXPECT_EQ(Win32Dialogs().MessageBox("Text", c.buttons, c.icon, c.title), c.answer);
        user.join();
        EXPECT_TRUE(found) << "titled " << c.shownTitle;
        EXPECT_EQ(icon, c.icon == MsgIcon::Critical);
        EXPECT_TRUE(otherWaited);
        EXPECT_TRUE(IsWindowEnabled(other.handle));
    }
}

TEST(Win32Dialogs, PrinterDialogStartsAtThePrinterAndYieldsTheChoice) {
    struct Case {
        int orientation, copies; // the printer's
        std::function<void(HWND dialog, HWND copies)> choose;
        Act act;
        PrinterDialogResult result;
    } cases[] = {
        {1,
         1,
         [](HWND dialog, HWND copies) {
             SendMessageA(FindWindowExA(dialog, nullptr, "Button", "&Landscape"), BM_CLICK, 0, 0);
             SetWindowTextA(copies, "3");
         },
         Act::ClickOK,
         {2, 3, false}},
        {2, 2, nullptr, Act::ClickOK, {2, 2, false}},
        {1, 0, nullptr, Act::ClickOK, {1, 1, false}},
        {2, 2, nullptr, Act::ClickCancel, {2, 2, true}},
        {1, 1, nullptr, Act::Escape, {1, 1, true}},
        {1, 1, nullptr, Act::CloseBox, {1, 1, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.orientation) + std::to_string(c.copies) +
                     std::to_string(static_cast<int>(c.act)));
        fakes::FakePrinter printer("Accounts Laser");
        printer.orientation = c.orientation;
        printer.copies = c.copies;
        OtherWindow other;
        bool found = false, landscape = false, copiesOpen = false, otherWaited = false;
        char name[64] = "";
        std::thread user([&] {
            auto [dialog, titled] = WaitFor("Harvex Printer Setup");
            found = titled;
            GetWindowTextA(FindWindowExA(dialog, nullptr, "Edit", nullptr), name, sizeof name);
            landscape = SendMessageA(FindWindowExA(dialog, nullptr, "Button", "&Landscape"),
                                     BM_GETCHECK, 0, 0) == BST_CHECKED;
            auto copies = reinterpret_cast<HWND>(SendMessageA(
                FindWindowExA(dialog, nullptr, UPDOWN_CLASSA, nullptr), UDM_GETBUDDY, 0, 0));
            copiesOpen = IsWindowEnabled(copies);
            otherWaited = !IsWindowEnabled(other.handle);
            if (c.choose) c.choose(dialog, copies);
            Answer(dialog, c.act);
        });
        const PrinterDialogResult result =
            Win32Dialogs().PrinterDialog(printer, "Harvex Printer Setup");
        user.join();
        EXPECT_TRUE(found);
        EXPECT_STREQ(name, "Accounts Laser");
        EXPECT_EQ(landscape, c.orientation == 2);
        EXPECT_EQ(copiesOpen, c.copies > 0);
        EXPECT_TRUE(otherWaited);
        EXPECT_EQ(std::tuple(result.orientation, result.copies, result.discarded),
                  std::tuple(c.result.orientation, c.result.copies, c.result.discarded));
        EXPECT_TRUE(IsWindowEnabled(other.handle));
    }
}

} // namespace
