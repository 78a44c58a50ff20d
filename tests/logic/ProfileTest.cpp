// The profile accessor's access modes, reads and section calls.
#include "fakes/FakePlatform.h"
#include "profile/FileIO.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

const std::string Commit = "You are about to commit a change to the database, "
                           "continue only if you are certain.";

// Writes value under [heading] Size of file, in access mode 0; the accessor stays set to it.
void Write(FileIO& io, const std::string& file, const std::string& heading, ProfileText value) {
    io.Filename = file;
    io.Heading = heading;
    io.Keyword = "Size";
    io.NewValue = std::move(value);
    io.FileOUT();
}

TEST(FileIO, AccessModesDecideWhetherTheWriteHappensAndWhatIsSaid) {
    const struct {
        int32_t mode;
        std::deque<MsgAnswer> answers;
        bool written;
        std::vector<std::string> boxes; // text|title|icon|buttons of each box
    } cases[] = {
        {0, {}, true, {}},
        {1, {MsgAnswer::OK}, true, {Commit + "|Harvex|0|1"}},
        {1, {MsgAnswer::Cancel}, false, {Commit + "|Harvex|0|1", "Edit Canceled|-|0|0"}},
        {2, {}, false, {"The Requested Change cannot be made.|File Locked|1|0"}},
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
        ASSERT_EQ(world.profile.writes.size(), c.written ? 1u : 0u) << "mode " << c.mode;
        if (c.written) {
            EXPECT_EQ(world.profile.writes[0].value, "-4") << "numbers as decimal text";
        }
        std::vector<std::string> boxes;
        for (const auto& box : world.dialogs.boxes)
            boxes.push_back(box.text + "|" + box.title.value_or("-") + "|" +
                            std::to_string(static_cast<int>(box.icon)) + "|" +
                            std::to_string(static_cast<int>(box.buttons)));
        EXPECT_EQ(boxes, c.boxes) << "mode " << c.mode;
    }
}

TEST(FileIO, FileInCutsToTheBufferAndFallsBackToTheDefault) {
    World world;
    FileIO io(world.platform);
    Write(io, "F.INI", "Printer", "abcdefghijklmnopqrst");
    EXPECT_EQ(io.FileIN(10), "abcdefghi");
    EXPECT_EQ(io.FileIN(255, "", "X"), "abcdefghijklmnopqrst") << "the default only for nothing";
    EXPECT_EQ(io.FileIN(0, "", "X"), "X");
    io.Keyword = "Missing";
    EXPECT_EQ(io.FileIN(255, "", "X"), "X");
    EXPECT_EQ(io.FileIN(255), "");
    EXPECT_THROW(io.FileIN(-1), RuntimeError);
}

TEST(FileIO, SectionOutReplacesTheTestSectionAndSectionInIsAlways32000) {
    World world;
    FileIO io(world.platform);
    Write(io, "C:\\Papyra\\RNTME.INI", "Test", 1);
    io.SectionOUT({"a=1", "b=2"}, "F.INI");
    EXPECT_EQ(world.profile.files["F.INI"], "[Test]\r\na=1\r\nb=2\r\n") << "as a new file shows it";
    io.SectionOUT({"a=1", "b=2"}, "C:\\Papyra\\RNTME.INI");
    const std::string section = io.SectionIN("Test", "C:\\Papyra\\RNTME.INI");
    EXPECT_EQ(section.size(), 32000u);
    EXPECT_EQ(section.substr(0, 9), "a=1\nb=2\n\n");
    EXPECT_EQ(section.find_first_not_of(' ', 9), std::string::npos);
    EXPECT_EQ(io.SectionIN("Missing", "nowhere.ini").size(), 32000u);
    EXPECT_THROW(io.SectionOUT({}, "F.INI"), RuntimeError);
}

} // namespace
