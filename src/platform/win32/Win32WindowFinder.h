#pragma once
// Top-level window search on Windows: FindWindowExA with no window class, the title then compared
// exactly (the system compares it without regard to case).
#include "platform/WindowFinder.h"

namespace papyra {

class Win32WindowFinder : public WindowFinder {
public:
    bool TopLevelWindowExists(const std::string& title) override;
};

} // namespace papyra
