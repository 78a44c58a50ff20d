#pragma once
// What the window tests share: messages run as the toolkit runs them, and work done later from
// inside whatever loop is running then (a modal display, a message box).
#include "fakes/FakePlatform.h"
#include "platform/win32/Windows.h"
#include "ui/win32/Win32Design.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

namespace papyra::testing {

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

inline std::map<UINT_PTR, std::function<void()>>& LaterWork() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

inline void CALLBACK RunLaterWork(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = LaterWork().find(id);
    if (found == LaterWork().end()) return;
    auto run = std::move(found->second);
    LaterWork().erase(found);
    run();
}

// Runs what once, after milliseconds, from the loop that runs messages then. Returns what
// Cancel takes.
inline UINT_PTR Later(int milliseconds, std::function<void()> what) {
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), RunLaterWork);
    LaterWork()[timer] = std::move(what);
    return timer;
}

inline void Cancel(UINT_PTR later) {
    KillTimer(nullptr, later);
    LaterWork().erase(later);
}

// Input as the user gives it, through the system's input queue to whatever is at the cursor or
// has the keyboard.
inline void ClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    RunMessages(100);
}

inline void Press(WORD key) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    RunMessages(100);
}

// The world of the window tests: a laser printer on LPT1:, one on a long device URI, and a
// dot-matrix printer (tractor feed) on LPT2:.
struct WindowWorld {
    WindowWorld() {
        world.printers.Add("Accounts Laser",
                           "ipp://printserver.example:631/printers/accounts-laser");
        world.printers.Add("Epson LQ", "LPT2:").paperBin = 8;
    }
    fakes::World world;
};

// The pixels of a window's client area as they are on screen now, column by column.
inline std::vector<COLORREF> PixelsOf(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT area;
    GetClientRect(window, &area);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int x = 0; x < area.right; ++x)
        for (int y = 0; y < area.bottom; ++y)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

// How far apart two pictures of one size are: the mean difference of their colour channels, 0
// (the same) to 255 (black against white).
inline double Difference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF));
    return a.empty() ? 0 : sum / (3.0 * static_cast<double>(a.size()));
}

inline COLORREF PixelOf(HWND window, int x, int y) {
    RECT area;
    GetClientRect(window, &area);
    return PixelsOf(window).at(static_cast<size_t>(x * area.bottom + y));
}

} // namespace papyra::testing
