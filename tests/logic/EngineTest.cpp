// The print-file engine on the fakes: the exact raw byte stream, the drawn page arithmetic, the
// emphasis codes, the yields and the failure handler.
#include "fakes/FakePlatform.h"
#include "printing/PrintReportFile.h"
#include "ui/WindowHandler.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

const std::string RawSetUp = "\x12\x1BP\x1Bt\x01";
const std::string Portrait = std::string("\x1B") + "0\x1B" + "CX\x1Bg";
const std::string Landscape = std::string("\x1B") + "2\x1B" + "CB\x1B\x0F";
const std::string Closing = std::string("\x12\x1BP\x1B") + "2\x1B" + "CB";

std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

// Lays the page as SetupPrinter would, prints content, and tells whether the program ended.
bool Print(World& world, const std::string& content, const std::string& orientation = "L") {
    world.program.state.PageOrientation = orientation;
    world.program.state.LineBuf.assign(orientation == "L" ? 67 : 83, "");
    world.program.state.LineHeight = 100;
    world.files.contents["report.prt"] = content;
    try {
        PrintReportFile(world.program, "report.prt");
    } catch (const ProgramEnd&) {
        return true;
    }
    return false;
}

struct EngineTest : testing::Test {
    World world;
    FakePrinter& printer = world.printers.CurrentFake();
    bool Print(const std::string& content, const std::string& orientation = "L") {
        return ::Print(world, content, orientation);
    }
};

TEST_F(EngineTest, RawStreamIsSetUpThenLinesThenClosingBytes) {
    printer.paperBin = 8;
    const struct {
        const char *orientation, *file, *lines;
    } cases[] = {
        {"P", "", ""},
        {"P", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"L", "a\r\nb", "a\r\nb\r\n"},
        {"X", "a\r\n", "a\r\n"},                           // anything but P is landscape
        {"P", "a\r\n\f\r\nb\r\n", "a\r\n\fb\r\n"},         // a form feed alone, no line end
        {"P", "\x0C;\r\n\x0Cx\r\n", "\x0C;\r\n\x0Cx\r\n"}, // with more on its line: text
        {"P", "a\x97\xC4z\r\n", "a\xC4\xC4z\r\n"},         // em dash to box line, only one way
        {"L", "a\nb\rc\r\n", "a\nb\r\nc\r\n"},             // a lone LF stays in its line
        {"P", "\x0E\x1BGx\x14\r\n", "\x0E\x1BGx\x14\r\n"}, // emphasis passes unchanged
    };
    for (const auto& c : cases) {
        World w;
        w.printers.CurrentFake().paperBin = 8;
        EXPECT_FALSE(::Print(w, c.file, c.orientation));
        const std::string mode = c.orientation == std::string("P") ? Portrait : Landscape;
        EXPECT_EQ(w.rawPort.bytes, RawSetUp + mode + c.lines + Closing) << c.file;
        EXPECT_TRUE(w.rawPort.closed);
        EXPECT_TRUE(w.printers.CurrentFake().events.empty()) << "bytes, not pages";
        EXPECT_EQ(w.program.job.path, "raw");
        EXPECT_EQ(w.program.job.bytes, static_cast<long long>(w.rawPort.bytes.size()));
    }
}

TEST_F(EngineTest, RawPathReadsTheWholeFileFirstAndYieldsOncePerLine) {
    printer.paperBin = 8;
    bool portOpenWhileReading = false;
    world.process.onEvents = [&] { portOpenWhileReading |= world.files.openFiles > 0; };
    Print("a\r\nb\r\nc\r\n");
    EXPECT_FALSE(portOpenWhileReading);
    EXPECT_EQ(world.process.dueEvents, 3) << "a short job yields too";
}

