// Builds the platform, runs Main, and lives on in the event loop while a window is open.
#include "startup/Main.h"
#include "platform/SystemPlatform.h"
#include "ui/QtForms.h"
#include "ui/WindowHandler.h"

#include <QApplication>

int main(int argc, char** argv) {
    papyra::SystemPlatform::PrepareDisplay();
    QApplication app(argc, argv);
    papyra::SystemPlatform system({argv + 1, argv + argc});
    papyra::QtForms forms;
    papyra::Program program{system.platform(), forms, {}};
    forms.Attach(program);

    // Anything escaping Main is reported as a window handler reports it; only SETUP returns
    // with a window open.
    papyra::RunWindowHandler(system.platform(), [&] { papyra::Main(program); });
    if (auto end = papyra::PendingProgramEnd()) return end->exitCode;
    return papyra::RunMainEventLoop();
}
