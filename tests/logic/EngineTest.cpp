// The print-file engine on the fakes: the exact raw byte stream, the drawn page arithmetic, the
// emphasis codes and the failure handler.
#include "fakes/FakePlatform.h"
#include "printing/PrintReportFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::fakes;

namespace {

const std::string RawSetUp = "\x12\x1BP\x1Bt\x01";
const std::string Portrait = std::string("\x1B") + "0" + "\x1B" + "CX" + "\x1Bg";
const std::string Landscape = std::string("\x1B") + "2" + "\x1B" + "CB" + "\x1B\x0F";
const std::string Closing = std::string("\x12\x1BP\x1B") + "2" + "\x1B" + "CB";

std::string Lines(int from, int to, const std::string& prefix = "line ") {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += prefix + std::to_string(i) + "\r\n";
    return text;
}

struct EngineTest : testing::Test {
    World world;
    FakePrinter& printer = world.printers.CurrentFake();

    void Lay(const std::string& orientation) {
        world.program.state.PageOrientation = orientation;
        world.program.state.LineBuf.assign(orientation == "L" ? 67 : 83, "");
        world.program.state.LineHeight = 100;
    }
    // Prints and reports whether the program ended.
    bool Print(const std::string& content) {
        world.files.contents["report.prt"] = content;
        try {
            PrintReportFile(world.program, "report.prt");
        } catch (const ProgramEnd&) {
            return true;
        }
        return false;
    }
};

struct RawCase {
    const char* name;
    std::string orientation, file, lines;
};

class RawStream : public EngineTest, public testing::WithParamInterface<RawCase> {};

TEST_P(RawStream, IsSetUpThenLinesThenClosingBytes) {
    printer.paperBin = 8;
    Lay(GetParam().orientation);
    EXPECT_FALSE(Print(GetParam().file));
    const std::string mode = GetParam().orientation == "P" ? Portrait : Landscape;
    EXPECT_EQ(world.rawPort.bytes, RawSetUp + mode + GetParam().lines + Closing);
    EXPECT_EQ(world.rawPort.openedPort, "LPT1:");
    EXPECT_TRUE(world.rawPort.closed);
    EXPECT_TRUE(printer.events.empty()) << "a tractor printer gets bytes, not pages";
}

INSTANTIATE_TEST_SUITE_P(
    Engine, RawStream,
    testing::Values(RawCase{"EmptyFile", "P", "", ""},
                    RawCase{"PortraitLines", "P", "a\r\nb\r\n", "a\r\nb\r\n"},
                    RawCase{"LandscapeLines", "L", "a\r\nb", "a\r\nb\r\n"},
                    RawCase{"OtherOrientationIsLandscape", "X", "a\r\n", "a\r\n"},
                    RawCase{"FormFeedLineAlone", "P", "a\r\n\x0C\r\nb\r\n",
                            "a\r\n\x0C"
                            "b\r\n"},
                    RawCase{"FormFeedSemicolonIsText", "P", "\x0C;\r\n", "\x0C;\r\n"},
                    RawCase{"FormFeedWithTextIsText", "P", "\x0Cx\r\n", "\x0Cx\r\n"},
                    RawCase{"EmDashBecomesBoxLine", "P", "a\x97\xC4z\r\n", "a\xC4\xC4z\r\n"},
                    RawCase{"LoneLineFeedStaysInLine", "L", "a\nb\rc\r\n", "a\nb\r\nc\r\n"},
                    RawCase{"EmphasisCodesPassUnchanged", "P", "\x0E\x1BGx\x14\r\n",
                            "\x0E\x1BGx\x14\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST_F(EngineTest, RawPathReadsTheWholeFileBeforeOpeningThePortAndYieldsPerLine) {
    printer.paperBin = 8;
    Lay("P");
    bool portOpenWhileReading = false;
    world.process.onEvents = [&] { portOpenWhileReading |= world.files.IsOpen(1); };
    Print("a\r\nb\r\nc\r\n");
    EXPECT_FALSE(portOpenWhileReading);
    EXPECT_EQ(world.process.events, 3);
}

TEST_F(EngineTest, DrawnLandscapePagesOfSixtyFiveLinesWithOneNewPageBetween) {
    Lay("L");
    Print(Lines(1, 65) + "\x0C\r\n" + Lines(66, 130));
    auto pages = printer.PageRows();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(printer.NewPages(), 1);
    EXPECT_EQ(pages[0].size(), 65u);
    EXPECT_EQ(pages[0].begin()->second, "line 1");
    EXPECT_EQ(pages[0].rbegin()->second, "line 65");
    EXPECT_EQ(pages[1].begin()->second, "line 66");
    EXPECT_EQ(pages[1].rbegin()->second, "line 130");
    EXPECT_EQ(pages[1].rbegin()->first, 64 * 100.0f);
}

TEST_F(EngineTest, DrawnPageWithoutFormFeedDropsItsLastReadLine) {
    Lay("L");
    Print(Lines(1, 70));
    auto pages = printer.PageRows();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].rbegin()->second, "line 65");
    EXPECT_EQ(pages[1].begin()->second, "line 67") << "line 66 is read and not printed";
    EXPECT_EQ(pages[1].size(), 4u) << "a file ending mid-page leaves the rest of it empty";
}

TEST_F(EngineTest, DrawnPortraitPageTakesEightyLinesAndTheFormFeedAsLineEightyOne) {
    Lay("P");
    Print(Lines(1, 80) + "\x0C;\r\n" + Lines(81, 82));
    auto pages = printer.PageRows();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].size(), 80u);
    EXPECT_EQ(pages[1].begin()->second, "line 81");
}

