// Answers a window of papyra.exe as its user would, for the end-to-end test: waits for a shown
// top-level window whose title is exactly TITLE, prints what it says (a message box's text) and
// the captions of its shown buttons, one a line, then clicks the button captioned exactly BUTTON.
// Started without arguments, as a stand-in for Harvex, it only leaves a file beside itself, named
// as it is with ".started" added, to tell that it was started.
//
//   papyra_press_button TITLE BUTTON
// Exit 1 when no such window is shown within 110 s (a loaded machine can take that long; the
// program under test is stopped at 120 s), or it has no such button.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// A message box's text is the static control of this id, as Windows lays the box out.
constexpr int MessageTextId = 0xFFFF;

std::string Text(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Search {
    std::string wanted;
    HWND found = nullptr;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM search) {
    auto& s = *reinterpret_cast<Search*>(search);
    if (!IsWindowVisible(window) || Text(window) != s.wanted) return TRUE;
    s.found = window;
    return FALSE;
}

BOOL CALLBACK FindButton(HWND control, LPARAM search) {
    char kind[16] = "";
    GetClassNameA(control, kind, sizeof kind);
    if (lstrcmpiA(kind, "Button") != 0 || !IsWindowVisible(control)) return TRUE;
    auto& s = *reinterpret_cast<Search*>(search);
    const std::string caption = Text(control);
    std::printf("%s\n", caption.c_str());
    if (caption == s.wanted && !s.found) s.found = control;
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        char path[MAX_PATH] = "";
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH - 9);
        lstrcpyA(path + length, ".started");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return 0;
    }
    if (argc != 3) return 2;
    Search window{argv[1]};
    for (int tries = 0; tries < 1100 && !window.found; ++tries) {
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&window));
        if (!window.found) Sleep(100);
    }
    if (!window.found) {
        std::fprintf(stderr, "no window \"%s\" shown\n", argv[1]);
        return 1;
    }
    if (HWND message = GetDlgItem(window.found, MessageTextId))
        std::printf("%s\n", Text(message).c_str());
    Search button{argv[2]};
    EnumChildWindows(window.found, FindButton, reinterpret_cast<LPARAM>(&button));
    std::fflush(stdout);
    if (!button.found) {
        std::fprintf(stderr, "no button \"%s\" in \"%s\"\n", argv[2], argv[1]);
        return 1;
    }
    // Posted, so a window that goes on to show another box does not hold this program up.
    PostMessageA(button.found, BM_CLICK, 0, 0);
    return 0;
}
