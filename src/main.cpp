// Builds this system's platform and windows, runs the program, returns its exit status.
#include "platform/SystemPlatform.h"
#include "startup/Run.h"
#include "ui/Toolkit.h"

int main(int argc, char** argv) {
    papyra::SystemPlatform system(argc, argv);
    const auto toolkit = papyra::MakeSystemToolkit();
    return papyra::RunProgram(system.platform(), *toolkit);
}
