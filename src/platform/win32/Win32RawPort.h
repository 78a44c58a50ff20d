#pragma once
// The printer port on Windows: opening a printer's Port starts a RAW document on the printer
// that has that port, so the bytes pass through no driver on their way to the device.
//
// The printer is the current one when its Port is the one opened, else the first with that Port.
// Open opens it (OpenPrinterA) and starts the document (StartDocPrinterA, datatype "RAW"): no
// such printer, one paused or being deleted, one that cannot be opened or that refuses the
// document is run-time error 52; a second Open before Close is 55. Write buffers and hands the
// spooler large blocks (WritePrinter); a broken transfer is 57 from Write or Close (EndDocPrinter).
// A port dropped without Close aborts the job (AbortPrinter), so nothing half-sent prints.
#include "platform/Printer.h"
#include "platform/RawPort.h"

#include <memory>
#include <string>

namespace papyra {

class Win32RawPort : public RawPort {
public:
    explicit Win32RawPort(Printers& printers);
    ~Win32RawPort() override;
    Win32RawPort(const Win32RawPort&) = delete;
    Win32RawPort& operator=(const Win32RawPort&) = delete;

    void Open(const std::string& port) override;
    void Write(const std::string& bytes) override;
    void Close() override;

private:
    std::string PrinterFor(const std::string& port);
    void Send(const char* data, size_t size);
    void Abort();

    Printers& printers_;
    void* printer_ = nullptr; // the spooler's handle while a document is open
    std::string subject_; // "PRINTER on PORT", what a failure names
    std::string pending_;
};

} // namespace papyra
