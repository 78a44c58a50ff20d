#pragma once
// The readable texts of the current printer's capability codes, as the profile records them.
#include "platform/Printer.h"

#include <string>

namespace papyra {

std::string DescribePaperSize(Printer& printer);
std::string DescribePaperBin(Printer& printer);
std::string DescribeColorMode(Printer& printer);
std::string DescribePrintQuality(Printer& printer);
std::string DescribeCopies(Printer& printer);

// The same lookups by code, for callers that hold the number already.
std::string PaperSizeText(int16_t code);
std::string PaperBinText(int16_t code);
std::string ColorModeText(int16_t code);
std::string PrintQualityText(int16_t code);
std::string CopiesText(int16_t copies);
// The profile's orientation word: "Portrait" for 1, "Landscape" for anything else.
std::string OrientationText(int16_t orientation);

} // namespace papyra
