#pragma once
#include "startup/Program.h"

#include <string>

namespace papyra {

// Chooses the configured printer, has the capability profile written in UPDATE mode, and lays
// out the page: orientation, Courier New fitted so the 112- or 138-letter line just fits,
// LineHeight and an empty LineBuf. Ends the program in UPDATE mode. Handles no failure itself.
void SetupPrinter(Program& program);

// Which printer a configured name picks, and why.
struct PrinterChoice {
    enum class By {
        Nothing,  // no name configured: position 0
        Name,     // a printer's DeviceName equals the name exactly
        Position, // no name matched: the position the name starts with
    };
    int index = 0;
    By by = By::Nothing;
    long long position = 0; // where the walk started
};

// The choice SetupPrinter makes, without making it current: the position the name starts with
// (run-time error 9 when no printer stands there, even if one bears the name), then the first
// printer whose DeviceName equals the name exactly.
PrinterChoice ChooseConfiguredPrinter(Printers& printers, const std::string& configured);

// The page layout of SetupPrinter on the current printer, for PageOrientation: orientation, the
// fitted Courier New, LineHeight, an empty LineBuf.
void LayOutPage(Program& program);

// The position a configured name starts with: its leading decimal number, leading blanks
// skipped, a fraction cut off; 0 when it starts with no number. Out-of-range numbers stay out of
// range (they fail when used).
long long LeadingPosition(const std::string& name);

} // namespace papyra
