#include "platform/pdf/PdfSurface.h"
#include "platform/RuntimeError.h"
#include "support/PdfTools.h"
#include "support/ScratchFolder.h"

#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

namespace {

constexpr float kMargin = 18; // points, every side of the default geometry

// Draws the text the way the print engine does: one character per call.
void PrintEach(PdfSurface& s, const std::string& text) {
    for (char c : text)
        s.Print(std::string(1, c), false);
}

void MoveTo(PdfSurface& s, float x, float y) {
    s.SetCurrentX(x);
    s.SetCurrentY(y);
}

// The longest unbroken dark stretch of any pixel row from top to bottom.
int LongestDarkRun(const GreyImage& page, int top, int bottom) {
    int longest = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0, run = 0; x < page.width; ++x)
            longest = std::max(longest, run = page.At(x, y) < 128 ? run + 1 : 0);
    return longest;
}

class PdfSurfaceTest : public ::testing::Test {
protected:
    std::unique_ptr<PdfSurface> Make(PageGeometry geometry = {}) {
        return std::make_unique<PdfSurface>(
            geometry, folder.path(), [this](const std::string& path) { sunk.push_back(path); });
    }
    // Ends the document and returns the PDF handed over, if any.
    std::string Finish(PdfSurface& s) {
        s.EndDoc();
        return sunk.empty() ? std::string() : sunk.back();
    }

    ScratchFolder folder;
    std::vector<std::string> sunk;
    std::unique_ptr<PdfSurface> surface = Make();
};

TEST_F(PdfSurfaceTest, TextAndTitleComeBackWithTheirWindows1252Characters) {
    const std::pair<std::string, std::string> cases[] = {
        {"Total \x80 12,50", "Total € 12,50"},
        {"\x97\x97\x97 end", "——— end"},
        {"Caf\xe9 na\xefve \xc5ngstr\xf6m", "Café naïve Ångström"},
        {"\x84quoted\x93 \x8c\x9c \x99", "„quoted“ Œœ ™"},
        {"(paren) back\\slash", "(paren) back\\slash"},
    };
    surface->SetDocumentName("Caf\xe9 report");
    surface->SetFontName("Courier New");
    surface->SetFontSize(10);
    float y = 0;
    for (const auto& [ansi, utf8] : cases) {
        MoveTo(*surface, 0, y += 300);
        surface->SetFontBold(y > 1000); // the last lines in the bold face
        PrintEach(*surface, ansi);
    }
    const std::string pdf = Finish(*surface), text = TextOf(pdf);
    for (const auto& [ansi, utf8] : cases)
        EXPECT_NE(text.find(utf8), std::string::npos) << utf8 << " in:\n" << text;
    EXPECT_EQ(InfoOf(pdf, "Title"), "Café report");
    EXPECT_EQ(InfoOf(pdf, "Producer"), "Papyra");
    // Each face drawn, as an embedded subset, and no other font.
    const std::string fonts = FontsOf(pdf);
    const std::regex row("\n[A-Z]{6}\\+LiberationMono(-Bold)? +TrueType +WinAnsi +yes +yes");
    EXPECT_EQ(std::distance(std::sregex_iterator(fonts.begin(), fonts.end(), row), {}), 2) << fonts;
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 4) << fonts;
}

TEST_F(PdfSurfaceTest, BytesWithoutGlyphAdvanceLikeABlankAndShowNothing) {
    surface->SetFontSize(10);
    for (std::string blank : {"\x01", "\x1b", "\x7f", "\x81", "\x8d", "\x8f", "\x90", "\x9d"})
        EXPECT_FLOAT_EQ(surface->TextWidth("A" + blank + "B"), surface->TextWidth("A B"))
            << int(blank[0]);
    PrintEach(*surface, "A\x01\x81Z");
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].text + words[1].text, "AZ");
    EXPECT_NEAR(words[1].xMin - words[0].xMin, 3 * surface->TextWidth("A") / 20, 0.01);
}

