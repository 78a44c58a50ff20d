#pragma once
// Top-level window search (FindWindowA with no window class).
#include <string>

namespace papyra {

class WindowFinder {
public:
    virtual ~WindowFinder() = default;
    // True when a top-level window's title is exactly title (case and blanks count). Without a
    // display there is no window. Never fails.
    virtual bool TopLevelWindowExists(const std::string& title) = 0;
};

} // namespace papyra
