#pragma once
// Top-level window search on Windows: FindWindowA with no window class.
#include "platform/WindowFinder.h"

namespace papyra {

class Win32WindowFinder : public WindowFinder {
public:
    bool TopLevelWindowExists(const std::string& title) override;
};

} // namespace papyra
