// papyra-admin printers: the printers as papyra sees them, with what UPDATE would record.
#include "admin/Commands.h"
#include "admin/Configured.h"

#include "platform/RuntimeError.h"
#include "platform/unix/CupsPrinters.h"
#include "printer/CapabilityText.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <vector>

namespace papyra::admin {

namespace {

using Json = nlohmann::ordered_json;

struct Code {
    const char* key;   // in JSON
    const char* label; // on screen
    int16_t code;
    std::string text;
};

// The six codes and texts UPDATE records, in its order; an error instead when the printer
// cannot say.
struct Capabilities {
    std::vector<Code> codes;
    std::optional<RuntimeError> failure;
};

Capabilities Read(Printer& printer) {
    Capabilities read;
    try {
        const int16_t size = printer.PaperSize(), orientation = printer.Orientation(),
                      bin = printer.PaperBin(), copies = printer.Copies(),
                      color = printer.ColorMode(), quality = printer.PrintQuality();
        read.codes = {
            {"paperSize", "paper size", size, PaperSizeText(size)},
            {"orientation", "orientation", orientation, OrientationText(orientation)},
            {"paperSource", "paper source", bin, PaperBinText(bin)},
            {"copies", "copies", copies, CopiesText(copies)},
            {"colorMode", "colour mode", color, ColorModeText(color)},
            {"printQuality", "print quality", quality, PrintQualityText(quality)},
        };
    } catch (const RuntimeError& failure) {
        read.failure = failure;
    }
    return read;
}

std::string Failure(const RuntimeError& failure) {
    std::string text =
        "run-time error " + std::to_string(failure.number) + " (" + failure.description() + ")";
    return failure.subject.empty() ? text : text + ": " + Shown(failure.subject);
}

// A tractor feed gets the report's bytes; everything else gets drawn pages.
const char* PathOf(const Capabilities& read) {
    for (const Code& code : read.codes)
        if (std::string(code.key) == "paperSource") return code.code == 8 ? "raw" : "drawn";
    return "";
}

} // namespace

int ListPrinters(bool json) {
    CupsPrinters printers;
    const Configured configured = ReadConfigured(printers);
    bool unreadable = false;

    Json list = Json::array();
    std::string text;
    for (int i = 0; i < printers.Count(); ++i) {
        Printer& printer = printers.Item(i);
        const Capabilities read = Read(printer);
        unreadable |= read.failure.has_value();
        const bool chosen = configured.choice && configured.choice->index == i;

        Json entry = {{"position", i},
                      {"deviceName", Shown(printer.DeviceName())},
                      {"driver", Shown(printer.DriverName())},
                      {"port", Shown(printer.Port())},
                      {"configured", chosen}};
        text += std::string(chosen ? "* " : "  ") + std::to_string(i) + "  " +
                Shown(printer.DeviceName()) +
                (chosen ? "    (configured: " + Why(*configured.choice) + ")" : "") + "\n";
        text += "     driver         " + Shown(printer.DriverName()) + "\n";
        text += "     port           " + Shown(printer.Port()) + "\n";
        if (read.failure) {
            entry["error"] = {{"number", read.failure->number},
                              {"text", read.failure->description()},
                              {"subject", Shown(read.failure->subject)}};
            text += "     codes          cannot be read: " + Failure(*read.failure) + "\n";
        } else {
            const std::string path = PathOf(read);
            entry["path"] = path;
            text += "     path           " +
                    (path == "raw" ? std::string("raw: the report's bytes as ESC/P (tractor feed)")
                                   : std::string("drawn: pages in Courier New")) +
                    "\n";
            for (const Code& code : read.codes) {
                entry[code.key] = {{"code", code.code}, {"text", code.text}};
                char line[160];
                std::snprintf(line, sizeof line, "     %-14s %-5d %s\n", code.label, code.code,
                              code.text.c_str());
                text += line;
            }
        }
        list.push_back(entry);
    }

    Json choice = nullptr;
    if (configured.choice)
        choice = {{"position", configured.choice->index},
                  {"by", configured.choice->by == PrinterChoice::By::Name       ? "name"
                         : configured.choice->by == PrinterChoice::By::Position ? "position"
                                                                                : "nothing"},
                  {"why", Why(*configured.choice)}};
    if (json) {
        Json all = {{"registryFile", configured.registryFile},
                    {"deviceName", Shown(configured.value)},
                    {"configured", choice}};
        if (!configured.failure.empty()) all["problem"] = configured.failure;
        all["printers"] = list;
        std::cout << all.dump(2) << "\n";
    } else {
        std::cout << "Registry file: " << configured.registryFile << " (" << configured.registryRule
                  << ")\n"
                  << "DeviceName:    "
                  << (configured.value.empty() ? "(none)" : "\"" + Shown(configured.value) + "\"")
                  << "\n\n"
                  << text;
        if (!configured.failure.empty()) std::cout << "\nProblem: " << configured.failure << "\n";
    }
    return configured.failure.empty() && !unreadable ? Fine : Problem;
}

} // namespace papyra::admin