TEST_F(EngineTest, FormFeedFirstPrintsABlankPage) {
    Lay("L");
    Print("\x0C\r\nnext\r\n");
    auto pages = printer.PageRows();
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& [y, text] : pages[0])
        EXPECT_EQ(text, " ");
    EXPECT_EQ(pages[0].size(), 65u);
    EXPECT_EQ(pages[1].begin()->second, "next");
}

TEST_F(EngineTest, DrawnLinesStartAtAbsolutePositionsWithLineEndsBetween) {
    Lay("L");
    Print("ab\r\n");
    std::vector<DrawEvent> lineEnds, texts;
    for (const DrawEvent& e : printer.events)
        (e.kind == DrawEvent::LineEnd ? lineEnds : texts).push_back(e);
    EXPECT_EQ(lineEnds.size(), 64u) << "a line end after every slot but the last";
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "a");
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_EQ(texts[1].text, "b");
    EXPECT_GT(texts[1].x, 0) << "drawing advances the position";
    EXPECT_EQ(printer.NewPages(), 0);
    EXPECT_EQ(world.process.events, 1 + 65) << "one yield per page and per line";
}

TEST_F(EngineTest, EmptyFileDrawsNothing) {
    Lay("P");
    Print("");
    EXPECT_TRUE(printer.events.empty());
}

TEST_F(EngineTest, BoxLineIsDrawnAsEmDash) {
    Lay("P");
    Print("\xC4\x97\r\n");
    EXPECT_EQ(printer.PageRows()[0].begin()->second, "\x97\x97");
}

struct EmphasisCase {
    const char* name;
    std::string line;
    std::string drawn; // characters drawn, in order
    float size;        // size at the end (starts at 10)
    bool bold, underline;
};

class Emphasis : public EngineTest, public testing::WithParamInterface<EmphasisCase> {};

