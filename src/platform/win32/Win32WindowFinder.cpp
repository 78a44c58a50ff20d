#include "platform/win32/Win32WindowFinder.h"

#include "platform/win32/Windows.h"

#include <vector>

namespace papyra {

bool Win32WindowFinder::TopLevelWindowExists(const std::string& title) {
    // A NUL would cut the title short and match a window of another name.
    if (title.find('\0') != std::string::npos) return false;
    // FindWindowA matches titles without regard to case; the title is to match exactly, so each
    // window it finds is checked until one has the very title.
    std::vector<char> text(title.size() + 2);
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, title.c_str())) != nullptr) {
        const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
        if (length >= 0 && std::string(text.data(), static_cast<size_t>(length)) == title)
            return true;
    }
    return false;
}

} // namespace papyra
