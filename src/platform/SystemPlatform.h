#pragma once
// The real platform services of this operating system, owned together for one run.
#include "platform/Platform.h"

#include <memory>
#include <string>
#include <vector>

namespace papyra {

class SystemPlatform {
public:
    // Chooses the GUI platform before the application object exists: without a display the
    // program runs headless, so print, TEST and UPDATE work on a server.
    static void PrepareDisplay();

    // args: the command line's words after the program's name.
    explicit SystemPlatform(std::vector<std::string> args);
    ~SystemPlatform();
    Platform& platform();

private:
    struct Services;
    std::unique_ptr<Services> services;
};

} // namespace papyra
