#include "platform/SystemPlatform.h"

#include "platform/pdf/PdfFilePrinter.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/CupsRawPort.h"
#include "platform/unix/IniProfile.h"
#include "platform/unix/RegistryFile.h"
#include "platform/unix/UnixLauncher.h"
#include "platform/unix/UnixProcess.h"
#include "platform/unix/UnixTextFiles.h"
#include "platform/unix/XcbWindowFinder.h"

#include <cstdlib>

namespace papyra {

struct SystemPlatform::Services {
    explicit Services(std::vector<std::string> args) : process(std::move(args)) {}

    CupsPrinters printers{[] { return std::make_unique<PdfFilePrinter>(); }};
    CupsRawPort rawPort{printers};
    RegistryFile registry;
    IniProfile profile;
    QtSettingsStore settings;
    XcbWindowFinder windows;
    UnixLauncher launcher;
    QtDialogs dialogs;
    UnixProcess process;
    UnixTextFiles files;
    Platform platform{printers, rawPort,  registry, profile, settings,
                      windows,  launcher, dialogs,  process, files};
};

void SystemPlatform::PrepareDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

SystemPlatform::SystemPlatform(std::vector<std::string> args)
    : services(std::make_unique<Services>(std::move(args))) {}

SystemPlatform::~SystemPlatform() = default;

Platform& SystemPlatform::platform() {
    return services->platform;
}

} // namespace papyra
