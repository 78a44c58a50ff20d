// The PDF printer on Unix: the fonts it embeds, the pages it draws and the files it leaves.
#include "platform/pdf/PdfFilePrinter.h"
#include "platform/pdf/TrueTypeFont.h"
#include "support/PdfTools.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;

namespace {

TEST(TrueTypeFont, CffOutlinesAndDamagedFilesAreRefused) {
    std::string cff = ResolveTrueTypeFont("Courier New", false)->fileBytes,
                cut = cff.substr(0, 999);
    cff.replace(0, 4, "OTTO");
    ScratchFolder folder;
    for (const std::string& file : {cff, cut}) {
        WriteBytes(folder / "font.ttf", file);
        EXPECT_EQ(LoadTrueTypeFont(folder / "font.ttf"), nullptr) << file.size();
    }
}

constexpr float kMargin = 18; // points, every side of the default geometry

// Draws text at x, y the way the print engine does: one character per call.
void DrawAt(PdfSurface& s, float x, float y, const std::string& text) {
    s.SetCurrentX(x);
    s.SetCurrentY(y);
    for (char c : text)
        s.Print(std::string(1, c), false);
}

class PdfSurfaceTest : public ::testing::Test {
protected:
    std::unique_ptr<PdfSurface> Make(PageGeometry geometry = {}) {
        return std::make_unique<PdfSurface>(
            geometry, folder.path(), [this](const std::string& path) { sunk.push_back(path); });
    }
    // Ends the document and returns the PDF handed over.
    std::string Finish(PdfSurface& s) {
        s.EndDoc();
        return sunk.empty() ? std::string() : sunk.back();
    }

    ScratchFolder folder;
    std::vector<std::string> sunk;
    std::unique_ptr<PdfSurface> surface = Make();
};

TEST_F(PdfSurfaceTest, Windows1252CharactersComeBackAsTextAndInkFromEmbeddedSubsets) {
    // A character a line, the last in the bold face. Built-up glyphs (accented letters) need
    // their parts in the embedded subset too.
    const std::string characters = "\x80\x97\xe9\xc5\x84\x93\x8c\x99(\\\xfc";
    const char* utf8[] = {"€", "—", "é", "Å", "„", "“", "Œ", "™", "(", "\\", "ü"};
    const float size = 20, step = 600;
    surface->SetDocumentName("Caf\xe9 report");
    surface->SetFontSize(size);
    for (size_t i = 0; i < characters.size(); ++i) {
        surface->SetFontBold(i + 1 == characters.size());
        DrawAt(*surface, 0, i * step, characters.substr(i, 1));
    }
    const std::string pdf = Finish(*surface);
    EXPECT_EQ(InfoOf(pdf, "Title"), "Café report");
    const auto words = WordsOf(pdf);
    const GreyImage page = RenderFirstPage(pdf, 72);
    ASSERT_EQ(words.size(), characters.size());
    ASSERT_GT(page.width, 0);
    for (size_t i = 0; i < characters.size(); ++i) {
        EXPECT_EQ(words[i].text, utf8[i]);
        int top = int(kMargin + i * step / 20), ink = 0;
        for (int y = top; y < top + int(size * 1.2); ++y)
            for (int x = int(kMargin); x < int(kMargin + size); ++x)
                ink += page.Dark(x, y);
        EXPECT_GT(ink, 3) << utf8[i];
    }
}

TEST_F(PdfSurfaceTest, BytesWithoutGlyphAdvanceLikeABlankAndShowNothing) {
    for (std::string blank : {"\x01", "\x7f", "\x81", "\x9d"})
        EXPECT_FLOAT_EQ(surface->TextWidth("A" + blank + "B"), surface->TextWidth("A B"))
            << int(blank[0]);
    DrawAt(*surface, 0, 0, "A\x01\x81Z");
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].text + words[1].text, "AZ");
    EXPECT_NEAR(words[1].xMin - words[0].xMin, 3 * surface->TextWidth("A") / 20, 0.01);
}

