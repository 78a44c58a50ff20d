#include "platform/SystemPlatform.h"

#include "platform/ini/IniProfile.h"
#include "platform/pdf/PdfFilePrinter.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/CupsRawPort.h"
#include "platform/unix/RegistryFile.h"
#include "platform/unix/UnixJournal.h"
#include "platform/unix/UnixLauncher.h"
#include "platform/unix/UnixProcess.h"
#include "platform/unix/UnixTextFiles.h"
#include "platform/unix/XcbWindowFinder.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace papyra {

namespace {

// Chooses the GUI platform before the application object exists: without a display the program
// runs headless, so print, TEST and UPDATE work on a server.
int PrepareDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Headless, stderr is where the user reads the program's messages: the toolkit's own chatter
    // (a runtime folder it would like, a font it substitutes) does not belong there.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    return 0;
}

} // namespace

struct SystemPlatform::Services {
    DeliveryNotice Notify() {
        return [this](const RuntimeError& failure) { Notice(failure); };
    }

    Services(int& argc, char** argv)
        : prepared(PrepareDisplay()), application(argc, argv),
          process(std::vector<std::string>(argv + 1, argv + argc)) {}

    // A document lost at its end is told as a spooler would tell it: a message box (headless, a
    // line on stderr) with the failure's description.
    void Notice(const RuntimeError& failure) {
        dialogs.MessageBox(failure.description(), MsgButtons::OK, MsgIcon::Critical, std::nullopt);
    }

    int prepared;
    QApplication application;
    QtDialogs dialogs;
    CupsPrinters printers{[this] { return std::make_unique<PdfFilePrinter>(Notify()); }, Notify()};
    CupsRawPort rawPort{printers};
    RegistryFile registry;
    IniProfile profile;
    QtSettingsStore settings;
    XcbWindowFinder windows;
    UnixLauncher launcher;
    UnixProcess process;
    UnixTextFiles files;
    UnixJournal journal;
    Platform platform{printers, rawPort, registry, profile, settings, windows,
                      launcher, dialogs, process,  files,   journal};
};

SystemPlatform::SystemPlatform(int& argc, char** argv)
    : services(std::make_unique<Services>(argc, argv)) {}

SystemPlatform::~SystemPlatform() = default;

Platform& SystemPlatform::platform() {
    return services->platform;
}

} // namespace papyra
