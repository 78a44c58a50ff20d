#pragma once
// The installed printers on a CUPS system: the destinations the server lists, in its order, then
// the built-in PDF printer last. The list is read once, at construction, and stays for the run.
// With no server to ask, the built-in printer is the only one.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

#include <functional>
#include <memory>
#include <vector>

namespace papyra {

class CupsPrinters : public Printers {
public:
    using BuiltInFactory = std::function<std::unique_ptr<Printer>()>;

    // The queues, then "Papyra PDF"; nobody is told of a lost document.
    CupsPrinters();
    // The queues, then the printer builtIn makes (none when it is empty). A queue's document lost
    // at its end is told through notice.
    explicit CupsPrinters(const BuiltInFactory& builtIn, const DeliveryNotice& notice = {});

    int Count() override { return static_cast<int>(printers.size()); }
    Printer& Item(int index) override;
    void SetCurrent(int index) override;
    Printer& Current() override;

private:
    std::vector<std::unique_ptr<Printer>> printers;
    Printer* current = nullptr;
    int defaultIndex = 0;
};

} // namespace papyra
