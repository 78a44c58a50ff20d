// The toolkit's loops: the setup window's modal display holds the program until the window goes
// and then gives the other windows back; the main loop lives while a window is on screen;
// LeaveAll ends every loop; a job's yield keeps the dialog keys. A watchdog ends a loop that
// would not return, and fails the case.
#include "platform/win32/Win32Process.h"
#include "win32/WindowTesting.h"

#include <gtest/gtest.h>

#include <thread>

using namespace papyra;
using namespace papyra::testing;

namespace {

struct Loops : Windows {
    // Runs loop; false when the watchdog had to end it.
    bool Returns(const std::function<void()>& loop) {
        bool ended = false;
        const UINT_PTR watchdog = Later(5000, [&] { ended = true, toolkit.LeaveAll(); });
        loop();
        Cancel(watchdog);
        return !ended;
    }
};

TEST(Win32WindowLoop, ModalDisplayReturnsOnceTheSetupWindowGoes) {
    const std::pair<const char*, std::function<void(Loops&)>> cases[] = {
        {"&OK",
         [](Loops& w) { SendMessageA(w.SetupWindow().Control("Command3"), BM_CLICK, 0, 0); }},
        {"&Cancel by its access key, a dialog key of the loop",
         [](Loops& w) { PostMessageA(w.SetupWindow().Control("Combo1"), WM_SYSCHAR, 'c', 0); }},
        {"close box", [](Loops& w) { PostMessageA(w.SetupWindow().Handle(), WM_CLOSE, 0, 0); }},
        {"LeaveAll", [](Loops& w) { w.toolkit.LeaveAll(); }},
    };
    for (const auto& [how, act] : cases) {
        SCOPED_TRACE(how);
        Loops w;
        w.ReviewWindow().Show();
        bool reviewWaited = false;
        Later(100, [&, act = act] {
            reviewWaited = !IsWindowEnabled(w.ReviewWindow().Handle());
            act(w);
        });
        EXPECT_TRUE(w.Returns([&] { w.toolkit.RunModal(*w.view1); }));
        EXPECT_TRUE(reviewWaited) << "the other window waits while the setup window is up";
        EXPECT_FALSE(w.SetupWindow().Open());
        if (w.ReviewWindow().Open()) {
            EXPECT_EQ(GetActiveWindow(), w.ReviewWindow().Handle())
                << "and then takes over, enabled";
        }
    }
}

TEST(Win32WindowLoop, MainLoopLivesWhileAWindowIsShownAndLeaveAllEndsEveryLoop) {
    Loops idle;
    EXPECT_TRUE(idle.Returns([&] { idle.toolkit.RunEventLoop(); })) << "no window shown";

    // Closed from another thread, the window goes inside the loop's wait for a message, which
    // must then look again whether any window is left.
    Loops closing;
    closing.ReviewWindow().Show();
    std::thread other([window = closing.ReviewWindow().Handle()] {
        Sleep(100);
        SendMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(closing.Returns([&] { closing.toolkit.RunEventLoop(); }));
    other.join();
    EXPECT_TRUE(closing.form2.Unloaded());

    Loops nested;
    nested.ReviewWindow().Show();
    bool modalReturned = false;
    Later(100, [&] {
        Later(100, [&] { nested.toolkit.LeaveAll(); });
        nested.toolkit.RunModal(*nested.view1);
        modalReturned = true;
    });
    EXPECT_TRUE(nested.Returns([&] { nested.toolkit.RunEventLoop(); }));
    EXPECT_TRUE(modalReturned);
    EXPECT_TRUE(nested.form2.Unloaded());
    EXPECT_FALSE(nested.SetupWindow().Open());
}

TEST(Win32WindowLoop, AJobsYieldKeepsTabAndTheAccessKeys) {
    Loops w;
    Win32Form1& window = w.SetupWindow();
    window.Show();
    Win32Process process;
    SetFocus(window.Control("Command3"));
    PostMessageA(window.Control("Command3"), WM_KEYDOWN, VK_TAB, 0);
    process.DoEvents();
    EXPECT_EQ(GetFocus(), window.Control("VScroll1")) << "Tab moves on from \"&OK\"";
    PostMessageA(GetFocus(), WM_SYSCHAR, 'c', 0);
    process.DoEvents();
    EXPECT_FALSE(window.Open()) << "Alt+C is \"&Cancel\"";
}

} // namespace
