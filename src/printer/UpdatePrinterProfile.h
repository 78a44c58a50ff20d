#pragma once
#include "startup/Program.h"

namespace papyra {

// Records the current printer's six capabilities in section "Printer" of the profile, each as a
// text and as its code, read before the page layout changes the printer.
void UpdatePrinterProfile(Program& program);

} // namespace papyra
