#include "platform/win32/Win32Launcher.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Windows.h"

#include <cstdint>

namespace papyra {

void Win32Launcher::Launch(const std::string& path) {
    const DWORD attributes = path.find('\0') == std::string::npos ? GetFileAttributesA(path.c_str())
                                                                  : INVALID_FILE_ATTRIBUTES;
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw RuntimeError(53).About(path);
    const auto result = reinterpret_cast<intptr_t>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    if (result > 32) return;
    const bool missing = result == SE_ERR_FNF || result == SE_ERR_PNF;
    throw RuntimeError(missing ? 53 : 70).About(path);
}

} // namespace papyra