TEST_F(PdfSurfaceTest, TextLandsWhereItIsPutAndEndsWhereItsWidthSays) {
    // The bottom line drawn first, each line in a size of its own: the page still reads top to
    // bottom. Courier advances 0.6 em a character: "WIDTH" is 3 em, 60 twips a point.
    const float sizes[] = {12.35f, 4, 8.3f};
    for (int i = 2; i >= 0; --i) {
        surface->SetFontSize(sizes[i]);
        EXPECT_NEAR(surface->TextWidth("WIDTH"), 60 * sizes[i], 60 * sizes[i] * 1e-3);
        DrawAt(*surface, 200, i * 400.0f, "WIDTH");
        EXPECT_FLOAT_EQ(surface->CurrentX(), 200 + surface->TextWidth("WIDTH"));
    }
    auto words = WordsOf(Finish(*surface));
    ASSERT_EQ(words.size(), 3u);
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].xMin, kMargin + 10, 0.01);
        EXPECT_NEAR(words[i].xMax, kMargin + 10 + 3 * sizes[i], 0.02);
        EXPECT_NEAR(words[i].yMin, kMargin + i * 20, 0.5);
    }
}

TEST_F(PdfSurfaceTest, LineEndsGoBackToTheLeftAndDownByTheFontsLineHeight) {
    // text, line end, lines down; at two sizes
    const std::tuple<std::string, bool, int> cases[] = {
        {"AB", true, 1}, {"\r\n", true, 2}, {"A\nB", false, 1}, {"\r\nA\r\n", false, 2}};
    for (float size : {10, 20})
        for (const auto& [text, lineEnd, linesDown] : cases) {
            surface->SetFontSize(size);
            surface->SetCurrentX(100);
            surface->SetCurrentY(1000);
            surface->Print(text, lineEnd);
            // A Windows text height of Courier's metrics: a little over the size.
            const float perPoint = (surface->CurrentY() - 1000) / linesDown / size;
            EXPECT_TRUE(perPoint > 20 * 1.05 && perPoint < 20 * 1.25) << text << " " << perPoint;
            EXPECT_FLOAT_EQ(surface->CurrentX(), text == "A\nB" ? surface->TextWidth("B") : 0);
        }
    EXPECT_FLOAT_EQ(surface->TextWidth("AB\r\nA"), surface->TextWidth("AB")) << "the widest line";
}

TEST_F(PdfSurfaceTest, UnderlineRunsBelowTheBaselineUnderTheWholeTextDrawnWithIt) {
    const std::pair<bool, float> cases[] = {{true, 0}, {false, 1000}, {true, 2000}};
    const float size = 20;
    surface->SetFontSize(size);
    for (auto [underline, y] : cases) {
        surface->SetFontUnderline(underline);
        DrawAt(*surface, 0, y, "WIDE");
        surface->SetFontUnderline(false);
        surface->Print(" rest", false);
    }
    const double pixelsPerTwip = 144 / 1440.0;
    const GreyImage page = RenderFirstPage(Finish(*surface), 144);
    ASSERT_GT(page.width, 0);
    const auto font = ResolveTrueTypeFont("Courier New", false);
    // Below the baseline of a text without descenders the longest dark stretch of a pixel row
    // is the underlined text's width, or nothing.
    for (auto [underline, y] : cases) {
        const double top = (kMargin * 20 + y) * pixelsPerTwip, em = size * 20 * pixelsPerTwip;
        int longest = 0;
        for (int row = int(top + em * font->ascent / 1000) + 1;
             row < int(top + em * font->lineHeight / 1000); ++row)
            for (int x = 0, run = 0; x < page.width; ++x)
                longest = std::max(longest, run = page.Dark(x, row) ? run + 1 : 0);
        EXPECT_NEAR(longest, underline ? surface->TextWidth("WIDE") * pixelsPerTwip : 0, 3) << y;
    }
}

TEST_F(PdfSurfaceTest, EachEndedDocumentIsHandedOverWithItsPagesAndAnUnendedOneLeavesNothing) {
    surface->EndDoc(); // nothing begun: nothing handed over
    DrawAt(*surface, 0, 0, "page1");
    surface->NewPage();
    surface->NewPage(); // the second page stays blank
    DrawAt(*surface, 0, 0, "page3");
    surface->EndDoc();
    DrawAt(*surface, 0, 0, "second");
    surface->EndDoc();
    ASSERT_EQ(sunk.size(), 2u);
    EXPECT_EQ(InfoOf(sunk[0], "Pages") + " and " + InfoOf(sunk[1], "Pages"), "3 and 1");
    EXPECT_EQ(TextOf(sunk[1]).find("page"), std::string::npos) << "the next starts afresh";
    auto unended = Make();
    DrawAt(*unended, 0, 0, "half a report");
    EXPECT_EQ(folder.Entries(), 3u) << "the document grows in a temporary file";
    unended.reset();
    EXPECT_EQ(folder.Entries(), 2u);
}

