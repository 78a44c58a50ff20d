// The ruler test pages: their files line for line, and how TEST prints them.
#include "printing/TestPages.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start)); // what follows the last line end
    return lines;
}

TEST(TestPages, RulersMarkEveryTenthColumnThenEachColumnsLastDigit) {
    for (std::string ruler : {PortraitRuler, LandscapeRuler}) {
        const size_t blocks = ruler.size() == 111 ? 10 : 13;
        for (size_t block = 1; block <= blocks; ++block) {
            const std::string n = std::to_string(block);
            EXPECT_EQ(ruler.substr((block - 1) * 10, 10),
                      "[" + std::string(n.size() == 1 ? 4 : 3, ' ') + n + "   ]");
        }
        for (size_t column = blocks * 10 + 1; column <= ruler.size(); ++column)
            EXPECT_EQ(ruler[column - 1], '0' + column % 10) << column;
    }
    EXPECT_EQ(std::string(PortraitRuler).size(), 111u);
    EXPECT_EQ(std::string(LandscapeRuler).size(), 137u);
}

TEST(TestPages, TheStartupPageIsOneFullPageForItsOrientation) {
    const struct {
        std::string orientation, mode, ruler;
        size_t lines, rulerLine;
    } cases[] = {{"P", "Portrait", PortraitRuler, 80, 39},
                 {"L", "Landscape", LandscapeRuler, 65, 32},
                 {"p", "Landscape", LandscapeRuler, 65, 32}};
    for (const auto& c : cases) {
        World world;
        world.program.state.PageOrientation = c.orientation;
        world.program.state.LineBuf.assign(83, "");
        world.program.state.LineHeight = 100;
        world.files.contents["C:\\Papyra\\PrinterTest.prt"] = "old content\r\n";
        PrintTestPage(world.program);
        const auto lines = SplitCrLf(world.files.contents["C:\\Papyra\\PrinterTest.prt"]);
        ASSERT_EQ(lines.size(), c.lines + 1) << c.orientation;
        EXPECT_EQ(lines[0], "Tillwren Print Test [" + c.mode + " Mode] -- Top of Form Page");
        EXPECT_EQ(lines[c.lines - 1],
                  "Tillwren Print Test [" + c.mode + " Mode] -- Bottom of Form Page");
        EXPECT_EQ(lines[c.rulerLine - 1], c.ruler);
        EXPECT_EQ(lines[1] + lines[c.lines - 2], "2]" + std::to_string(c.lines - 1) + "]");
        EXPECT_EQ(lines[c.lines], "\x0C") << "a form feed and no line end after it";
        const FakePrinter& printer = world.printers.CurrentFake();
        EXPECT_EQ(printer.documents, 1) << "the document is ended";
        ASSERT_EQ(printer.PageRows().size(), 1u) << "exactly one page";
        EXPECT_EQ(printer.PageRows()[0].size(), c.lines);
    }
}

TEST(TestPages, TheSetupPageHasSixtySixLinesEndingInPageAndNoFormFeed) {
    World world;
    const auto lines = SplitCrLf(world.files.contents[WriteSetupTestPage(world.program)]);
    ASSERT_EQ(lines.size(), 67u);
    EXPECT_EQ(lines[0], "Harvex Data System Print Test-- Top of Form Page");
    EXPECT_EQ(lines[31], LandscapeRuler);
    EXPECT_EQ(lines[64], "65]");
    EXPECT_EQ(lines[65], "Harvex Data System -- Bottom of Form Page ");
    EXPECT_EQ(lines[66], "") << "the file ends with the last line's CR LF";
}

} // namespace
