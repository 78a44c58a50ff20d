// The profile accessor's access modes, reads and section calls, and the UPDATE mode's twelve keys.
#include "fakes/FakePlatform.h"
#include "printer/UpdatePrinterProfile.h"
#include "profile/FileIO.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

struct FileIOTest : testing::Test {
    World world;
    FileIO io{world.platform};
    FileIOTest() {
        io.Filename = "C:\\Papyra\\RNTME.INI";
        io.Heading = "Printer";
        io.Keyword = "Size";
        io.NewValue = -4;
    }
};

TEST_F(FileIOTest, AccessModesDecideWhetherAndHowTheWriteHappens) {
    struct {
        int32_t mode;
        std::deque<MsgAnswer> answers;
        bool written;
        std::vector<std::string> texts;
    } cases[] = {
        {0, {}, true, {}},
        {1,
         {MsgAnswer::OK},
         true,
         {"You are about to commit a change to the database, "
          "continue only if you are certain."}},
        {1,
         {MsgAnswer::Cancel},
         false,
         {"You are about to commit a change to the database, "
          "continue only if you are certain.",
          "Edit Canceled"}},
        {2, {}, false, {"The Requested Change cannot be made."}},
        {3, {}, false, {}},
        {-1, {}, false, {}},
    };
    for (const auto& c : cases) {
        World world;
        FileIO io(world.platform);
        io.Filename = "F.INI";
        io.Heading = "Printer";
        io.Keyword = "Size";
        io.NewValue = -4;
        io.accessmode = c.mode;
        world.dialogs.answers = c.answers;
        io.FileOUT();
        EXPECT_EQ(world.profile.writes.size(), c.written ? 1u : 0u) << "mode " << c.mode;
        std::vector<std::string> texts;
        for (const auto& box : world.dialogs.boxes)
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.texts) << "mode " << c.mode;
    }
}

TEST_F(FileIOTest, MessageTitlesAndIcons) {
    io.accessmode = 1;
    world.dialogs.answers = {MsgAnswer::Cancel};
    io.FileOUT();
    io.accessmode = 2;
    io.FileOUT();
    auto& boxes = world.dialogs.boxes;
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, "Harvex");
    EXPECT_EQ(boxes[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(boxes[1].title, std::nullopt) << "Edit Canceled carries the program's title";
    EXPECT_EQ(boxes[2].title, "File Locked");
    EXPECT_EQ(boxes[2].icon, MsgIcon::Critical);
}

TEST_F(FileIOTest, NumbersAreStoredAsDecimalText) {
    io.FileOUT();
    ASSERT_EQ(world.profile.writes.size(), 1u);
    EXPECT_EQ(world.profile.writes[0].value, "-4");
    EXPECT_EQ(world.profile.writes[0].section, "Printer");
}

TEST_F(FileIOTest, FileInCutsToTheBufferAndFallsBackToTheDefault) {
    io.NewValue = "abcdefghijklmnopqrst";
    io.FileOUT();
    EXPECT_EQ(io.FileIN(10), "abcdefghi");
    EXPECT_EQ(io.FileIN(0, "", "X"), "X");
    io.Keyword = "Missing";
    EXPECT_EQ(io.FileIN(255, "", "X"), "X");
    EXPECT_EQ(io.FileIN(255, "", ""), "");
    EXPECT_EQ(io.FileIN(255), "");
    EXPECT_THROW(io.FileIN(-1), RuntimeError);
}

TEST_F(FileIOTest, SectionOutReplacesTheTestSectionAndSectionInIsAlways32000) {
    io.Heading = "Test";
    io.Keyword = "old";
    io.FileOUT();
    io.SectionOUT({"a=1", "b=2"}, "F.INI");
    io.SectionOUT({"a=1", "b=2"}, "C:\\Papyra\\RNTME.INI");
    const std::string section = io.SectionIN("Test", "C:\\Papyra\\RNTME.INI");
    EXPECT_EQ(section.size(), 32000u);
    EXPECT_EQ(section.substr(0, 9), "a=1\nb=2\n\n");
    EXPECT_EQ(section.find_first_not_of(' ', 9), std::string::npos);
    EXPECT_EQ(io.SectionIN("Missing", "nowhere.ini").size(), 32000u);
    EXPECT_THROW(io.SectionOUT({}, "F.INI"), RuntimeError);
}

TEST(UpdatePrinterProfile, WritesTheTwelveKeysInOrderFromThePrinter) {
    World world;
    FakePrinter& printer = world.printers.CurrentFake();
    printer.paperSize = 9;
    printer.orientation = 1;
    printer.paperBin = 7;
    printer.copies = 1;
    printer.colorMode = 2;
    printer.quality = -3;
    world.program.state.ProfilePath = "C:\\Papyra\\RNTME.INI";
    UpdatePrinterProfile(world.program);
    std::vector<std::pair<std::string, std::string>> written;
    for (const auto& w : world.profile.writes) {
        EXPECT_EQ(w.file, "C:\\Papyra\\RNTME.INI");
        EXPECT_EQ(w.section, "Printer");
        written.push_back({w.key, w.value});
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"PaperSize", "A4, 210 x 297 mm"},
        {"Size", "9"},
        {"Orientation", "Portrait"},
        {"Orient", "1"},
        {"PaperSource", "(Default) Use paper from the current default bin."},
        {"Source", "7"},
        {"PrinterCopies", "1"},
        {"Copies", "1"},
        {"ColorMode", "Color Printing"},
        {"Color", "2"},
        {"PrintQuality", "Medium Quality"},
        {"Quality", "-3"}};
    EXPECT_EQ(written, expected);
}

TEST(UpdatePrinterProfile, RecordsThePrintersOwnOrientationNotTheCommandLines) {
    World world;
    world.printers.CurrentFake().orientation = 1;
    world.RunMain("UPDATE x L");
    auto* section = world.profile.Find("C:\\Papyra\\RNTME.INI", "Printer");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ((*section)[2], (std::pair<std::string, std::string>{"Orientation", "Portrait"}));
    EXPECT_EQ((*section)[3], (std::pair<std::string, std::string>{"Orient", "1"}));
}

} // namespace
