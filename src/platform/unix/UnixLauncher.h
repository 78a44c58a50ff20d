#pragma once
#include "platform/Launcher.h"

namespace papyra {

// Starts a program named by a Windows path, detached: it is never waited for and leaves no
// zombie behind. The path maps below drive C: (WindowsPath.h). A Windows executable (a file that
// starts with "MZ") runs through `wine start /max`, so it opens maximized; a native executable
// runs directly, where no window manager hint can ask for maximized.
//
// Errors: 53 when the program does not exist (or is no file); 70 when it cannot be started: a
// Windows program with no `wine` on PATH, a native file without execute permission, or an exec
// that fails.
class UnixLauncher : public Launcher {
public:
    void Launch(const std::string& path) override;
};

} // namespace papyra