TEST_F(PdfSurfaceTest, EveryDrawnCharacterKeepsItsOutline) {
    // The embedded font carries only the glyphs drawn; built-up ones (accented letters) need
    // their parts as well. Each character on a line of its own must leave ink in its cell.
    const std::string characters = "A\xe9\xc5\xf1\x80\x97\x8c\x9f\xfc\xe9"; // the last one bold
    const float size = 20, step = 600;
    surface->SetFontSize(size);
    for (size_t i = 0; i < characters.size(); ++i) {
        surface->SetFontBold(i + 1 == characters.size());
        MoveTo(*surface, 0, i * step);
        surface->Print(characters.substr(i, 1), false);
    }
    GreyImage page = RenderFirstPage(Finish(*surface), 72);
    ASSERT_GT(page.width, 0);
    for (size_t i = 0; i < characters.size(); ++i) {
        int top = int(kMargin + i * step / 20), ink = 0;
        for (int y = top; y < top + int(size * 1.2); ++y)
            for (int x = int(kMargin); x < int(kMargin + size); ++x)
                ink += page.At(x, y) < 128;
        EXPECT_GT(ink, 3) << "character " << i;
    }
}

TEST_F(PdfSurfaceTest, TextWidthIsProportionalToTheSizeAndDrawnLinesEndThere) {
    const std::string line(112, 'A');
    surface->SetFontName("Courier New");
    surface->SetFontSize(8);
    const float perPoint = surface->TextWidth(line) / 8;
    const float sizes[] = {4, 6.5f, 8.3f, 12.35f, 72};
    std::vector<float> widths;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        surface->SetFontBold(i % 2); // Courier's bold face keeps the regular advance
        surface->SetFontSize(sizes[i]);
        widths.push_back(surface->TextWidth(line));
        EXPECT_NEAR(widths.back(), perPoint * sizes[i], perPoint * sizes[i] * 1e-6);
        if (sizes[i] > 9) continue; // too wide for the page
        MoveTo(*surface, 200, i * 400);
        PrintEach(*surface, line);
        EXPECT_FLOAT_EQ(surface->CurrentX(), 200 + widths.back());
    }
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 3u);
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].xMin, kMargin + 10, 0.01);
        EXPECT_NEAR(words[i].xMax, kMargin + 10 + widths[i] / 20, 0.01) << sizes[i];
    }
}

TEST_F(PdfSurfaceTest, CharacterByCharacterDrawsWhatOneCallDraws) {
    // Font changes in mid-line, as the emphasis codes make them.
    auto draw = [](PdfSurface& s, bool eachCharacter) {
        auto print = [&](const std::string& text) {
            eachCharacter ? PrintEach(s, text) : s.Print(text, false);
        };
        s.SetFontSize(9);
        print("plain start ");
        s.SetFontBold(true);
        print("bold part ");
        s.SetFontSize(10);
        s.SetFontUnderline(true);
        print("WIDE");
        s.SetFontBold(false);
        s.SetFontUnderline(false);
        s.SetFontSize(9);
        print(" plain end \x97\x80");
        MoveTo(s, 0, 500);
        print("second line");
    };
    auto each = Make(), whole = Make();
    draw(*each, true);
    draw(*whole, false);
    EXPECT_FLOAT_EQ(each->CurrentX(), whole->CurrentX());
    const std::string eachPdf = Finish(*each), wholePdf = Finish(*whole);
    auto eachWords = WordsOf(eachPdf), wholeWords = WordsOf(wholePdf);
    ASSERT_EQ(eachWords.size(), 10u);
    ASSERT_EQ(eachWords.size(), wholeWords.size());
    for (size_t i = 0; i < eachWords.size(); ++i) {
        const Word &a = eachWords[i], &b = wholeWords[i];
        EXPECT_EQ(a.text, b.text);
        EXPECT_NEAR(a.xMin, b.xMin, 0.001) << a.text;
        EXPECT_NEAR(a.xMax, b.xMax, 0.001) << a.text;
        EXPECT_NEAR(a.yMax, b.yMax, 0.001) << a.text;
    }
    EXPECT_EQ(FontsOf(eachPdf), FontsOf(wholePdf));
}

