#pragma once
// The installed printers on Windows: the spooler's local printers and printer connections
// (EnumPrintersA level 2), in its order, read once at construction. Until SetCurrent, the current
// printer is the system's default printer (GetDefaultPrinterA), else the first. There is no
// built-in printer: with none installed, Current is run-time error 482.
#include "platform/Printer.h"

#include <memory>
#include <vector>

namespace papyra {

class Win32Printers : public Printers {
public:
    Win32Printers();

    int Count() override { return static_cast<int>(printers_.size()); }
    Printer& Item(int index) override;
    void SetCurrent(int index) override;
    Printer& Current() override;

private:
    std::vector<std::unique_ptr<Printer>> printers_;
    Printer* current_ = nullptr;
    int defaultIndex_ = 0;
};

} // namespace papyra