TEST_F(PdfSurfaceTest, LandscapeTurnsPaperAndMargins) {
    auto s = Make({600, 800, 10, 20, 30, 40});
    EXPECT_EQ(s->ScaleWidth(), (600 - 10 - 30) * 20);
    s->SetOrientation(2);
    EXPECT_EQ(std::pair(s->PaperWidth(), s->PaperHeight()), std::pair(800.0f, 600.0f));
    // The portrait left edge is the landscape top; the portrait bottom, the landscape left.
    EXPECT_EQ(std::pair(s->ScaleWidth(), s->ScaleHeight()), std::pair(740.0f * 20, 560.0f * 20));
    DrawAt(*s, 0, 0, "turned");
    const std::string pdf = Finish(*s);
    EXPECT_EQ(InfoOf(pdf, "Page size"), "800 x 600 pts");
    auto words = WordsOf(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_NEAR(words[0].xMin, 40, 0.01);
    EXPECT_NEAR(words[0].yMin, 10, 0.5);
}

class PdfFilePrinterTest : public ::testing::Test {
protected:
    // One short report, as the engine prints it.
    static void Print(PdfFilePrinter& printer, const std::string& report, const std::string& text) {
        printer.SetDocumentName(report);
        printer.Print(text, false);
        printer.EndDoc();
    }

    ScratchFolder home;
    ScopedEnv homeVar{"HOME", home.path().c_str()};
    ScopedEnv dirVar{"PAPYRA_PDF_DIR", (home / "out").c_str()};
};

TEST_F(PdfFilePrinterTest, DocumentIsNamedAfterItsReportInAFolderMadeWhereNoneIs) {
    const std::tuple<const char*, std::string, std::string> cases[] = {
        // PAPYRA_PDF_DIR below HOME (nullptr: unset), report, document below HOME
        {nullptr, "/home/user/ledger.2024.txt", "Documents/Papyra/ledger.2024.pdf"},
        {"", "C:\\Reports\\Caf\xe9.prt", "Documents/Papyra/Caf\xe9.pdf"}, // its own bytes
        {"deep/er", "C:\\Reports\\", "deep/er/Papyra.pdf"},
    };
    for (const auto& [pdfDir, report, path] : cases) {
        const std::string dir = pdfDir && *pdfDir ? home / pdfDir : "";
        ScopedEnv var("PAPYRA_PDF_DIR", pdfDir ? dir.c_str() : nullptr);
        PdfFilePrinter printer;
        Print(printer, report, "report text");
        EXPECT_EQ(printer.LastDocumentPath(), home / path) << report;
    }
}

TEST_F(PdfFilePrinterTest, NeverWritesOverAnExistingFile) {
    PdfFilePrinter printer;
    mkdir((home / "out").c_str(), 0777);
    WriteBytes(home / "out/report.pdf", "someone else's");
    for (const char* text : {"second", "third"})
        Print(printer, "C:\\x\\report.prt", text);
    EXPECT_EQ(ReadBytes(home / "out/report.pdf"), "someone else's");
    EXPECT_NE(TextOf(home / "out/report (2).pdf").find("second"), std::string::npos);
    EXPECT_NE(TextOf(home / "out/report (3).pdf").find("third"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home / "out"), {}), 3)
        << "no temporary file is left behind";
}

TEST_F(PdfFilePrinterTest, UnusableFolderFailsTheFirstPrint) {
    WriteBytes(home / "a-file", "not a folder");
    // sysfs takes no new files, not even from root
    for (auto [folder, number] : {std::pair{home / "a-file/out", 76}, {"/sys/kernel", 70}}) {
        ScopedEnv var("PAPYRA_PDF_DIR", folder.c_str());
        PdfFilePrinter printer;
        EXPECT_EQ(FailureOf([&] { printer.Print("x", false); }).number, number) << folder;
        printer.EndDoc(); // nothing begun: nothing to end
        EXPECT_EQ(printer.LastDocumentPath(), "");
    }
}

} // namespace
