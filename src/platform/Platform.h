#pragma once
// The platform services the program reaches the operating system through, bundled and passed
// down. The program owns no other link to the OS.
#include "platform/Dialogs.h"
#include "platform/Journal.h"
#include "platform/Launcher.h"
#include "platform/Printer.h"
#include "platform/PrivateProfile.h"
#include "platform/Process.h"
#include "platform/RawPort.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/TextFiles.h"
#include "platform/WindowFinder.h"

namespace papyra {

struct Platform {
    Printers& printers;
    RawPort& rawPort;
    Registry& registry;
    PrivateProfile& profile;
    SettingsStore& settings;
    WindowFinder& windows;
    Launcher& launcher;
    Dialogs& dialogs;
    Process& process;
    TextFiles& files;
    Journal& journal;
};

} // namespace papyra
