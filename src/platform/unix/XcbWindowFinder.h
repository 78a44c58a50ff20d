#pragma once
#include "platform/WindowFinder.h"

namespace papyra {

// Top-level windows of the X display in $DISPLAY, through xcb. A window counts when its
// _NET_WM_NAME (UTF-8) or WM_NAME (Latin-1) is exactly the title. The search looks at the root
// windows' children and, for window managers that wrap clients in frames, at the children of
// those and one level further; without a window manager the clients are the root's children.
// No display, or one that cannot be reached: no window.
class XcbWindowFinder : public WindowFinder {
public:
    bool TopLevelWindowExists(const std::string& title) override;
};

// Empties the title of an X window of this display (WM_NAME and _NET_WM_NAME), which is what a
// window manager shows. Toolkits put the application's name where a window has no title; a
// window meant to have none gets this after it is shown. Does nothing without a display.
void EraseWindowTitle(unsigned long window);

} // namespace papyra
