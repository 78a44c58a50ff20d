#include "platform/pdf/PdfSurface.h"
#include "platform/RuntimeError.h"
#include "support/PdfTools.h"

#include <cmath>
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

class PdfSurfaceTest : public ::testing::Test {
protected:
    PdfSurfaceTest() { surface = MakeSurface(); }

    std::unique_ptr<PdfSurface> MakeSurface(PageGeometry geometry = {}) {
        return std::make_unique<PdfSurface>(
            geometry, folder.path, [this](const std::string& path) { sunk.push_back(path); });
    }

    // Draws the text the way the print engine does: one character per call.
    static void PrintEach(PdfSurface& s, const std::string& text) {
        for (char c : text)
            s.Print(std::string(1, c), false);
    }

    std::string Finish(PdfSurface& s) {
        s.EndDoc();
        return sunk.empty() ? std::string() : sunk.back();
    }

    TempFolder folder;
    std::vector<std::string> sunk;
    std::unique_ptr<PdfSurface> surface;
};

TEST_F(PdfSurfaceTest, TextComesBackWithItsWindows1252Characters) {
    struct Case {
        std::string ansi, utf8;
    } cases[] = {
        {"Total \x80 12,50", "Total € 12,50"},
        {"\x97\x97\x97 end", "——— end"},
        {"Caf\xe9 na\xefve \xc5ngstr\xf6m", "Café naïve Ångström"},
        {"\x84quoted\x93 \x8c\x9c \x99", "„quoted“ Œœ ™"},
        {"(paren) back\\slash", "(paren) back\\slash"},
    };
    surface->SetFontName("Courier New");
    surface->SetFontSize(10);
    float y = 0;
    for (const Case& c : cases) {
        surface->SetCurrentX(0);
        surface->SetCurrentY(y);
        PrintEach(*surface, c.ansi);
        y += 300;
    }
    std::string text = TextOf(Finish(*surface));
    for (const Case& c : cases)
        EXPECT_NE(text.find(c.utf8), std::string::npos) << c.utf8 << " in:\n" << text;
}

TEST_F(PdfSurfaceTest, BytesWithoutGlyphAdvanceLikeABlankAndShowNothing) {
    surface->SetFontSize(10);
    for (std::string blank : {"\x01", "\x1b", "\x7f", "\x81", "\x8d", "\x8f", "\x90", "\x9d"})
        EXPECT_FLOAT_EQ(surface->TextWidth("A" + blank + "B"), surface->TextWidth("A B"))
            << blank[0];

    PrintEach(*surface, std::string("A\x01\x81Z"));
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].text, "A");
    EXPECT_EQ(words[1].text, "Z");
    float advance = surface->TextWidth("A") / 20;
    EXPECT_NEAR(words[1].xMin - words[0].xMin, 3 * advance, 0.01);
}

TEST_F(PdfSurfaceTest, EmbedsEachFaceThatIsDrawn) {
    struct Case {
        bool drawBold;
        std::vector<std::string> fonts;
    } cases[] = {{false, {"LiberationMono"}}, {true, {"LiberationMono", "LiberationMono-Bold"}}};
    for (const Case& c : cases) {
        auto s = MakeSurface();
        s->SetFontName("Courier New");
        PrintEach(*s, "regular ");
        s->SetFontBold(c.drawBold);
        PrintEach(*s, "maybe bold");
        std::string fonts = FontsOf(Finish(*s));
        size_t rows = 0;
        for (const std::string& name : c.fonts) {
            std::smatch row;
            ASSERT_TRUE(
                std::regex_search(fonts, row, std::regex("\n[A-Z]{6}\\+" + name + " +(.*)\n")))
                << fonts;
            EXPECT_TRUE(
                std::regex_search(std::string(row[1]), std::regex("TrueType +WinAnsi +yes +yes")))
                << row[0];
            ++rows;
        }
        EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), long(rows + 2)) << fonts;
    }
}

