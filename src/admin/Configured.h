#pragma once
// What papyra's printer selection makes of the registry right now, for the commands that show
// or change it.
#include "platform/Printer.h"
#include "printer/SetupPrinter.h"

#include <optional>
#include <string>

namespace papyra::admin {

struct Configured {
    std::string registryFile;            // the file papyra reads
    std::string registryRule;            // which setting named it
    std::string value;                   // DeviceName, ANSI, "" when nothing usable is stored
    std::optional<PrinterChoice> choice; // nothing: papyra ends before choosing
    std::string failure;                 // why, then
};

Configured ReadConfigured(Printers& printers);

// "by name", "by position N", "position 0: nothing configured".
std::string Why(const PrinterChoice& choice);

// A printer named on the command line (UTF-8): its exact DeviceName first, else a position; -1
// when it names none.
int FindPrinter(Printers& printers, const std::string& nameOrPosition);

// Whether text is a position: decimal digits only.
bool IsPosition(const std::string& text);

// ANSI text for the terminal and JSON.
std::string Shown(const std::string& ansi);

} // namespace papyra::admin
