// Sets a printer's default DEVMODE fields, as an administrator does in the printer's properties:
// Wine's PostScript driver does not carry a PPD's default input slot, colour model or resolution
// into the DEVMODE it makes, so the end-to-end test sets them as the queue's PPD has them.
//
//   papyra_printer_defaults PRINTER SOURCE COLOR QUALITY
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: papyra_printer_defaults PRINTER SOURCE COLOR QUALITY\n");
        return 2;
    }
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(argv[1], &printer, &access)) {
        std::fprintf(stderr, "cannot open %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed) || !info->pDevMode) {
        std::fprintf(stderr, "no settings for %s: %lu\n", argv[1], GetLastError());
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