TEST_F(PdfSurfaceTest, EveryDrawnCharacterKeepsItsOutline) {
    // The embedded font carries only the glyphs drawn; built-up ones (accented letters) need
    // their parts as well. Each character on a line of its own must leave ink in its cell.
    const std::string characters = "A\xe9\xc5\xf1\x80\x97\x8c\x9f\xfc";
    const float size = 20, step = 600;
    surface->SetFontSize(size);
    for (size_t i = 0; i < characters.size(); ++i) {
        surface->SetCurrentX(0);
        surface->SetCurrentY(i * step);
        surface->Print(characters.substr(i, 1), false);
    }
    surface->SetFontBold(true);
    surface->SetCurrentY(characters.size() * step);
    surface->Print("\xe9", false);
    const int dpi = 72;
    GreyImage page = RenderFirstPage(Finish(*surface), dpi);
    ASSERT_GT(page.width, 0);
    for (size_t i = 0; i <= characters.size(); ++i) {
        int top = int(kMargin + i * step / 20), left = int(kMargin);
        int ink = 0;
        for (int y = top; y < top + int(size * 1.2); ++y)
            for (int x = left; x < left + int(size); ++x)
                ink += page.At(x, y) < 128;
        EXPECT_GT(ink, 3) << "character " << i;
    }
}

TEST_F(PdfSurfaceTest, TextWidthGrowsInProportionToTheSizeTaken) {
    const std::string measuringLine(112, 'A');
    surface->SetFontName("Courier New");
    surface->SetFontSize(8);
    float perPoint = surface->TextWidth(measuringLine) / 8;
    EXPECT_GT(perPoint, 112 * 0.55f * 20);
    EXPECT_LT(perPoint, 112 * 0.65f * 20);
    for (float size : {4.0f, 8.65f, 9.1f, 10.0f, 12.35f, 72.0f}) {
        surface->SetFontSize(size);
        EXPECT_EQ(surface->FontSize(), size);
        EXPECT_NEAR(surface->TextWidth(measuringLine), perPoint * size, perPoint * size * 1e-6);
    }
    surface->SetFontBold(true);
    EXPECT_NEAR(surface->TextWidth(measuringLine), perPoint * 72, perPoint * 72 * 1e-6)
        << "Courier's bold face keeps the regular advance";
}

TEST_F(PdfSurfaceTest, DrawnLineEndsWhereTextWidthSays) {
    const std::string line(112, 'A');
    float sizes[] = {6.5f, 7.0f, 8.3f};
    float y = 0;
    std::vector<float> widths;
    for (float size : sizes) {
        surface->SetFontSize(size);
        surface->SetCurrentX(200);
        surface->SetCurrentY(y);
        PrintEach(*surface, line);
        widths.push_back(surface->TextWidth(line));
        EXPECT_FLOAT_EQ(surface->CurrentX(), 200 + widths.back());
        y += 400;
    }
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), std::size(sizes));
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].xMin, kMargin + 10, 0.01);
        EXPECT_NEAR(words[i].xMax, kMargin + 10 + widths[i] / 20, 0.01) << sizes[i];
    }
}

TEST_F(PdfSurfaceTest, CharacterByCharacterDrawsWhatOneCallDraws) {
    // Font changes in mid-line, as the emphasis codes make them.
    auto draw = [](PdfSurface& s, bool eachCharacter) {
        auto print = [&](const std::string& text) {
            if (eachCharacter)
                PrintEach(s, text);
            else
                s.Print(text, false);
        };
        s.SetFontSize(9);
        s.SetCurrentY(0);
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
        s.SetCurrentX(0);
        s.SetCurrentY(500);
        print("second line");
    };
    auto each = MakeSurface(), whole = MakeSurface();
    draw(*each, true);
    draw(*whole, false);
    EXPECT_FLOAT_EQ(each->CurrentX(), whole->CurrentX());
    std::string eachPdf = Finish(*each), wholePdf = Finish(*whole);
    auto eachWords = WordsOf(eachPdf), wholeWords = WordsOf(wholePdf);
    ASSERT_EQ(eachWords.size(), 10u);
    ASSERT_EQ(eachWords.size(), wholeWords.size());
    for (size_t i = 0; i < eachWords.size(); ++i) {
        EXPECT_EQ(eachWords[i].text, wholeWords[i].text);
        EXPECT_NEAR(eachWords[i].xMin, wholeWords[i].xMin, 0.001) << eachWords[i].text;
        EXPECT_NEAR(eachWords[i].xMax, wholeWords[i].xMax, 0.001) << eachWords[i].text;
        EXPECT_NEAR(eachWords[i].yMax, wholeWords[i].yMax, 0.001) << eachWords[i].text;
    }
    EXPECT_EQ(FontsOf(eachPdf), FontsOf(wholePdf));
}

