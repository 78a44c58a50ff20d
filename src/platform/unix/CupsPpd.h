#pragma once
// What a queue's PPD says about its defaults. IPP publishes no paper-source default for a PPD
// queue, so the PPD itself, with its defaults marked, is where the InputSlot comes from.
#include "platform/pdf/PdfSurface.h"

#include <cups/cups.h>

#include <optional>
#include <string>

namespace papyra::cups {

struct PpdDefaults {
    std::string inputSlot;            // the marked InputSlot choice
    std::string resolution;           // the marked Resolution choice, else DefaultResolution
    std::string colorModel;           // the marked ColorModel choice
    std::optional<PageGeometry> page; // PaperDimension and ImageableArea of the marked size
};

// The queue's PPD fetched from the server; nullopt when the queue has none (a raw queue, an IPP
// Everywhere printer without a generated PPD) or it cannot be read.
std::optional<PpdDefaults> ReadPpdDefaults(http_t* http, const std::string& queue);

} // namespace papyra::cups