TEST_F(PdfSurfaceTest, UnderlineRunsUnderTheWholeTextDrawnWithIt) {
    // In the text's cell the longest dark stretch is the whole text's width when underlined, a
    // single letter's stroke at most otherwise.
    const std::pair<bool, float> cases[] = {{true, 0}, {false, 1000}, {true, 2000}};
    const float size = 20;
    surface->SetFontSize(size);
    for (auto [underline, y] : cases) {
        MoveTo(*surface, 0, y);
        surface->SetFontUnderline(underline);
        PrintEach(*surface, "WIDE");
        surface->SetFontUnderline(false);
        PrintEach(*surface, " rest");
    }
    const double pixelsPerTwip = 144 / 1440.0;
    GreyImage page = RenderFirstPage(Finish(*surface), 144);
    ASSERT_GT(page.width, 0);
    const double wordWidth = surface->TextWidth("WIDE") * pixelsPerTwip;
    for (auto [underline, y] : cases) {
        int top = int((kMargin * 20 + y) * pixelsPerTwip);
        int longest = LongestDarkRun(page, top, top + int(size * 20 * 1.2 * pixelsPerTwip));
        if (underline)
            EXPECT_NEAR(longest, wordWidth, 3) << y;
        else
            EXPECT_LT(longest, wordWidth / 3) << y;
    }
}

TEST_F(PdfSurfaceTest, LinesLandAtTheirAbsolutePositions) {
    // Drawn bottom line first: the page still reads top to bottom.
    surface->SetFontSize(10);
    for (int line : {4, 1, 3, 0}) {
        MoveTo(*surface, 0, line * 250.0f);
        PrintEach(*surface, "line" + std::to_string(line));
        surface->Print("\r\n", true);
    }
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 4u);
    const int order[] = {0, 1, 3, 4};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(words[i].text, "line" + std::to_string(order[i]));
        EXPECT_NEAR(words[i].xMin, kMargin, 0.01);
        EXPECT_NEAR(words[i].yMax - words[0].yMax, order[i] * 250 / 20.0, 0.01);
    }
}

TEST_F(PdfSurfaceTest, LineEndsMoveDownByTheFontsLineHeight) {
    struct Case {
        float size;
        std::string text;
        bool lineEnd;
        int linesDown;
    } cases[] = {{10, "AB", false, 0},
                 {10, "AB", true, 1},
                 {10, "\r\n", true, 2},
                 {20, "A\nB", false, 1},
                 {20, "\r\nA\r\n", false, 2}};
    float perPoint = 0;
    for (const Case& c : cases) {
        surface->SetFontSize(c.size);
        MoveTo(*surface, 100, 1000);
        surface->Print(c.text, c.lineEnd);
        const float down = surface->CurrentY() - 1000;
        if (c.linesDown == 0) {
            EXPECT_EQ(down, 0);
            EXPECT_FLOAT_EQ(surface->CurrentX(), 100 + surface->TextWidth(c.text));
            continue;
        }
        if (perPoint == 0) perPoint = down / c.linesDown / c.size;
        EXPECT_NEAR(down, perPoint * c.size * c.linesDown, 0.01) << c.text;
        bool endsInText = c.text.back() != '\n' && !c.lineEnd;
        EXPECT_FLOAT_EQ(surface->CurrentX(), endsInText ? surface->TextWidth("B") : 0);
    }
    // A Windows text height of Courier's metrics: a little over the size.
    EXPECT_GT(perPoint, 20 * 1.05);
    EXPECT_LT(perPoint, 20 * 1.25);
}

TEST_F(PdfSurfaceTest, EachEndedDocumentIsHandedOverWithItsPagesAndTheNextStartsAfresh) {
    surface->NewPage(); // no document yet: nothing
    surface->EndDoc();  // likewise
    EXPECT_TRUE(sunk.empty());
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) surface->NewPage();
        if (page != 2) PrintEach(*surface, "page" + std::to_string(page)); // 2 stays blank
    }
    surface->EndDoc();
    PrintEach(*surface, "second");
    surface->EndDoc();
    ASSERT_EQ(sunk.size(), 2u);
    const std::string first = TextOf(sunk[0]), second = TextOf(sunk[1]);
    EXPECT_EQ(InfoOf(sunk[0], "Pages"), "3");
    EXPECT_NE(first.find("page3"), std::string::npos);
    EXPECT_EQ(InfoOf(sunk[1], "Pages"), "1");
    EXPECT_EQ(second.find("page"), std::string::npos);
    EXPECT_NE(second.find("second"), std::string::npos);
}

