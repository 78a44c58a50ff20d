#include "platform/win32/Win32WindowFinder.h"

#include "platform/win32/Windows.h"

namespace papyra {

bool Win32WindowFinder::TopLevelWindowExists(const std::string& title) {
    // A NUL would cut the title short and match a window of another name.
    if (title.find('\0') != std::string::npos) return false;
    return FindWindowA(nullptr, title.c_str()) != nullptr;
}

} // namespace papyra