TEST_F(EngineTest, DrawnPagesFollowTheLineArithmetic) {
    struct Page {
        std::string first, last;
        size_t lines;
    };
    const struct {
        const char* name;
        std::string orientation, file;
        std::vector<Page> pages;
    } cases[] = {
        {"landscape form feed",
         "L",
         Lines(1, 65) + "\x0C\r\n" + Lines(66, 130),
         {{"line 1", "line 65", 65}, {"line 66", "line 130", 65}}},
        {"no form feed: line 66 is read, not printed",
         "L",
         Lines(1, 70),
         {{"line 1", "line 65", 65}, {"line 67", "line 70", 4}}},
        // line 81 is read, not printed; FF; fills its page with blanks
        {"portrait: 80 lines a page; FF; ends a page too",
         "P",
         Lines(1, 80) + Lines(81, 83) + "\x0C;\r\n" + Lines(84, 85),
         {{"line 1", "line 80", 80}, {"line 82", " ", 80}, {"line 84", "line 85", 2}}},
        {"a form feed first: a blank page",
         "L",
         "\x0C\r\nnext\r\n",
         {{" ", " ", 65}, {"next", "next", 1}}},
        {"box line drawn as em dash", "P", "\xC4\x97\r\n", {{"\x97\x97", "\x97\x97", 1}}},
        {"an empty file", "P", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        ::Print(w, c.file, c.orientation);
        const FakePrinter& fresh = w.printers.CurrentFake();
        const auto pages = fresh.PageRows();
        ASSERT_EQ(pages.size(), c.pages.size());
        for (size_t p = 0; p < pages.size(); ++p) {
            EXPECT_EQ(pages[p].begin()->second, c.pages[p].first);
            EXPECT_EQ(pages[p].rbegin()->second, c.pages[p].last);
            EXPECT_EQ(pages[p].size(), c.pages[p].lines);
            EXPECT_EQ(pages[p].rbegin()->first, (c.pages[p].lines - 1) * 100.0f)
                << "line height apart";
        }
        EXPECT_EQ(fresh.NewPages(), std::max(0, int(pages.size()) - 1)) << "none after the last";
        EXPECT_EQ(w.program.job.pages, static_cast<long long>(pages.size()));
    }
}

TEST_F(EngineTest, DrawnLinesStartAtAbsolutePositionsAndEachPageAndLineYields) {
    Print("ab\r\n");
    std::vector<DrawEvent> lineEnds, texts;
    for (const DrawEvent& e : printer.events)
        (e.kind == DrawEvent::LineEnd ? lineEnds : texts).push_back(e);
    EXPECT_EQ(lineEnds.size(), 64u) << "a line end after every slot but the last";
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_GT(texts[1].x, 0) << "drawing advances the position";
    EXPECT_EQ(world.process.events, 1) << "once per page, always";
    EXPECT_EQ(world.process.dueEvents, 65) << "once per line, when due";
}

TEST_F(EngineTest, EmphasisChangesTheFontFromTheNextCharacterOnAndNeverResets) {
    const struct {
        const char *line, *drawn;
        float size; // starts at 10
        bool bold, underline;
    } cases[] = {
        {"", "", 10, false, false},
        {"a\016b", "ab", 11, true, true},
        {"\x0E\x0E\x14", "", 11, false, false}, // DC4 clears bold with a shift-out still open
        {"\033Gx\024", "x", 9, false, false},
        {"\x1BGa\x1BH", "a", 10, false, false},
        {"\x1Bg\x1Bhz", "z", 10, false, false}, // lower case: both vanish, nothing changes
        {"\033CB", "B", 10, false, false},      // a parameter byte is drawn
        {"a\x1B", "a", 10, false, false},
    };
    for (const auto& c : cases) {
        FakePrinter fresh;
        PrintCodedLine(fresh, c.line);
        std::string drawn;
        for (const DrawEvent& e : fresh.events)
            drawn += e.text;
        EXPECT_EQ(drawn, c.drawn) << c.line;
        EXPECT_FLOAT_EQ(fresh.fontSize, c.size) << c.line;
        EXPECT_EQ(fresh.bold, c.bold) << c.line;
        EXPECT_EQ(fresh.underline, c.underline) << c.line;
    }
    Print("a\016b\r\n" + Lines(2, 65) + "\x0C\r\nnext\r\n");
    const DrawEvent& next = *std::find_if(printer.events.begin(), printer.events.end(),
                                          [](const DrawEvent& e) { return e.page == 2; });
    EXPECT_TRUE(next.bold && next.underline) << "the font carries to later pages";
    EXPECT_FLOAT_EQ(next.size, 11);

    FakePrinter refusing;
    refusing.failing = {"SetFontSize", "SetFontUnderline"};
    PrintCodedLine(refusing, "\x0Ex");
    EXPECT_TRUE(refusing.bold) << "a failing step is skipped, the others run";
    ASSERT_EQ(refusing.events.size(), 1u);
}

TEST_F(EngineTest, FailuresShowTheirDescriptionAndOnlyAnUnusablePortOffersSetup) {
    for (const int openError : {0, 52, 57}) { // the port's error; 0: the report is missing
        SCOPED_TRACE(openError);
        World w;
        w.printers.CurrentFake().paperBin = 8;
        w.rawPort.failOpenWith = openError;
        w.process.commandLine = "report.prt x P";
        w.dialogs.answers = {MsgAnswer::OK, MsgAnswer::Cancel};
        w.program.state.PageOrientation = "P";
        if (openError) w.files.contents["report.prt"] = "a\r\n";
        EXPECT_THROW(PrintReportFile(w.program, "report.prt"), ProgramEnd);
        EXPECT_EQ(w.process.lastStatus, ExitStatus::Failed);
        std::string boxes;
        for (const auto& box : w.dialogs.boxes)
            boxes += box.text + "|" + box.title.value_or("-") + "|" +
                     std::to_string(static_cast<int>(box.buttons)) + "\n";
        EXPECT_EQ(boxes, StandardDescription(openError ? openError : 53) + "|-|0\n" +
                             (openError == 52 ? "You must set up a harvex printer|Printer Setup "
                                                "Required|1\n"
                                              : ""));
        EXPECT_EQ(w.forms.setupShown, 0) << "Cancel";
        ASSERT_EQ(w.journal.told.size(), 1u) << "one line naming what failed";
        EXPECT_NE(w.journal.told[0].find("report.prt"), std::string::npos);
    }
}

TEST_F(EngineTest, ASecondJobStartedWhileOneYieldsEndsBothThroughTheFailureHandling) {
    printer.paperBin = 8;
    world.files.contents["other.prt"] = "other\r\n";
    int nested = 0;
    world.process.onEvents = [&] {
        if (nested++ == 0) // a button clicked while the job yields
            RunWindowHandler(world.program, [&] { PrintReportFile(world.program, "other.prt"); });
    };
    EXPECT_TRUE(Print(Lines(1, 5), "P")) << "the outer job ends with the inner one";
    EXPECT_EQ(world.dialogs.boxes.at(0).text, "File already open");
    EXPECT_EQ(nested, 1) << "nothing after the end ran";
    EXPECT_FALSE(world.rawPort.closed) << "the outer job's port is dropped, never completed";
}

} // namespace
