// The capability texts: the entries where a fault is plausible, and the rules that give the rest.
#include "printer/CapabilityText.h"

#include <gtest/gtest.h>

using namespace papyra;

namespace {

TEST(CapabilityText, KnownCodesHaveTheirTextsAndEveryOtherCodeTheTablesDefault) {
    const std::pair<int16_t, const char*> sizes[] = {
        {1, "Letter, 8 1/2 x 11 in."},
        {9, "A4, 210 x 297 mm"},
        {28, "Envelope C5, 162 x 229 mm"},
        {29, "Envelope C3, 324 x 458 mm"}, // Windows' order
        {30, "Envelope C4, 229 x 324 mm"},
        {41, "German Legal Fanfold, 8 1/2 x 13 in."},
        {256, "User-defined"}};
    for (auto [code, text] : sizes)
        EXPECT_EQ(PaperSizeText(code), text);
    EXPECT_EQ(PaperBinText(7), "(Default) Use paper from the current default bin.");
    EXPECT_EQ(PaperBinText(8), "Tractor Feeder.");
    EXPECT_EQ(PaperBinText(14), "Attached Cassette Cartridge.");
    // Every code a printer can report: sizes 1 to 41 and 256, bins 1 to 11 and 14 have a text
    // of their own; the gaps, 0, the negatives and the rest are "N/A".
    for (int code = INT16_MIN; code <= INT16_MAX; ++code) {
        const auto c = static_cast<int16_t>(code);
        ASSERT_EQ(PaperSizeText(c) == "N/A", !((code >= 1 && code <= 41) || code == 256)) << code;
        ASSERT_EQ(PaperBinText(c) == "N/A", !((code >= 1 && code <= 11) || code == 14)) << code;
        ASSERT_EQ(ColorModeText(c), code == 1   ? "Grayscale Dither"
                                    : code == 2 ? "Color Printing"
                                                : "Text Only Black and White");
        if (code > 0 || code == 0 || code < -4) {
            ASSERT_EQ(PrintQualityText(c), code > 0 ? std::to_string(code) + " dpi" : "N/A");
        }
        ASSERT_EQ(OrientationText(c), code == 1 ? "Portrait" : "Landscape");
        ASSERT_EQ(CopiesText(c),
                  code == 0 ? "Multiple Copies Not Supported" : std::to_string(code));
    }
    EXPECT_EQ(PrintQualityText(-1), "Draft Quality (Fastest)");
    EXPECT_EQ(PrintQualityText(-4), "Best Quality");
}

} // namespace
