#pragma once
#include "platform/Printer.h"
#include "startup/Program.h"

#include <string>

namespace papyra {

// Puts one print file on paper through the current printer: a tractor-fed printer (PaperBin 8)
// gets the raw ESC/P stream on its port, any other printer the drawn pages. The caller ends the
// document. Every failure goes to the engine's own handler: the description in a message box,
// and for error 52 the offer to set up a printer, after which Main runs again.
void PrintReportFile(Program& program, const std::string& path);

// Draws one line character by character at the current position, turning the dot-matrix
// emphasis codes into font changes that stay on the printer. A failing step is skipped.
void PrintCodedLine(Printer& printer, const std::string& line);

} // namespace papyra
