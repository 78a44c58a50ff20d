// The capability texts, every code of each table plus the gaps and the edges around them.
#include "printer/CapabilityText.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <map>

using namespace papyra;

namespace {

const std::map<int, std::string> PaperSizes = {
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

const std::map<int, std::string> PaperBins = {
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

std::string Expected(const std::map<int, std::string>& table, int code, const char* otherwise) {
    auto found = table.find(code);
    return found == table.end() ? otherwise : found->second;
}

TEST(CapabilityText, EveryInt16CodeOfEachTable) {
    // Every code a printer can report, so the gaps, 0, negatives and 257 are all covered.
    for (int code = INT16_MIN; code <= INT16_MAX; ++code) {
        const auto c = static_cast<int16_t>(code);
        ASSERT_EQ(PaperSizeText(c), Expected(PaperSizes, code, "N/A")) << code;
        ASSERT_EQ(PaperBinText(c), Expected(PaperBins, code, "N/A")) << code;
        ASSERT_EQ(ColorModeText(c), code == 1   ? "Grayscale Dither"
                                    : code == 2 ? "Color Printing"
                                                : "Text Only Black and White")
            << code;
        const std::map<int, std::string> levels = {{-1, "Draft Quality (Fastest)"},
                                                   {-2, "Low Quality"},
                                                   {-3, "Medium Quality"},
                                                   {-4, "Best Quality"}};
        ASSERT_EQ(PrintQualityText(c),
                  code > 0 ? std::to_string(code) + " dpi" : Expected(levels, code, "N/A"))
            << code;
        ASSERT_EQ(CopiesText(c), code == 0 ? "Multiple Copies Not Supported" : std::to_string(code))
            << code;
    }
}

TEST(CapabilityText, DescribeReadsTheCurrentPrinterAndFailsOnOverflow) {
    fakes::FakePrinter printer;
    printer.paperSize = 256;
    printer.quality = 600;
    printer.copies = 0;
    EXPECT_EQ(DescribePaperSize(printer), "User-defined");
    EXPECT_EQ(DescribePrintQuality(printer), "600 dpi");
    EXPECT_EQ(DescribeCopies(printer), "Multiple Copies Not Supported");
    printer.paperBin = 40000;
    try {
        DescribePaperBin(printer);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 6);
    }
}

} // namespace
