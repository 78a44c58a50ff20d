#include "platform/unix/CupsPrinters.h"

#include "platform/RuntimeError.h"
#include "platform/pdf/PdfFilePrinter.h"
#include "platform/unix/CupsConnection.h"
#include "platform/unix/CupsPrinter.h"

#include <cups/cups.h>

namespace papyra {

using namespace cups;

CupsPrinters::CupsPrinters() : CupsPrinters([] { return std::make_unique<PdfFilePrinter>(); }) {}

CupsPrinters::CupsPrinters(const BuiltInFactory& builtIn, const DeliveryNotice& notice) {
    cups_dest_t* dests = nullptr;
    // Our own connection, so a server that does not answer costs seconds, not minutes; none at
    // all leaves the built-in printer alone.
    const Http http = Connect();
    const int count = http ? cupsGetDests2(http.get(), &dests) : 0;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        // An lpoptions instance is the same queue under another name with other options; the
        // program names a printer by its queue, so each queue appears once.
        if (dest.instance) continue;
        if (dest.is_default) defaultIndex = static_cast<int>(printers.size());
        printers.push_back(
            std::make_unique<CupsPrinter>(dest.name, DestOption(&dest, "printer-make-and-model"),
                                          DestOption(&dest, "device-uri"), notice));
    }
    cupsFreeDests(count, dests);
    if (builtIn) printers.push_back(builtIn());
}

Printer& CupsPrinters::Item(int index) {
    if (index < 0 || index >= Count()) throw RuntimeError(9);
    return *printers[static_cast<std::size_t>(index)];
}

void CupsPrinters::SetCurrent(int index) {
    current = &Item(index);
}

Printer& CupsPrinters::Current() {
    // Until a printer is chosen the program's printer is the system's default one, as a new
    // process's printer object is.
    if (!current && !printers.empty()) current = &Item(defaultIndex);
    if (!current) throw RuntimeError(482);
    return *current;
}

} // namespace papyra
