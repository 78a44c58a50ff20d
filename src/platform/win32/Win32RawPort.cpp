#include "platform/win32/Win32RawPort.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Handle.h"

#include <algorithm>
#include <vector>

namespace papyra {

using namespace win32;

namespace {

// Large enough that a long report goes out in few requests, small enough to stay unnoticed.
constexpr size_t BufferSize = 64 * 1024;

// A printer the spooler holds back or is removing: its jobs would not print now.
bool Held(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return false;
    const DWORD status = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data())->Status;
    return status & (PRINTER_STATUS_PAUSED | PRINTER_STATUS_PENDING_DELETION);
}

} // namespace

Win32RawPort::Win32RawPort(Printers& printers) : printers_(printers) {}

Win32RawPort::~Win32RawPort() {
    Abort();
}

std::string Win32RawPort::PrinterFor(const std::string& port) {
    try {
        Printer& current = printers_.Current();
        if (current.Port() == port) return current.DeviceName();
    } catch (const RuntimeError&) {
        // No current printer: any printer on this port will do.
    }
    for (int i = 0; i < printers_.Count(); ++i)
        if (printers_.Item(i).Port() == port) return printers_.Item(i).DeviceName();
    return "";
}

void Win32RawPort::Open(const std::string& port) {
    if (printer_) throw RuntimeError(55);
    const std::string name = PrinterFor(port);
    if (name.empty()) throw RuntimeError(52).About(port);
    PrinterHandle printer(name);
    if (!printer || Held(printer.get())) throw RuntimeError(52).About(name + " on " + port);
    DOC_INFO_1A document{const_cast<char*>("Papyra"), nullptr, const_cast<char*>("RAW")};
    if (StartDocPrinterA(printer.get(), 1, reinterpret_cast<BYTE*>(&document)) == 0)
        throw RuntimeError(52).About(name + " on " + port);
    // The document is open: from here on the handle is closed by Close or Abort.
    printer_ = printer.release();
    subject_ = name + " on " + port;
    pending_.clear();
    pending_.reserve(BufferSize);
}

void Win32RawPort::Send(const char* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        if (!WritePrinter(printer_, const_cast<char*>(data), chunk, &written) || written == 0) {
            Abort();
            throw RuntimeError(57).About(subject_);
        }
        data += written;
        size -= written;
    }
}

void Win32RawPort::Write(const std::string& bytes) {
    if (!printer_) throw RuntimeError(52);
    if (pending_.size() + bytes.size() < BufferSize) {
        pending_ += bytes;
        return;
    }
    Send(pending_.data(), pending_.size());
    pending_.clear();
    // A big block goes out as it is rather than through the buffer.
    if (bytes.size() >= BufferSize)
        Send(bytes.data(), bytes.size());
    else
        pending_ = bytes;
}

void Win32RawPort::Close() {
    if (!printer_) throw RuntimeError(52);
    Send(pending_.data(), pending_.size());
    pending_.clear();
    if (!EndDocPrinter(printer_)) {
        Abort();
        throw RuntimeError(57).About(subject_);
    }
    ClosePrinter(std::exchange(printer_, nullptr));
}

void Win32RawPort::Abort() {
    if (!printer_) return;
    AbortPrinter(printer_);
    ClosePrinter(std::exchange(printer_, nullptr));
    pending_.clear();
}

} // namespace papyra