TEST_F(PdfSurfaceTest, LandscapeTurnsPaperAndMargins) {
    auto s = Make({600, 800, 10, 20, 30, 40});
    EXPECT_EQ(s->ScaleWidth(), (600 - 10 - 30) * 20);
    EXPECT_EQ(s->ScaleHeight(), (800 - 20 - 40) * 20);
    s->SetOrientation(2);
    EXPECT_EQ(s->Orientation(), 2);
    EXPECT_EQ(s->PaperWidth(), 800);
    EXPECT_EQ(s->PaperHeight(), 600);
    // The portrait left edge is the landscape top; the portrait bottom, the landscape left.
    EXPECT_EQ(s->ScaleWidth(), (800 - 40 - 20) * 20);
    EXPECT_EQ(s->ScaleHeight(), (600 - 10 - 30) * 20);
    PrintEach(*s, "turned");
    const std::string pdf = Finish(*s);
    EXPECT_EQ(InfoOf(pdf, "Page size"), "800 x 600 pts");
    auto words = WordsOf(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_NEAR(words[0].xMin, 40, 0.01);
    EXPECT_GT(words[0].yMin, 10 - 0.5) << "the text's cell starts at CurrentY";
    EXPECT_LT(words[0].yMin, 10 + 4);
}

TEST_F(PdfSurfaceTest, RefusedSettingsKeepWhatWasBefore) {
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    surface->SetFontSize(9.5f);
    MoveTo(*surface, 100, 200);
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { surface->SetFontSize(0); }, 5},    {[&] { surface->SetFontSize(-3); }, 5},
        {[&] { surface->SetFontSize(5000); }, 5}, {[&] { surface->SetFontSize(nan); }, 5},
        {[&] { surface->SetFontSize(inf); }, 5},  {[&] { surface->SetCurrentX(nan); }, 6},
        {[&] { surface->SetCurrentY(-inf); }, 6}, {[&] { surface->SetOrientation(0); }, 5},
        {[&] { surface->SetOrientation(3); }, 5},
    };
    for (const auto& [set, number] : cases) {
        try {
            set();
            ADD_FAILURE() << "taken";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, number);
        }
        EXPECT_EQ(surface->FontSize(), 9.5f);
        EXPECT_EQ(surface->CurrentX(), 100);
        EXPECT_EQ(surface->CurrentY(), 200);
        EXPECT_EQ(surface->Orientation(), 1);
    }
}

TEST_F(PdfSurfaceTest, UnfinishedDocumentLeavesNothingBehindAndAMissingFolderIsError76) {
    PrintEach(*surface, "half a report");
    surface->NewPage();
    EXPECT_EQ(folder.Entries(), 1u) << "the document grows in a temporary file";
    surface.reset();
    EXPECT_EQ(folder.Entries(), 0u);
    EXPECT_TRUE(sunk.empty());

    PdfSurface lost(PageGeometry{}, folder / "not/there", [](const std::string&) {});
    try {
        lost.Print("x", false);
        ADD_FAILURE() << "printed into a missing folder";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 76);
    }
}

TEST_F(PdfSurfaceTest, FailedWriteLeavesNoDocumentAndTheNextOneWorks) {
    // A child process whose files may not grow past 64 KiB: the document cannot be written.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int number = 0;
        try {
            for (int page = 0; page < 400; ++page) {
                surface->NewPage();
                for (int line = 0; line < 80; ++line) {
                    MoveTo(*surface, 0, line * 200.0f);
                    surface->Print("page " + std::to_string(page) + " line " +
                                       std::to_string(line) + std::string(line, '*'),
                                   false);
                }
            }
            surface->EndDoc();
        } catch (const RuntimeError& e) {
            number = e.number;
        }
        const bool nothingLeft = folder.Entries() == 0 && sunk.empty();
        MoveTo(*surface, 0, 0);
        surface->Print("small", false);
        surface->EndDoc();
        const bool smallWritten =
            sunk.size() == 1 && TextOf(sunk[0]).find("small") != std::string::npos;
        _exit(number == 57 && nothingLeft && smallWritten ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
