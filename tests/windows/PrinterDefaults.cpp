// Sets a printer's default DEVMODE fields, as an administrator does in the printer's properties:
// Wine's PostScript driver does not carry a PPD's default input slot, colour model or resolution
// into the DEVMODE it makes, so the end-to-end test sets them as the queue's PPD has them. Given
// a PORT and an installed printer LIKE, PRINTER is first added on PORT with LIKE's driver, as an
// administrator adds a second printer of a model already there.
//
//   papyra_printer_defaults PRINTER SOURCE COLOR QUALITY [PORT LIKE]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<BYTE> Settings(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return {};
    return buffer;
}

bool Add(char* name, char* port, char* like) {
    HANDLE model = nullptr;
    if (!OpenPrinterA(like, &model, nullptr)) return false;
    std::vector<BYTE> buffer = Settings(model);
    ClosePrinter(model);
    if (buffer.empty()) return false;
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    info->pPrinterName = name;
    info->pPortName = port;
    info->pDevMode = nullptr; // the driver's own, for the new printer
    info->pSecurityDescriptor = nullptr;
    HANDLE added = AddPrinterA(nullptr, 2, buffer.data());
    if (added) ClosePrinter(added);
    return added != nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 7) {
        std::fprintf(stderr,
                     "usage: papyra_printer_defaults PRINTER SOURCE COLOR QUALITY [PORT LIKE]\n");
        return 2;
    }
    if (argc == 7 && !Add(argv[1], argv[5], argv[6])) {
        std::fprintf(stderr, "cannot add %s on %s: %lu\n", argv[1], argv[5], GetLastError());
        return 1;
    }
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(argv[1], &printer, &access)) {
        std::fprintf(stderr, "cannot open %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    std::vector<BYTE> buffer = Settings(printer);
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    if (buffer.empty() || !info->pDevMode) {
        std::fprintf(stderr, "no settings for %s: %lu\n", argv[1], GetLastError());
        ClosePrinter(printer);
        return 1;
    }
    DEVMODEA& mode = *info->pDevMode;
    mode.dmDefaultSource = static_cast<short>(std::atoi(argv[2]));
    mode.dmColor = static_cast<short>(std::atoi(argv[3]));
    mode.dmPrintQuality = mode.dmYResolution = static_cast<short>(std::atoi(argv[4]));
    mode.dmFields |= DM_DEFAULTSOURCE | DM_COLOR | DM_PRINTQUALITY | DM_YRESOLUTION;
    info->pSecurityDescriptor = nullptr; // left as it is
    const bool set = SetPrinterA(printer, 2, buffer.data(), 0);
    ClosePrinter(printer);
    if (!set) std::fprintf(stderr, "cannot set %s: %lu\n", argv[1], GetLastError());
    return set ? 0 : 1;
}
