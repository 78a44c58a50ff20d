#pragma once
// Starting another program without waiting for it.
#include <string>

namespace papyra {

class Launcher {
public:
    virtual ~Launcher() = default;
    // path is a Windows path ("C:\harvex96\harvex.exe"). Starts it, maximized and activated where
    // the platform allows, and returns at once. Run-time error 53 when the program does not
    // exist, 70 when it cannot be started.
    virtual void Launch(const std::string& path) = 0;
};

} // namespace papyra
