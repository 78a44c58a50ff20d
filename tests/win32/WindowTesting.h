#pragma once
// What the window tests share: both windows made by the toolkit for their logic on the fakes,
// messages run as the toolkit runs them, and work done later from inside whatever loop runs.
#include "fakes/FakePlatform.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"
#include "ui/win32/Win32Toolkit.h"

#include <functional>
#include <map>

namespace papyra::testing {

// A laser printer on LPT1:, one on a long device URI, a dot-matrix printer (tractor feed) on
// LPT2:, and both windows loaded, not shown.
struct Windows {
    Windows() {
        world.printers.Add("Accounts Laser",
                           "ipp://printserver.example:631/printers/accounts-laser");
        world.printers.Add("Epson LQ", "LPT2:").paperBin = 8;
        form1.Attach(SetupWindow());
        form1.Load();
        form2.Attach(ReviewWindow());
    }
    Win32Form1& SetupWindow() { return dynamic_cast<Win32Form1&>(*view1); }
    Win32Form2& ReviewWindow() { return dynamic_cast<Win32Form2&>(*view2); }

    fakes::World world;
    Win32Toolkit toolkit;
    Form1 form1{world.program};
    std::unique_ptr<Form1View> view1 = toolkit.CreateSetupWindow(form1);
    Form2 form2{world.program};
    std::unique_ptr<Form2View> view2 = toolkit.CreateReviewWindow(form2);
};

// Runs the messages waiting now and those that arrive within milliseconds.
inline void RunMessages(int milliseconds = 30) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
            if (top && DesignedWindow::IsDesignedWindow(top) && IsDialogMessageA(top, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (static_cast<int>(until - GetTickCount()) > 0);
}

inline std::map<UINT_PTR, std::function<void()>> laterWork;

// Runs what once, after milliseconds, from the loop that runs messages then; Cancel(the result)
// forgets it.
inline UINT_PTR Later(int milliseconds, std::function<void()> what) {
    const UINT_PTR timer = SetTimer(
        nullptr, 0, static_cast<UINT>(milliseconds), [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
            KillTimer(nullptr, id);
            if (auto run = std::move(laterWork[id]); laterWork.erase(id) && run) run();
        });
    laterWork[timer] = std::move(what);
    return timer;
}

inline void Cancel(UINT_PTR later) {
    KillTimer(nullptr, later);
    laterWork.erase(later);
}

} // namespace papyra::testing
