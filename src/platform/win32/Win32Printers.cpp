#include "platform/win32/Win32Printers.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Printer.h"
#include "platform/win32/Windows.h"

namespace papyra {

namespace {

std::vector<BYTE> EnumerateInstalled(DWORD& count) {
    constexpr DWORD Flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> buffer;
    DWORD needed = 0;
    // A printer installed between the two calls needs a larger buffer: ask again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        count = 0;
        if (EnumPrintersA(Flags, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()),
                          &needed, &count))
            return buffer;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        buffer.resize(needed);
    }
    count = 0;
    return {};
}

std::string DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return "";
    std::string name(size, '\0');
    if (!GetDefaultPrinterA(name.data(), &size)) return "";
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

} // namespace

Win32Printers::Win32Printers() {
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumerateInstalled(count);
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    const std::string defaultName = DefaultPrinterName();
    for (DWORD i = 0; i < count; ++i) {
        auto text = [](const char* value) { return std::string(value ? value : ""); };
        if (text(info[i].pPrinterName) == defaultName) defaultIndex_ = static_cast<int>(i);
        printers_.push_back(std::make_unique<Win32Printer>(
            text(info[i].pPrinterName), text(info[i].pDriverName), text(info[i].pPortName)));
    }
}

Printer& Win32Printers::Item(int index) {
    if (index < 0 || index >= Count()) throw RuntimeError(9);
    return *printers_[static_cast<size_t>(index)];
}

void Win32Printers::SetCurrent(int index) {
    current_ = &Item(index);
}

Printer& Win32Printers::Current() {
    if (!current_ && !printers_.empty()) current_ = &Item(defaultIndex_);
    if (!current_) throw RuntimeError(482);
    return *current_;
}

} // namespace papyra
