#pragma once
#include "startup/Program.h"

#include <string>

namespace papyra {

// Chooses the configured printer, has the capability profile written in UPDATE mode, and lays
// out the page: orientation, Courier New fitted so the 112- or 138-letter line just fits,
// LineHeight and an empty LineBuf. Ends the program in UPDATE mode. Handles no failure itself.
void SetupPrinter(Program& program);

// The position a configured name starts with: its leading decimal number, leading blanks
// skipped, a fraction cut off; 0 when it starts with no number. Out-of-range numbers stay out of
// range (they fail when used).
long long LeadingPosition(const std::string& name);

} // namespace papyra
