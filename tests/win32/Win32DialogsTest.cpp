// Message boxes and the printer dialog, answered from another thread as a user would: a button
// clicked, Escape pressed. Each holds every other window while it is up.
#include "platform/win32/Win32Dialogs.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace papyra;

namespace {

enum Act { ClickOK = IDOK, ClickCancel = IDCANCEL, Escape };

// Runs show while the user waits for the dialog titled title, sees that another window of the
// program waits too, looks at the dialog and answers it. When it never comes, any dialog is
// answered, so the case fails instead of hanging.
void Answered(const char* title, Act act, const std::function<void(HWND)>& look,
              const std::function<void()>& show) {
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                 nullptr, nullptr, nullptr);
    std::thread user([&] {
        HWND dialog = nullptr;
        for (int tries = 0; tries < 500 && !IsWindowVisible(dialog); ++tries, Sleep(10))
            dialog = FindWindowA("#32770", title); // shown: made and filled in
        EXPECT_TRUE(dialog) << title;
        dialog = dialog ? dialog : FindWindowA("#32770", nullptr);
        EXPECT_FALSE(IsWindowEnabled(other)) << "the other window waits";
        look(dialog);
        if (act == Escape) PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        if (act != Escape) SendMessageA(GetDlgItem(dialog, act), BM_CLICK, 0, 0);
    });
    show();
    user.join();
    EXPECT_TRUE(IsWindowEnabled(other)) << "enabled again";
    DestroyWindow(other);
}

TEST(Win32Dialogs, MessageBoxAnswersAsTheUserDid) {
    const struct {
        MsgButtons buttons;
        MsgIcon icon;
        std::optional<std::string> title;
        Act act;
        MsgAnswer answer;
    } cases[] = {
        {MsgButtons::OKCancel, MsgIcon::None, {}, ClickOK, MsgAnswer::OK},
        {MsgButtons::OKCancel, MsgIcon::Critical, "T", ClickCancel, MsgAnswer::Cancel},
        {MsgButtons::OK, MsgIcon::Critical, {}, Escape, MsgAnswer::OK}, // its one answer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.act);
        Answered(
            c.title ? c.title->c_str() : "Papyra", c.act,
            [&](HWND box) {
                bool icon = false;
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT))
                    icon |= IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0;
                EXPECT_EQ(icon, c.icon == MsgIcon::Critical);
            },
            [&] {
                EXPECT_EQ(Win32Dialogs().MessageBox("Text", c.buttons, c.icon, c.title), c.answer);
            });
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
        {1, 1, true, Escape, {1, 1, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << c.copies << c.act);
        fakes::FakePrinter printer("Accounts Laser");
        printer.orientation = c.orientation;
        printer.copies = c.copies;
        PrinterDialogResult result;
        Answered(
            "Harvex Printer Setup", c.act,
            [&](HWND dialog) {
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
            },
            [&] { result = Win32Dialogs().PrinterDialog(printer, "Harvex Printer Setup"); });
        EXPECT_EQ(std::tuple(result.orientation, result.copies, result.discarded),
                  std::tuple(c.result.orientation, c.result.copies, c.result.discarded));
    }
}

} // namespace
