#pragma once
// The real platform services of this operating system, owned together for one run.
#include "platform/Platform.h"

#include <memory>

namespace papyra {

class SystemPlatform {
public:
    // The program's own arguments, as main() receives them. On a system whose GUI runtime needs
    // an application object, it is made here, before any service uses it.
    SystemPlatform(int& argc, char** argv);
    ~SystemPlatform();
    Platform& platform();

private:
    struct Services;
    std::unique_ptr<Services> services;
};

} // namespace papyra
