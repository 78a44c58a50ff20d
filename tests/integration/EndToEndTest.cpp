// The built binary as a process against a private cupsd and the built-in PDF printer: what a
// user gets from each command line, byte for byte where bytes are the product.
#include "integration/Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <sys/stat.h>

using namespace papyra::test;
namespace fs = std::filesystem;

namespace {

const std::string Samples = Source + "/samples/";
const std::string RawPortraitStart = std::string("\x12\x1BP\x1Bt\x01\x1B") + "0\x1B" + "CX\x1Bg";
const std::string RawClosing = std::string("\x12\x1BP\x1B") + "2\x1B" + "CB";

// A report's lines as pdftotext gives them back: UTF-8, emphasis codes gone, blanks squeezed.
std::vector<std::string> Visible(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(Shell("iconv -f CP1252 -t UTF-8 " + Quoted(report)));
    for (std::string line; std::getline(in, line);) {
        line = std::regex_replace(line, std::regex("\x1B.|[\x0E\x14\x0C\r]"), "");
        line = std::regex_replace(line, std::regex(" +"), " ");
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> PrintedLines(const std::string& pdf) {
    std::vector<std::string> lines;
    std::istringstream in(PdfText(pdf));
    for (std::string line; std::getline(in, line);) {
        line = std::regex_replace(line, std::regex("\f| +"), " ");
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            cups = std::make_unique<Cups>();
            cups->Queue("tractor", Ppd + "tractor.ppd");
            cups->Queue("laser", Ppd + "laser.ppd");
            cups->Queue("Z\xC3\xBCrich", Ppd + "laser.ppd");
        } catch (const std::exception& e) {
            failure = e.what();
            cups.reset();
        }
    }
    static void TearDownTestSuite() { cups.reset(); }
    // Without the server every test here fails: CI must say so rather than skip.
    void SetUp() override {
        if (!cups) FAIL() << "private cupsd: " << failure;
    }
    static inline std::string failure;

    static std::unique_ptr<Cups> cups;
    Papyra papyra;
};

std::unique_ptr<Cups> EndToEnd::cups;

TEST_F(EndToEnd, TractorQueueReceivesTheRawStreamByteForByte) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string path =
        papyra.Write("raw.prt", "Total\x97\x97\r\n" + allBytes + "\r\n\x0C\r\n\x0C;\r\nend");
    papyra.Use(*cups);
    papyra.Configure("tractor");
    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    std::string line2 = allBytes;
    std::replace(line2.begin(), line2.end(), '\x97', '\xC4');
    EXPECT_EQ(cups->Job("tractor"), RawPortraitStart + "Total\xC4\xC4\r\n" + line2 +
                                        "\r\n\x0C\x0C;\r\nend\r\n" + RawClosing);
    EXPECT_NE(ReadFile(papyra.Root() + "/home/.local/state/papyra/papyra.log")
                  .find("\"printer\":\"tractor\",\"port\":\"" + cups->CaptureUri("tractor") +
                        "\",\"path\":\"raw\",\"bytes\":"),
              std::string::npos);
}

TEST_F(EndToEnd, AQueueNamedInTheRegistryReceivesTheDrawnReportWhateverItsName) {
    papyra.Use(*cups);
    const struct {
        const char* queue;
        std::string registry; // as Harvex's installation may have written it
    } cases[] = {
        {"laser", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n"
                  "\"DeviceName\"=\"laser\"\r\n"},
        {"Z\xC3\xBCrich", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]"
                          "\r\n\"DeviceName\"=\"Z\xFCrich\"\r\n"},
        {"Z\xC3\xBCrich", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software"
                          "\\Tillwren\\Ver36\\Printer]\r\n\"DeviceName\"=\"Z\xC3\xBCrich\"\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        papyra.Write("registry.reg", c.registry);
        fs::remove(cups->Captured(c.queue));
        EXPECT_EQ(papyra.Run({Samples + "ledger-landscape.prt", "x", "L"}).exitCode, 0);
        const std::string pdf = papyra.Write("job.pdf", cups->Job(c.queue));
        EXPECT_EQ(PrintedLines(pdf), Visible(Samples + "ledger-landscape.prt"));
    }
    EXPECT_TRUE(papyra.Pdfs().empty()) << "a queue's job is not a file";
}

TEST_F(EndToEnd, PapyraPdfPrintsEveryLineWithFontsEmbeddedNamedAfterTheReport) {
    // No cupsd at the address: the built-in printer is the only one, so it is the first.
    const std::string report = papyra.Write("B\xC3\xBC"
                                            "cher.prt",
                                            ReadFile(Samples + "ledger.prt"));
    const Outcome outcome = papyra.Run({report, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    ASSERT_EQ(papyra.Pdfs().size(), 1u);
    const std::string pdf = papyra.Pdfs()[0];
    EXPECT_EQ(fs::path(pdf).filename(), "B\xC3\xBC"
                                        "cher.pdf")
        << "the path's own bytes";
    EXPECT_EQ(PdfPages(pdf), 3);
    EXPECT_EQ(PrintedLines(pdf), Visible(Samples + "ledger.prt"));
    const std::string fonts = Shell("pdffonts " + Quoted(pdf));
    EXPECT_NE(fonts.find("LiberationMono"), std::string::npos) << fonts;
    EXPECT_EQ(Shell("pdffonts " + Quoted(pdf) + " | tail -n +3 | grep -vc ' yes yes '"), "0\n")
        << "every font embedded:\n"
        << fonts;
    EXPECT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0);
    EXPECT_EQ(papyra.Pdfs().size(), 2u) << "a second print never overwrites the first";
}

TEST_F(EndToEnd, TestPagesAreOnePageWithTheRulerAcrossThePrintableWidth) {
    for (const std::string orientation : {"P", "L"}) {
        SCOPED_TRACE(orientation);
        for (const auto& pdf : papyra.Pdfs())
            fs::remove(pdf);
        EXPECT_EQ(papyra.Run({"TEST", orientation}).exitCode, 0);
        ASSERT_EQ(papyra.Pdfs().size(), 1u);
        const std::string pdf = papyra.Pdfs()[0];
        EXPECT_EQ(PdfPages(pdf), 1);
        const std::vector<Word> words = PdfWords(pdf);
        const std::string last = orientation == "P" ? "]12345678901" : "]1234567";
        const auto ruler =
            std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text == "["; });
        const auto end =
            std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == last; });
        ASSERT_NE(ruler, words.end());
        ASSERT_NE(end, words.end());
        // A quarter inch margin each side; a4 is 595 points wide upright, 842 turned.
        const double width = orientation == "P" ? 595.28 : 841.89;
        EXPECT_NEAR(ruler->xMin, 18, 0.5);
        EXPECT_LE(end->xMax, width - 18 + 0.01);
        EXPECT_GT(end->xMax, width - 18 - 0.01 * width) << "the ruler spans the width";
    }
}

