#include "ui/win32/Win32Toolkit.h"

#include "platform/win32/Win32Dialogs.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32Form2.h"

#include <algorithm>

namespace papyra {

namespace {

// Runs one message; false when there is none to come (WM_QUIT, put back for the loop outside).
bool RunOneMessage() {
    MSG message;
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (got == -1) return false;
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top && DesignedWindow::IsDesignedWindow(top) && IsDialogMessageA(top, &message))
        return true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

bool AnyWindowShown() {
    const auto& windows = DesignedWindow::All();
    return std::any_of(windows.begin(), windows.end(), [](DesignedWindow* window) {
        return window->Open() && IsWindowVisible(window->Handle());
    });
}

} // namespace

std::unique_ptr<Form1View> Win32Toolkit::CreateSetupWindow(Form1& form) {
    return std::make_unique<Win32Form1>(form);
}

std::unique_ptr<Form2View> Win32Toolkit::CreateReviewWindow(Form2& form) {
    return std::make_unique<Win32Form2>(form);
}

void Win32Toolkit::RunModal(Form1View& window) {
    auto& form1 = dynamic_cast<Win32Form1&>(window);
    if (form1.Unloaded() || !form1.Open()) return;
    win32::OtherWindowsDisabled others(form1.Handle());
    form1.BeforeUnload([&others] { others.Restore(); });
    form1.Show();
    while (!form1.Unloaded() && form1.Open() && RunOneMessage()) {
    }
    form1.BeforeUnload(nullptr);
}

void Win32Toolkit::RunEventLoop() {
    while (AnyWindowShown() && RunOneMessage()) {
    }
}

void Win32Toolkit::LeaveAll() {
    // Every loop waits for a window: with the windows gone, each returns once its current
    // message is done.
    const std::vector<DesignedWindow*> windows = DesignedWindow::All();
    for (DesignedWindow* window : windows)
        window->Leave();
    // A loop waiting in GetMessage looks at its condition again.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

std::unique_ptr<Toolkit> MakeSystemToolkit() {
    return std::make_unique<Win32Toolkit>();
}

} // namespace papyra