TEST_F(PdfSurfaceTest, UnderlineRunsUnderTheWholeTextDrawnWithIt) {
    // The longest unbroken dark stretch of any pixel row in the text's cell: the whole text's
    // width when underlined, a single letter's stroke at most otherwise.
    struct Case {
        bool underline;
        float y;
    } cases[] = {{true, 0}, {false, 1000}, {true, 2000}};
    const float size = 20;
    surface->SetFontSize(size);
    for (const Case& c : cases) {
        surface->SetCurrentX(0);
        surface->SetCurrentY(c.y);
        surface->SetFontUnderline(c.underline);
        PrintEach(*surface, "WIDE");
        surface->SetFontUnderline(false);
        PrintEach(*surface, " rest");
    }
    const int dpi = 144;
    const double pixelsPerTwip = dpi / 1440.0;
    GreyImage page = RenderFirstPage(Finish(*surface), dpi);
    ASSERT_GT(page.width, 0);
    double wordWidth = surface->TextWidth("WIDE") * pixelsPerTwip;
    for (const Case& c : cases) {
        int top = int((kMargin * 20 + c.y) * pixelsPerTwip);
        int bottom = top + int(size * 20 * 1.2 * pixelsPerTwip);
        int longest = 0;
        for (int y = top; y < bottom; ++y) {
            int run = 0;
            for (int x = 0; x < page.width; ++x) {
                run = page.At(x, y) < 128 ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        if (c.underline)
            EXPECT_NEAR(longest, wordWidth, 3) << c.y;
        else
            EXPECT_LT(longest, wordWidth / 3) << c.y;
    }
}

TEST_F(PdfSurfaceTest, LinesLandAtTheirAbsolutePositions) {
    // Drawn bottom line first: the page still reads top to bottom.
    surface->SetFontSize(10);
    const float lineHeight = 250;
    for (int line : {4, 1, 3, 0}) {
        surface->SetCurrentX(0);
        surface->SetCurrentY(line * lineHeight);
        PrintEach(*surface, "line" + std::to_string(line));
        surface->Print("\r\n", true);
    }
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 4u);
    const char* order[] = {"line0", "line1", "line3", "line4"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(words[i].text, order[i]);
        EXPECT_NEAR(words[i].xMin, kMargin, 0.01);
    }
    float step = (words[1].yMax - words[0].yMax);
    EXPECT_NEAR(step, lineHeight / 20, 0.01);
    EXPECT_NEAR(words[3].yMax - words[2].yMax, step, 0.01);
    // The text's cell starts at CurrentY: the glyphs hang below the top margin.
    EXPECT_GT(words[0].yMin, kMargin - 0.5);
    EXPECT_LT(words[0].yMin, kMargin + 4);
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
        surface->SetCurrentX(100);
        surface->SetCurrentY(1000);
        surface->Print(c.text, c.lineEnd);
        float down = surface->CurrentY() - 1000;
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

TEST_F(PdfSurfaceTest, EachNewPageOfADocumentMakesAPage) {
    struct Case {
        int newPagesBeforeDrawing, drawnPages;
        std::string pages;
    } cases[] = {{0, 1, "1"}, {0, 3, "3"}, {2, 1, "1"}, {0, 0, ""}};
    for (const Case& c : cases) {
        auto s = MakeSurface();
        sunk.clear();
        for (int i = 0; i < c.newPagesBeforeDrawing; ++i)
            s->NewPage(); // no document yet: nothing
        for (int page = 0; page < c.drawnPages; ++page) {
            if (page > 0) s->NewPage();
            if (page != 1) // the second page stays blank
                PrintEach(*s, "page" + std::to_string(page + 1));
        }
        s->EndDoc();
        if (c.drawnPages == 0) {
            EXPECT_TRUE(sunk.empty());
            continue;
        }
        ASSERT_EQ(sunk.size(), 1u);
        EXPECT_EQ(InfoOf(sunk[0], "Pages"), c.pages);
        std::string text = TextOf(sunk[0]);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), c.drawnPages);
        if (c.drawnPages == 3) {
            EXPECT_NE(text.find("page3"), std::string::npos);
        }
    }
}

