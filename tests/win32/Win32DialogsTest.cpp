// Message boxes and the printer dialog, answered from another thread as a user would: a button
// clicked, Escape pressed, the close box used. Each holds every other window while it is up.
#include "platform/win32/Win32Dialogs.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace papyra;

namespace {

enum Act { ClickOK = IDOK, ClickCancel = IDCANCEL, Escape, CloseBox };

// Waits for the dialog titled title, looks at it, answers it. When it never comes, any dialog
// is answered, so the case fails instead of hanging.
void AnswerDialog(const char* title, Act act, const std::function<void(HWND)>& look) {
    HWND dialog = nullptr;
    for (int tries = 0; tries < 500 && !IsWindowVisible(dialog); ++tries, Sleep(10))
        dialog = FindWindowA("#32770", title); // shown: made and filled in
    EXPECT_TRUE(dialog) << title;
    dialog = dialog ? dialog : FindWindowA("#32770", nullptr);
    look(dialog);
    if (act == Escape) PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    if (act == CloseBox) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (act == ClickOK || act == ClickCancel) SendMessageA(GetDlgItem(dialog, act), BM_CLICK, 0, 0);
}

// Another window of the program, which must wait while a dialog is up.
struct OtherWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                  nullptr, nullptr, nullptr);
    ~OtherWindow() {
        EXPECT_TRUE(IsWindowEnabled(handle)) << "enabled again";
        DestroyWindow(handle);
    }
};

TEST(Win32Dialogs, MessageBoxAnswersAsTheUserDid) {
    const struct {
        MsgButtons buttons;
        MsgIcon icon;
        std::optional<std::string> title;
        Act act;
        MsgAnswer answer;
        const char* shownTitle;
    } cases[] = {
        {MsgButtons::OKCancel, MsgIcon::None, {}, ClickOK, MsgAnswer::OK, "Papyra"},
        {MsgButtons::OKCancel, MsgIcon::Critical, "T", ClickCancel, MsgAnswer::Cancel, "T"},
        {MsgButtons::OKCancel, MsgIcon::None, {}, Escape, MsgAnswer::Cancel, "Papyra"},
        {MsgButtons::OKCancel, MsgIcon::None, {}, CloseBox, MsgAnswer::Cancel, "Papyra"},
        {MsgButtons::OK, MsgIcon::Critical, {}, Escape, MsgAnswer::OK, "Papyra"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shownTitle << c.act);
        OtherWindow other;
        std::thread user(AnswerDialog, c.shownTitle, c.act, [&](HWND box) {
            EXPECT_FALSE(IsWindowEnabled(other.handle));
            bool icon = false;
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                icon |= IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0;
            EXPECT_EQ(icon, c.icon == MsgIcon::Critical);
        });
        EXPECT_EQ(Win32Dialogs().MessageBox("Text", c.buttons, c.icon, c.title), c.answer);
        user.join();
    }
}

TEST(Win32Dialogs, PrinterDialogStartsAtThePrinterAndYieldsTheChoice) {
    const struct {
        int orientation, copies; // the printer's
        bool choose;             // Landscape and 3 copies
        Act act;
        PrinterDialogResult result;
    } cases[] = {
        {1, 1, true, ClickOK, {2, 3, false}},  {2, 2, false, ClickOK, {2, 2, false}},
        {1, 0, false, ClickOK, {1, 1, false}}, {2, 2, true, ClickCancel, {2, 2, true}},
        {1, 1, true, Escape, {1, 1, true}},    {1, 1, false, CloseBox, {1, 1, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << c.copies << c.act);
        fakes::FakePrinter printer("Accounts Laser");
        printer.orientation = c.orientation;
        printer.copies = c.copies;
        OtherWindow other;
        std::thread user(AnswerDialog, "Harvex Printer Setup", c.act, [&](HWND dialog) {
            EXPECT_FALSE(IsWindowEnabled(other.handle));
            char name[64] = "";
            GetWindowTextA(FindWindowExA(dialog, nullptr, "Edit", nullptr), name, sizeof name);
            EXPECT_STREQ(name, "Accounts Laser");
            HWND landscape = FindWindowExA(dialog, nullptr, "Button", "&Landscape");
            EXPECT_EQ(SendMessageA(landscape, BM_GETCHECK, 0, 0) == BST_CHECKED,
                      c.orientation == 2);
            auto copies = reinterpret_cast<HWND>(SendMessageA(
                FindWindowExA(dialog, nullptr, UPDOWN_CLASSA, nullptr), UDM_GETBUDDY, 0, 0));
            EXPECT_EQ(IsWindowEnabled(copies) != 0, c.copies > 0);
            if (c.choose) SendMessageA(landscape, BM_CLICK, 0, 0), SetWindowTextA(copies, "3");
        });
        const PrinterDialogResult result =
            Win32Dialogs().PrinterDialog(printer, "Harvex Printer Setup");
        user.join();
        EXPECT_EQ(std::tuple(result.orientation, result.copies, result.discarded),
                  std::tuple(c.result.orientation, c.result.copies, c.result.discarded));
    }
}

} // namespace