TEST_P(Emphasis, ChangesTheFontFromTheNextCharacterOn) {
    PrintCodedLine(printer, GetParam().line);
    std::string drawn;
    for (const DrawEvent& e : printer.events)
        drawn += e.text;
    EXPECT_EQ(drawn, GetParam().drawn);
    EXPECT_FLOAT_EQ(printer.fontSize, GetParam().size);
    EXPECT_EQ(printer.bold, GetParam().bold);
    EXPECT_EQ(printer.underline, GetParam().underline);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Emphasis,
    testing::Values(EmphasisCase{"EmptyLine", "", "", 10, false, false},
                    EmphasisCase{"ShiftOut",
                                 "a\x0E"
                                 "b",
                                 "ab", 11, true, true},
                    EmphasisCase{"TwoShiftOutsThenDc4", "\x0E\x0E\x14", "", 11, false, false},
                    EmphasisCase{"Dc4AfterEscG",
                                 "\x1BG"
                                 "x\x14",
                                 "x", 9, false, false},
                    EmphasisCase{"EscGThenEscH", "\x1BGa\x1BH", "a", 10, false, false},
                    EmphasisCase{"LowerCaseEscGVanishes", "\x1Bg\x1Bhz", "z", 10, false, false},
                    EmphasisCase{"EscWithParameterDrawsIt",
                                 "\x1B"
                                 "C\x42",
                                 "B", 10, false, false},
                    EmphasisCase{"EscAtEndOfLine", "a\x1B", "a", 10, false, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(EngineTest, EmphasisTakesEffectMidLineAndCarriesToLaterPages) {
    Lay("L");
    Print("a\x0E"
          "b\r\n" +
          Lines(2, 65) + "\x0C\r\nnext\r\n");
    const DrawEvent* a = nullptr;
    const DrawEvent* b = nullptr;
    const DrawEvent* next = nullptr;
    for (const DrawEvent& e : printer.events) {
        if (e.text == "a") a = &e;
        if (e.text == "b") b = &e;
        if (e.text == "n" && e.page == 2) next = next ? next : &e;
    }
    ASSERT_TRUE(a && b && next);
    EXPECT_FALSE(a->bold);
    EXPECT_TRUE(b->bold);
    EXPECT_FLOAT_EQ(b->size, 11);
    EXPECT_TRUE(next->bold && next->underline) << "the engine never resets the font";
    EXPECT_FLOAT_EQ(next->size, 11);
}

TEST_F(EngineTest, AFailingFontStepIsSkippedAndTheLineStillDrawn) {
    printer.failing = {"SetFontSize", "SetFontUnderline"};
    PrintCodedLine(printer, "\x0Ex");
    EXPECT_TRUE(printer.bold);
    EXPECT_FLOAT_EQ(printer.fontSize, 10);
    ASSERT_EQ(printer.events.size(), 1u);
    EXPECT_EQ(printer.events[0].text, "x");
}

TEST_F(EngineTest, MissingFileShowsItsDescriptionAndEnds) {
    Lay("P");
    EXPECT_TRUE([&] {
        try {
            PrintReportFile(world.program, "missing.prt");
        } catch (const ProgramEnd&) {
            return true;
        }
        return false;
    }());
    ASSERT_EQ(world.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "File not found");
    EXPECT_EQ(world.dialogs.boxes[0].title, std::nullopt);
    EXPECT_EQ(world.forms.setupShown, 0);
}

TEST_F(EngineTest, UnusablePortAsksForSetupAndCancelEnds) {
    printer.paperBin = 8;
    world.rawPort.failOpenWith = 52;
    world.dialogs.answers = {MsgAnswer::OK, MsgAnswer::Cancel};
    Lay("P");
    EXPECT_TRUE(Print("a\r\n"));
    ASSERT_EQ(world.dialogs.boxes.size(), 2u);
    EXPECT_EQ(world.dialogs.boxes[0].text, "Bad file name or number");
    EXPECT_EQ(world.dialogs.boxes[1].text, "You must set up a harvex printer");
    EXPECT_EQ(world.dialogs.boxes[1].title, "Printer Setup Required");
    EXPECT_EQ(world.dialogs.boxes[1].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(world.forms.setupShown, 0);
}

TEST_F(EngineTest, UnusablePortSetupOkShowsTheWindowAndRunsMainAgain) {
    // The setup window fixes nothing here; the repeated job finds a laser printer instead.
    FakePrinter& laser = world.printers.Add("Office", "USB1");
    world.registry.SetString("DeviceName", "Office");
    printer.paperBin = 8;
    world.rawPort.failOpenWith = 52;
    world.process.commandLine = "report.prt x P";
    world.dialogs.answers = {MsgAnswer::OK, MsgAnswer::OK};
    Lay("P");
    EXPECT_TRUE(Print("again\r\n")) << "the repeated job ends the program itself";
    EXPECT_EQ(world.forms.setupShown, 1);
    EXPECT_EQ(world.process.sleeps.size(), 1u) << "Main ran again from the top";
    EXPECT_EQ(laser.PageRows().at(0).begin()->second, "again");
    EXPECT_EQ(laser.documents, 1);
}

} // namespace