TEST_F(PdfSurfaceTest, LandscapeTurnsPaperAndMargins) {
    PageGeometry portrait;
    portrait.paperWidth = 600;
    portrait.paperHeight = 800;
    portrait.marginLeft = 10;
    portrait.marginTop = 20;
    portrait.marginRight = 30;
    portrait.marginBottom = 40;
    auto s = MakeSurface(portrait);
    EXPECT_EQ(s->ScaleWidth(), (600 - 10 - 30) * 20);
    EXPECT_EQ(s->ScaleHeight(), (800 - 20 - 40) * 20);
    s->SetOrientation(2);
    EXPECT_EQ(s->Orientation(), 2);
    EXPECT_EQ(s->PaperWidth(), 800);
    EXPECT_EQ(s->PaperHeight(), 600);
    // The portrait left edge is the landscape top; the portrait bottom, the landscape left.
    EXPECT_EQ(s->ScaleWidth(), (800 - 40 - 20) * 20);
    EXPECT_EQ(s->ScaleHeight(), (600 - 10 - 30) * 20);
    EXPECT_THROW(
        try { s->SetOrientation(3); } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, 5);
            throw;
        },
        RuntimeError);
    EXPECT_EQ(s->Orientation(), 2);

    PrintEach(*s, "turned");
    std::string pdf = Finish(*s);
    EXPECT_EQ(InfoOf(pdf, "Page size"), "800 x 600 pts");
    auto words = WordsOf(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_NEAR(words[0].xMin, 40, 0.01);
    EXPECT_GT(words[0].yMin, 10 - 0.5);
    EXPECT_LT(words[0].yMin, 10 + 4);
}

TEST_F(PdfSurfaceTest, RefusedSettingsKeepWhatWasBefore) {
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    surface->SetFontSize(9.5f);
    surface->SetCurrentX(100);
    surface->SetCurrentY(200);
    struct Case {
        std::function<void()> set;
        int number;
    } cases[] = {
        {[&] { surface->SetFontSize(0); }, 5},    {[&] { surface->SetFontSize(-3); }, 5},
        {[&] { surface->SetFontSize(5000); }, 5}, {[&] { surface->SetFontSize(nan); }, 5},
        {[&] { surface->SetFontSize(inf); }, 5},  {[&] { surface->SetCurrentX(nan); }, 6},
        {[&] { surface->SetCurrentY(-inf); }, 6}, {[&] { surface->SetOrientation(0); }, 5},
    };
    for (const Case& c : cases) {
        try {
            c.set();
            ADD_FAILURE() << "taken";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, c.number);
        }
        EXPECT_EQ(surface->FontSize(), 9.5f);
        EXPECT_EQ(surface->CurrentX(), 100);
        EXPECT_EQ(surface->CurrentY(), 200);
        EXPECT_EQ(surface->Orientation(), 1);
    }
}

TEST_F(PdfSurfaceTest, DocumentCarriesItsTitleAndProducer) {
    surface->SetDocumentName("Caf\xe9 report");
    PrintEach(*surface, "x");
    std::string pdf = Finish(*surface);
    EXPECT_EQ(InfoOf(pdf, "Title"), "Café report");
    EXPECT_EQ(InfoOf(pdf, "Producer"), "Papyra");
}

TEST_F(PdfSurfaceTest, UnfinishedDocumentLeavesNothingBehind) {
    PrintEach(*surface, "half a report");
    surface->NewPage();
    PrintEach(*surface, "more");
    EXPECT_EQ(folder.Names().size(), 1u) << "the document grows in a temporary file";
    surface.reset();
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_TRUE(sunk.empty());
}

TEST_F(PdfSurfaceTest, FinishedDocumentIsHandedOverAndTheNextStartsAfresh) {
    PrintEach(*surface, "first");
    surface->EndDoc();
    surface->EndDoc(); // nothing begun: nothing happens
    PrintEach(*surface, "second");
    surface->EndDoc();
    ASSERT_EQ(sunk.size(), 2u);
    EXPECT_NE(sunk[0], sunk[1]);
    EXPECT_NE(TextOf(sunk[0]).find("first"), std::string::npos);
    EXPECT_EQ(TextOf(sunk[1]).find("first"), std::string::npos);
    EXPECT_EQ(InfoOf(sunk[1], "Pages"), "1");
}

TEST_F(PdfSurfaceTest, MissingFolderFailsTheFirstPrint) {
    PdfSurface s(PageGeometry{}, folder.path + "/not/there", [](const std::string&) {});
    try {
        s.Print("x", false);
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
                    surface->SetCurrentX(0);
                    surface->SetCurrentY(line * 200.0f);
                    surface->Print("page " + std::to_string(page) + " line " +
                                       std::to_string(line) + std::string(line, '*'),
                                   false);
                }
            }
            surface->EndDoc();
        } catch (const RuntimeError& e) {
            number = e.number;
        }
        bool nothingLeft = folder.Names().empty() && sunk.empty();
        // The surface starts afresh: a small document still fits.
        surface->SetCurrentX(0);
        surface->SetCurrentY(0);
        surface->Print("small", false);
        surface->EndDoc();
        bool smallWritten = sunk.size() == 1 && TextOf(sunk[0]).find("small") != std::string::npos;
        _exit(number == 57 && nothingLeft && smallWritten ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
