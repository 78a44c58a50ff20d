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
    const struct {
        const char* what;
        std::function<void(FakeRegistry&)> store;
        int chosen; // -1: the program ends before choosing
    } cases[] = {
        {"nothing stored", [](FakeRegistry&) {}, 0},
        {"no key", [](FakeRegistry& r) { r.keyExists = false; }, 0},
        {"second by name", [](FakeRegistry& r) { r.SetString("DeviceName", "Office Laser"); }, 1},
        {"name in other case", [](FakeRegistry& r) { r.SetString("DeviceName", "office laser"); },
         0},
        {"no NUL loses the last letter",
         [](FakeRegistry& r) { r.SetString("DeviceName", "Office Laser", false); }, 0},
        {"DWORD 1 is position 1 (the printer named 1)",
         [](FakeRegistry& r) { r.SetDword("DeviceName", 1); }, 2},
        {"leading number", [](FakeRegistry& r) { r.SetString("DeviceName", " 1 Upstairs"); }, 1},
        {"position past the end", [](FakeRegistry& r) { r.SetString("DeviceName", "3"); }, -1},
        {"every digit counts", [](FakeRegistry& r) { r.SetString("DeviceName", "10"); }, -1},
        {"negative position", [](FakeRegistry& r) { r.SetString("DeviceName", "-1"); }, -1},
        {"REG_EXPAND_SZ unsupported",
         [](FakeRegistry& r) {
             r.values["DeviceName"] = {Registry::REG_EXPAND_SZ, "1\0"};
         },
         0},
    };
    for (const auto& c : cases) {
        World world;
        world.printers.Add("Office Laser"); // position 1
        world.printers.Add("1");            // position 2
        c.store(world.registry);
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
    std::vector<float> expected = {8};
    float size = printer.portraitWidth * 8 / (112 * 12 * 8);
    while (std::round(size / 0.5f) * 0.5f * 112 * 12 > printer.portraitWidth) {
        expected.push_back(size);
        size = size - 0.05f;
    }
    expected.push_back(size);
    EXPECT_EQ(printer.sizesSet, expected);
    EXPECT_GT(expected.size(), 3u) << "several steps";
    EXPECT_FLOAT_EQ(printer.fontSize, 8.5f);
}

TEST_F(LayoutTest, NoTextWidthIsDivisionByZero) {
    printer.charWidthPerPoint = 0;
    EXPECT_EQ(ErrorOf([&] { Lay("P"); }), 11);
}

} // namespace
