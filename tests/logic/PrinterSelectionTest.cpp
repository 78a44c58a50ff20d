// Choosing the configured printer from the registry and fitting the page to it.
#include "fakes/FakePlatform.h"
#include "printer/SetupPrinter.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace papyra;
using namespace papyra::fakes;
using papyra::test::ErrorOf;

namespace {

TEST(SetupPrinter, ChoosesByLeadingNumberThenExactName) {
    using namespace std::string_literals;
    const uint32_t Sz = Registry::REG_SZ, None = 100, NoKey = 101; // not types: what is there
    const struct {
        const char* what;
        uint32_t type;
        std::string bytes;
        int chosen; // -1: the program ends before choosing
    } cases[] = {
        {"nothing stored", None, "", 0},
        {"no key", NoKey, "", 0},
        {"second by name", Sz, "Office Laser\0"s, 1},
        {"name in other case", Sz, "office laser\0"s, 0},
        {"no NUL loses the last letter", Sz, "Office Laser", 0},
        {"DWORD 1 is position 1 (the printer named 1)", Registry::REG_DWORD, "\1\0\0\0"s, 2},
        {"leading number", Sz, " 1 Upstairs\0"s, 1},
        {"position past the end", Sz, "3\0"s, -1},
        {"every digit counts", Sz, "10\0"s, -1},
        {"negative position", Sz, "-1\0"s, -1},
        {"REG_EXPAND_SZ unsupported", Registry::REG_EXPAND_SZ, "1\0"s, 0},
    };
    for (const auto& c : cases) {
        World world;
        world.printers.Add("Office Laser"); // position 1
        world.printers.Add("1");            // position 2
        world.registry.keyExists = c.type != NoKey;
        if (c.type < None) world.registry.values["DeviceName"] = {c.type, c.bytes};
        world.program.state.CommandArgs = {"a.prt", "x", "P"};
        world.program.state.PageOrientation = "P";
        if (c.chosen < 0) {
            EXPECT_THROW(SetupPrinter(world.program), RuntimeError) << c.what;
            continue;
        }
        SetupPrinter(world.program);
        EXPECT_EQ(world.printers.current, c.chosen) << c.what;
    }
}

struct LayoutTest : testing::Test {
    World world;
    FakePrinter& printer = world.printers.CurrentFake();
    void Lay(const std::string& orientation) {
        world.program.state.CommandArgs = {"a.prt", "x", orientation};
        world.program.state.PageOrientation = orientation;
        SetupPrinter(world.program);
    }
};

TEST_F(LayoutTest, PortraitLandscapeAndTractorLinesAndBuffers) {
    struct {
        std::string orientation;
        int bin, printerOrientation;
        size_t letters, slots;
        float linesPerPage;
    } cases[] = {{"P", 7, 1, 112, 83, 81},
                 {"", 7, 1, 112, 83, 81},
                 {"l", 7, 1, 112, 83, 81},
                 {"L", 7, 2, 138, 67, 66},
                 {"P", 8, 1, 112, 67, 81}}; // tractor feed: the portrait fit, a short buffer
    for (const auto& c : cases) {
        printer.paperBin = c.bin;
        Lay(c.orientation);
        EXPECT_EQ(printer.orientation, c.printerOrientation) << c.orientation;
        EXPECT_EQ(printer.fontName, "Courier New");
        EXPECT_EQ(world.program.state.LineBuf.size(), c.slots) << c.orientation;
        EXPECT_FLOAT_EQ(world.program.state.LineHeight, printer.ScaleHeight() / c.linesPerPage);
        EXPECT_LE(printer.TextWidth(std::string(c.letters, 'A')), printer.ScaleWidth());
        EXPECT_GT(printer.TextWidth(std::string(c.letters + 1, 'A')), printer.ScaleWidth());
    }
}

TEST_F(LayoutTest, EstimateLargerThanEightIsUsedAsSoonAsItFits) {
    printer.charWidthPerPoint = 5; // 112 letters at 8 pt are far narrower than the page
    Lay("P");
    ASSERT_EQ(printer.sizesSet.size(), 2u);
    EXPECT_FLOAT_EQ(printer.sizesSet[1], 11520.0f * 8 / (112 * 5 * 8));
    EXPECT_GT(printer.fontSize, 8);
}

TEST_F(LayoutTest, CoarseSizesStepDownByFiveHundredthsUntilTheLineFits) {
    // A device that takes sizes in half points rounds the estimate up past the width.
    printer.sizeStep = 0.5f;
    printer.portraitWidth = 112 * 12 * 8.9f;
    Lay("P");
    // 8.9 takes 9 points, too wide, as do 8.85 and 8.8; 8.75 takes 8.5, which fits.
    ASSERT_EQ(printer.sizesSet.size(), 5u);
    EXPECT_FLOAT_EQ(printer.sizesSet[1], 8.9f) << "after the 8 point measure, the estimate";
    for (size_t i = 2; i < printer.sizesSet.size(); ++i)
        EXPECT_NEAR(printer.sizesSet[i - 1] - printer.sizesSet[i], 0.05f, 1e-4f) << i;
    EXPECT_FLOAT_EQ(printer.fontSize, 8.5f);
}

TEST_F(LayoutTest, NoTextWidthIsDivisionByZero) {
    printer.charWidthPerPoint = 0;
    EXPECT_EQ(ErrorOf([&] { Lay("P"); }), 11);
}

} // namespace
