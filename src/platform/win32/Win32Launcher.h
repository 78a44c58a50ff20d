#pragma once
// Starting a program on Windows: the shell's "open" verb, maximized, without waiting. A path that
// names no file (or names a folder) is run-time error 53; a program the shell cannot start is 70.
#include "platform/Launcher.h"

namespace papyra {

class Win32Launcher : public Launcher {
public:
    void Launch(const std::string& path) override;
};

} // namespace papyra
