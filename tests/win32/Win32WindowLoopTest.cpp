// The toolkit's loops: the setup window's modal display holds the program until the window goes
// and gives the other windows back; the main loop lives while a window is on screen; LeaveAll
// ends every loop at once. A watchdog ends a loop that would never return, and fails the case.
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"
#include "ui/win32/Win32Toolkit.h"
#include "win32/WindowTesting.h"

#include <gtest/gtest.h>

#include <thread>

using namespace papyra;
using namespace papyra::testing;

namespace {

struct Windows : WindowWorld {
    Windows() {
        review.Attach(*reviewView);
        setup.Attach(*setupView);
        setup.Load();
    }
    Win32Form2& Review() { return dynamic_cast<Win32Form2&>(*reviewView); }
    Win32Form1& Setup() { return dynamic_cast<Win32Form1&>(*setupView); }

    // Runs loop with a watchdog; false when the watchdog had to end it.
    bool Returns(const std::function<void()>& loop) {
        bool ended = false;
        const UINT_PTR watchdog = Later(5000, [&] {
            ended = true;
            toolkit.LeaveAll();
        });
        loop();
        Cancel(watchdog);
        return !ended;
    }

    Win32Toolkit toolkit;
    Form2 review{world.program};
    std::unique_ptr<Form2View> reviewView = toolkit.CreateReviewWindow(review);
    Form1 setup{world.program};
    std::unique_ptr<Form1View> setupView = toolkit.CreateSetupWindow(setup);
};

TEST(Win32WindowLoop, ModalDisplayReturnsOnceTheSetupWindowGoes) {
    struct Case {
        const char* how;
        std::function<void(Windows&)> act;
    } cases[] = {
        {"&OK", [](Windows& w) { SendMessageA(w.Setup().Control("Command3"), BM_CLICK, 0, 0); }},
        {"&Cancel by its access key, through the loop's dialog keys",
         [](Windows&) {
             INPUT keys[4]{};
             for (INPUT& key : keys)
                 key.type = INPUT_KEYBOARD;
             keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
             keys[1].ki.wVk = keys[2].ki.wVk = 'C';
             keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
             SendInput(4, keys, sizeof(INPUT));
         }},
        {"close box",
         [](Windows& w) { PostMessageA(w.Setup().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"LeaveAll", [](Windows& w) { w.toolkit.LeaveAll(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Windows w;
        w.Review().Show();
        bool reviewWaited = false;
        Later(100, [&] {
            reviewWaited = !IsWindowEnabled(w.Review().Handle());
            c.act(w);
        });
        EXPECT_TRUE(w.Returns([&] { w.toolkit.RunModal(*w.setupView); }));
        EXPECT_TRUE(reviewWaited) << "the other window waits while the setup window is up";
        EXPECT_FALSE(w.Setup().Open());
        if (w.Review().Open()) {
            EXPECT_TRUE(IsWindowEnabled(w.Review().Handle()));
            EXPECT_EQ(GetActiveWindow(), w.Review().Handle());
        }
    }
}

TEST(Win32WindowLoop, MainLoopLivesWhileAWindowIsShownAndLeaveAllEndsEveryLoop) {
    Windows idle;
    EXPECT_TRUE(idle.Returns([&] { idle.toolkit.RunEventLoop(); })) << "no window shown";

    Windows closing;
    closing.Review().Show();
    // Sent from another thread, the close runs inside the wait for a message, which must then
    // look again whether any window is left.
    std::thread other([window = closing.Review().Handle()] {
        Sleep(100);
        SendMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(closing.Returns([&] { closing.toolkit.RunEventLoop(); }));
    other.join();
    EXPECT_TRUE(closing.review.Unloaded());

    // LeaveAll from a modal display inside the main loop: both return, every window goes.
    Windows nested;
    nested.Review().Show();
    bool modalReturned = false;
    Later(100, [&] {
        Later(100, [&] { nested.toolkit.LeaveAll(); });
        nested.toolkit.RunModal(*nested.setupView);
        modalReturned = true;
    });
    EXPECT_TRUE(nested.Returns([&] { nested.toolkit.RunEventLoop(); }));
    EXPECT_TRUE(modalReturned);
    EXPECT_TRUE(nested.review.Unloaded());
    EXPECT_FALSE(nested.Setup().Open());
}

} // namespace