TEST_F(EndToEnd, UpdateWritesTheProfileByteForByte) {
    papyra.Use(*cups);
    papyra.Configure("tractor");
    const std::string profile = papyra.Program() + "/RNTME.INI";
    const std::string keys = "PaperSize=A4, 210 x 297 mm\r\nSize=9\r\nOrientation=Portrait\r\n"
                             "Orient=1\r\nPaperSource=Tractor Feeder.\r\nSource=8\r\n"
                             "PrinterCopies=1\r\nCopies=1\r\nColorMode=Grayscale Dither\r\n"
                             "Color=1\r\nPrintQuality=180 dpi\r\nQuality=180\r\n";
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "L"}).exitCode, 0);
    EXPECT_EQ(ReadFile(profile), "[Printer]\r\n" + keys);

    // Other sections, comments and keys in other letter cases: the twelve are replaced where
    // they stand, the missing ones follow the section's last key, everything else stays.
    WriteFile(profile, "; Harvex printer profile\r\n[printer]\r\nDevice=2\r\npaperSIZE=old\r\n"
                       "; kept\r\nQUALITY=-4\r\n\r\n[Other]\r\nSize=unchanged\r\n");
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}).exitCode, 0);
    std::string middle = keys.substr(keys.find("Size=9"));
    middle.erase(middle.find("\r\nQuality=") + 2);
    EXPECT_EQ(ReadFile(profile), "; Harvex printer profile\r\n[printer]\r\nDevice=2\r\n"
                                 "paperSIZE=A4, 210 x 297 mm\r\n; kept\r\nQUALITY=180\r\n" +
                                     middle + "\r\n[Other]\r\nSize=unchanged\r\n");
}

TEST_F(EndToEnd, CommandLinesThatCannotRunAndASecondInstanceEndSilentlyWithTheirStatus) {
    const Outcome unusable = papyra.Run({"UPDATE", "x"});
    EXPECT_EQ(unusable.exitCode, 2);
    EXPECT_EQ(unusable.err + unusable.out, "") << "not even the toolkit's own warnings";
    EXPECT_FALSE(fs::exists(papyra.Program() + "/RNTME.INI"));

    // A second instance ends at once, printing nothing, while the first holds the lock.
    const std::string lock = papyra.Root() + "/run/papyra.lock";
    const std::string holder =
        Shell("flock -x " + Quoted(lock) + " sleep 60 >/dev/null & printf %s $!");
    ASSERT_TRUE(
        Eventually([&] { return Shell("flock -n " + Quoted(lock) + " true; echo $?") != "0\n"; }));
    const Outcome second = papyra.Run({papyra.Write("r.prt", "second\r\n"), "x", "P"});
    Shell("pkill -P " + holder + "; kill " + holder);
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_EQ(second.err + second.out, "");
    EXPECT_TRUE(papyra.Pdfs().empty());
}

TEST_F(EndToEnd, StrangeReportsAndRegistriesPrintWithoutCrashOrPartialFiles) {
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"binary", binary},
        {"long-line", std::string(6 << 20, 'x')}, // past the PDF page's streaming chunk
        {"nuls", std::string("a\0b\r\n\0\0\0\r\n", 9)},
        {"empty", ""},
    };
    papyra.Write("registry.reg", std::string("\xFF\xFE[garbage\0\0\0=", 14)); // an empty registry
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = papyra.Write(std::string(c.name) + ".prt", c.content);
        const Outcome outcome = papyra.Run({path, "x", "L"});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err, "");
        const std::string pdf = papyra.PdfFolder() + "/" + c.name + ".pdf";
        EXPECT_EQ(fs::exists(pdf), !c.content.empty()) << "an empty report draws nothing";
        if (!c.content.empty()) {
            EXPECT_GT(PdfPages(pdf), 0);
        }
    }
}

} // namespace
