#pragma once
// The page a printer of this platform draws on, for drawing its pages somewhere else.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

namespace papyra {

// The portrait page and printable area: a CUPS queue's default media, the built-in printer's
// locale paper. A queue that cannot be asked is the error its codes give (482); a printer this
// platform did not make is run-time error 5.
PageGeometry PageOf(Printer& printer);

} // namespace papyra
