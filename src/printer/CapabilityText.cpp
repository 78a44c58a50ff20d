#include "printer/CapabilityText.h"

#include <utility>

namespace papyra {

namespace {

using Row = std::pair<int16_t, const char*>;

// Windows printer-settings (DEVMODE) paper numbers; 28-30 are C5, C3, C4 in Windows' order.
constexpr Row PaperSizes[] = {
    {1, "Letter, 8 1/2 x 11 in."},
    {2, "Small, 8 1/2 x 11 in."},
    {3, "Tabloid, 11 x 17 in."},
    {4, "Ledger, 17 x 11 in."},
    {5, "Legal, 8 1/2 x 14 in."},
    {6, "Statement, 5 1/2 x 8 1/2 in."},
    {7, "Executive, 7 1/2 x 10 1/2 in."},
    {8, "A3, 297 x 420 mm"},
    {9, "A4, 210 x 297 mm"},
    {10, "A4 Small, 210 x 297 mm"},
    {11, "A5, 148 x 210 mm"},
    {12, "B4, 250 x 354 mm"},
    {13, "B5, 182 x 257 mm"},
    {14, "Folio, 8 1/2 x 13 in."},
    {15, "Quarto, 215 x 275 mm"},
    {16, "10 x 14 in."},
    {17, "11 x 17 in."},
    {18, "Note, 8 1/2 x 11 in."},
    {19, "Envelope #9, 3 7/8 x 8 7/8 in."},
    {20, "Envelope #10, 4 1/8 x 9 1/2 in."},
    {21, "Envelope #11, 4 1/2 x 10 3/8 in."},
    {22, "Envelope #12, 4 1/2 x 11 in."},
    {23, "Envelope #14, 5 x 11 1/2 in."},
    {24, "C size sheet"},
    {25, "D size sheet"},
    {26, "E size sheet"},
    {27, "Envelope DL, 110 x 220 mm"},
    {28, "Envelope C5, 162 x 229 mm"},
    {29, "Envelope C3, 324 x 458 mm"},
    {30, "Envelope C4, 229 x 324 mm"},
    {31, "Envelope C6, 114 x 162 mm"},
    {32, "Envelope C65, 114 x 229 mm"},
    {33, "Envelope B4, 250 x 353 mm"},
    {34, "Envelope B5, 176 x 250 mm"},
    {35, "Envelope B6, 176 x 125 mm"},
    {36, "Envelope, 110 x 230 mm"},
    {37, "Envelope Monarch, 3 7/8 x 7 1/2 in."},
    {38, "Envelope, 3 5/8 x 6 1/2 in."},
    {39, "U.S. Standard Fanfold, 14 7/8 x 11 in."},
    {40, "German Standard Fanfold, 8 1/2 x 12 in."},
    {41, "German Legal Fanfold, 8 1/2 x 13 in."},
    {256, "User-defined"},
};

constexpr Row PaperBins[] = {
    {1, "Upper Bin."},
    {2, "Lower Bin."},
    {3, "Middle Bin."},
    {4, "Manual Insertion."},
    {5, "Envelope Feeder."},
    {6, "Envelope feeder, Manual Insertion."},
    {7, "(Default) Use paper from the current default bin."},
    {8, "Tractor Feeder."},
    {9, "Small Paper Feeder."},
    {10, "Large Paper Bin."},
    {11, "Large Capacity Feeder."},
    {14, "Attached Cassette Cartridge."},
};

constexpr Row ColorModes[] = {{1, "Grayscale Dither"}, {2, "Color Printing"}};

constexpr Row QualityLevels[] = {
    {-1, "Draft Quality (Fastest)"},
    {-2, "Low Quality"},
    {-3, "Medium Quality"},
    {-4, "Best Quality"},
};

template <size_t N> std::string Lookup(const Row (&table)[N], int16_t code, const char* otherwise) {
    for (const auto& [key, text] : table)
        if (key == code) return text;
    return otherwise;
}

} // namespace

std::string PaperSizeText(int16_t code) {
    return Lookup(PaperSizes, code, "N/A");
}
std::string PaperBinText(int16_t code) {
    return Lookup(PaperBins, code, "N/A");
}
std::string ColorModeText(int16_t code) {
    return Lookup(ColorModes, code, "Text Only Black and White");
}
std::string PrintQualityText(int16_t code) {
    if (code > 0) return std::to_string(code) + " dpi";
    return Lookup(QualityLevels, code, "N/A");
}
std::string CopiesText(int16_t copies) {
    return copies == 0 ? "Multiple Copies Not Supported" : std::to_string(copies);
}

std::string OrientationText(int16_t orientation) {
    return orientation == 1 ? "Portrait" : "Landscape";
}

std::string DescribePaperSize(Printer& printer) {
    return PaperSizeText(printer.PaperSize());
}
std::string DescribePaperBin(Printer& printer) {
    return PaperBinText(printer.PaperBin());
}
std::string DescribeColorMode(Printer& printer) {
    return ColorModeText(printer.ColorMode());
}
std::string DescribePrintQuality(Printer& printer) {
    return PrintQualityText(printer.PrintQuality());
}
std::string DescribeCopies(Printer& printer) {
    return CopiesText(printer.Copies());
}

} // namespace papyra
