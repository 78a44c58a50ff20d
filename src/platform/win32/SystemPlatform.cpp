#include "platform/SystemPlatform.h"

#include "platform/ini/IniProfile.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Journal.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32RawPort.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32TextFiles.h"
#include "platform/win32/Win32WindowFinder.h"

namespace papyra {

// The command line is read from the system (GetCommandLineA), as it came, rather than from the C
// runtime's split of it; so argc and argv go unused here.
struct SystemPlatform::Services {
    Win32Printers printers;
    Win32RawPort rawPort{printers};
    Win32Registry registry;
    IniProfile profile;
    Win32SettingsStore settings;
    Win32WindowFinder windows;
    Win32Launcher launcher;
    Win32Dialogs dialogs;
    Win32Process process;
    Win32TextFiles files;
    Win32Journal journal;
    Platform platform{printers, rawPort, registry, profile, settings, windows,
                      launcher, dialogs, process,  files,   journal};
};

SystemPlatform::SystemPlatform(int&, char**) : services(std::make_unique<Services>()) {}

SystemPlatform::~SystemPlatform() = default;

Platform& SystemPlatform::platform() {
    return services->platform;
}

} // namespace papyra
