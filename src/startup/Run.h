#pragma once
// The program from start to finish on a platform and a toolkit: Main, then the event loop while
// a window is open, then the job log's line. Returns the exit status.
#include "platform/Platform.h"
#include "ui/Toolkit.h"

namespace papyra {

int RunProgram(Platform& platform, Toolkit& toolkit);

} // namespace papyra
