#include "platform/pdf/PdfFilePrinter.h"
#include "platform/pdf/TrueTypeFont.h"
#include "support/ErrorOf.h"
#include "support/PdfTools.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;

namespace {

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
    std::string Finish(PdfSurface& s) {
        s.EndDoc();
        return sunk.empty() ? std::string() : sunk.back();
    }

    ScratchFolder folder;
    std::vector<std::string> sunk;
    std::unique_ptr<PdfSurface> surface = Make();
};

TEST_F(PdfSurfaceTest, Windows1252ComesBackAsTextAndInkFromEmbeddedSubsetsAndNoGlyphAsBlank) {
    // A character a line, the last in the bold face. Built-up glyphs (accented letters) need
    // their parts in the embedded subset too.
    const std::string characters = "\x80\x97\xe9\xc5\x84\x93\x8c\x99(\\\xfc";
    const char* utf8[] = {"€", "—", "é", "Å", "„", "“", "Œ", "™", "(", "\\", "ü"};
    const size_t n = characters.size();
    const float size = 20, step = 600;
    surface->SetDocumentName("Caf\xe9 report");
    surface->SetFontSize(size);
    DrawAt(*surface, 0, n * step, "A\x01\x81Z");
    for (size_t i = 0; i < n; ++i) {
        surface->SetFontBold(i + 1 == n);
        DrawAt(*surface, 0, i * step, characters.substr(i, 1));
    }
    const std::string pdf = Finish(*surface);
    EXPECT_EQ(InfoOf(pdf, "Title"), "Café report");
    const auto words = WordsOf(pdf);
    const GreyImage page = RenderFirstPage(pdf, 72);
    ASSERT_EQ(words.size(), n + 2);
    ASSERT_GT(page.width, 0);
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(words[i].text, utf8[i]);
        int top = int(kMargin + i * step / 20), ink = 0;
        for (int y = top; y < top + int(size * 1.2); ++y)
            for (int x = int(kMargin); x < int(kMargin + size); ++x)
                ink += page.Dark(x, y);
        EXPECT_GT(ink, 3) << utf8[i];
    }
    EXPECT_EQ(words[n].text + words[n + 1].text, "AZ");
    EXPECT_NEAR(words[n + 1].xMin - words[n].xMin, 3 * surface->TextWidth("A") / 20, 0.01);
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

TEST_F(PdfSurfaceTest, LandscapeTurnsPaperAndMargins) {
    auto s = Make({600, 800, 10, 20, 30, 40});
    s->SetOrientation(2);
    EXPECT_EQ(std::pair(s->PaperWidth(), s->PaperHeight()), std::pair(800.0f, 600.0f));
    // The portrait left edge is the landscape top; the portrait bottom, the landscape left.
    EXPECT_EQ(std::pair(s->ScaleWidth(), s->ScaleHeight()), std::pair(740.0f * 20, 560.0f * 20));
    DrawAt(*s, 0, 0, "turned");
    EXPECT_EQ(InfoOf(Finish(*s), "Page size"), "800 x 600 pts");
}

TEST(PdfFilePrinter, NamesTheDocumentAfterItsReportInAFolderMadeWhereNoneIsNeverOverAFile) {
    ScratchFolder home;
    ScopedEnv homeVar("HOME", home.path().c_str());
    const auto print = [](const std::string& report, const std::string& text) {
        PdfFilePrinter printer;
        printer.SetDocumentName(report);
        printer.Print(text, false);
        printer.EndDoc();
        return printer.LastDocumentPath();
    };
    {
        ScopedEnv unset("PAPYRA_PDF_DIR", nullptr);
        EXPECT_EQ(print("/home/u/ledger.2024.txt", "x"), home / "Documents/Papyra/ledger.2024.pdf");
    }
    const std::string out = home / "deep/er";
    ScopedEnv dirVar("PAPYRA_PDF_DIR", out.c_str());
    EXPECT_EQ(print("C:\\Reports\\", "x"), out + "/Papyra.pdf");
    WriteBytes(out + "/report.pdf", "someone else's");
    for (const char* text : {"second", "third"})
        print("C:\\x\\report.prt", text);
    EXPECT_EQ(ReadBytes(out + "/report.pdf"), "someone else's");
    EXPECT_NE(TextOf(out + "/report (2).pdf").find("second"), std::string::npos);
    EXPECT_NE(TextOf(out + "/report (3).pdf").find("third"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 4)
        << "no temporary file is left behind";
}

TEST(PdfFilePrinter, PaperIsLetterWhereTheLocaleSaysSoElseA4) {
    // An installed locale is asked for its paper (xx_LT, built here, is Letter by its data and
    // not by its name); one named but not installed is judged by its territory.
    ScratchFolder locales;
    WriteBytes(locales / "src", "LC_PAPER\nheight 279\nwidth 216\nEND LC_PAPER\n");
    WriteBytes(locales / "map", "CHARMAP\n<U0030> /x30\nEND CHARMAP\n"); // none need be installed
    std::system(("localedef -c -f " + locales / "map -i " + locales / "src " +
                 locales / "xx_LT >/dev/null 2>&1")
                    .c_str());
    ASSERT_TRUE(std::filesystem::exists(locales / "xx_LT/LC_PAPER"));
    ScopedEnv path("LOCPATH", locales.path().c_str()), all("LC_ALL", nullptr);
    const std::pair<const char*, int> cases[] = {
        {"xx_LT", 1}, {"en_US.UTF-8", 1}, {"de_DE.UTF-8", 9}, {"es_MX@euro", 1}, {"C", 9}};
    for (auto [locale, paper] : cases) {
        ScopedEnv var("LC_PAPER", locale);
        EXPECT_EQ(PdfFilePrinter().PaperSize(), paper) << locale;
    }
}

TEST(PdfFilePrinter, UnusableFolderFailsTheFirstPrint) {
    ScratchFolder home;
    WriteBytes(home / "a-file", "not a folder");
    // sysfs takes no new files, not even from root
    for (auto [folder, number] : {std::pair{home / "a-file/out", 76}, {"/sys/kernel", 70}}) {
        ScopedEnv var("PAPYRA_PDF_DIR", folder.c_str());
        PdfFilePrinter printer;
        EXPECT_EQ(FailureOf([&] { printer.Print("x", false); }).number, number) << folder;
    }
}

} // namespace
