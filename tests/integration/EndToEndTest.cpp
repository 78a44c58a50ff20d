// The built binary as a process against a private cupsd and the built-in PDF printer: what a
// user gets from each command line, byte for byte where bytes are the product.
#include "support/Harness.h"

#include <sstream>

using namespace papyra::test;

namespace {

const std::string Samples = Source + "/samples/";
const std::string RawPortraitStart = std::string("\x12\x1BP\x1Bt\x01\x1B") + "0\x1B" + "CX\x1Bg";
const std::string RawClosing = std::string("\x12\x1BP\x1B") + "2\x1B" + "CB";

// Lines with what does not show gone, blanks squeezed, empty ones dropped: a report's as
// pdftotext gives them back, and what it gave back.
std::vector<std::string> Lines(const std::string& text, const std::string& hidden) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line = std::regex_replace(std::regex_replace(line, std::regex(hidden), ""),
                                  std::regex(" +"), " ");
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}
std::vector<std::string> Visible(const std::string& report) {
    return Lines(Shell("iconv -f CP1252 -t UTF-8 " + Quoted(report)), "\x1B.|[\x0E\x14\x0C\r]");
}
std::vector<std::string> Printed(const std::string& pdf) {
    return Lines(TextOf(pdf), "\f");
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* queue : {"tractor", "laser", "Z\xC3\xBCrich"})
            cups.Queue(queue, queue == std::string("tractor") ? "tractor.ppd" : "laser.ppd");
    }
    Cups cups;
    Papyra papyra;
};

TEST_F(EndToEnd, TractorQueueReceivesTheRawStreamByteForByte) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string path =
        papyra.Write("raw.prt", "Total\x97\x97\r\n" + allBytes + "\r\n\x0C\r\n\x0C;\r\nend");
    papyra.Use(cups);
    papyra.Configure("tractor");
    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    std::string line2 = allBytes;
    std::replace(line2.begin(), line2.end(), '\x97', '\xC4');
    EXPECT_EQ(cups.Job("tractor"), RawPortraitStart + "Total\xC4\xC4\r\n" + line2 +
                                       "\r\n\x0C\x0C;\r\nend\r\n" + RawClosing);
    EXPECT_TRUE(Has(papyra.LastLogged(), "\"printer\":\"tractor\",\"port\":\"" +
                                             cups.CaptureUri("tractor") +
                                             "\",\"path\":\"raw\",\"bytes\":"));
}

TEST_F(EndToEnd, AQueueNamedInTheRegistryReceivesTheDrawnReportWhateverItsName) {
    papyra.Use(cups);
    const std::string key =
        "[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n\"DeviceName\"=";
    // As Harvex's installation may have written it: the name in ANSI or in UTF-8.
    const std::pair<const char*, std::string> cases[] = {
        {"laser", "REGEDIT4\r\n\r\n" + key + "\"laser\"\r\n"},
        {"Z\xC3\xBCrich", "REGEDIT4\r\n\r\n" + key + "\"Z\xFCrich\"\r\n"},
        {"Z\xC3\xBCrich",
         "Windows Registry Editor Version 5.00\r\n\r\n" + key + "\"Z\xC3\xBCrich\"\r\n"},
    };
    for (const auto& [queue, registry] : cases) {
        SCOPED_TRACE(queue);
        papyra.Write("registry.reg", registry);
        fs::remove(cups.Captured(queue));
        EXPECT_EQ(papyra.Run({Samples + "ledger-landscape.prt", "x", "L"}).exitCode, 0);
        const std::string pdf = papyra.Write("job.pdf", cups.Job(queue));
        EXPECT_EQ(Printed(pdf), Visible(Samples + "ledger-landscape.prt"));
    }
    EXPECT_TRUE(papyra.Pdfs().empty()) << "a queue's job is not a file";
}

TEST_F(EndToEnd, PapyraPdfPrintsEveryLineWithFontsEmbeddedNamedAfterTheReport) {
    // No cupsd at the address: the built-in printer is the only one, so it is the first.
    const std::string report = papyra.Write("B\u00FCcher.prt", ReadBytes(Samples + "ledger.prt"));
    const Outcome outcome = papyra.Run({report, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    ASSERT_EQ(papyra.Pdfs().size(), 1u);
    const std::string pdf = papyra.Pdfs()[0];
    EXPECT_EQ(fs::path(pdf).filename(), "B\u00FCcher.pdf") << "the path's own bytes";
    EXPECT_EQ(InfoOf(pdf, "Pages"), "3");
    EXPECT_EQ(Printed(pdf), Visible(Samples + "ledger.prt"));
    const std::string fonts = Shell("pdffonts " + Quoted(pdf));
    EXPECT_TRUE(Has(fonts, "LiberationMono")) << fonts;
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
        EXPECT_EQ(InfoOf(pdf, "Pages"), "1");
        std::map<std::string, Word> words;
        for (const Word& word : WordsOf(pdf))
            words.emplace(word.text, word);
        const std::string last = orientation == "P" ? "]12345678901" : "]1234567";
        ASSERT_TRUE(words.count("[") && words.count(last));
        // A quarter inch margin each side; a4 is 595 points wide upright, 842 turned.
        const double width = orientation == "P" ? 595.28 : 841.89;
        EXPECT_NEAR(words["["].xMin, 18, 0.5);
        EXPECT_LE(words[last].xMax, width - 18 + 0.01);
        EXPECT_GT(words[last].xMax, width - 18 - 0.01 * width) << "the ruler spans the width";
    }
}

TEST_F(EndToEnd, UpdateWritesTheProfileByteForByte) {
    papyra.Use(cups);
    papyra.Configure("tractor");
    const std::string profile = papyra.Program() + "/RNTME.INI";
    const std::string keys = "PaperSize=A4, 210 x 297 mm\r\nSize=9\r\nOrientation=Portrait\r\n"
                             "Orient=1\r\nPaperSource=Tractor Feeder.\r\nSource=8\r\n"
                             "PrinterCopies=1\r\nCopies=1\r\nColorMode=Grayscale Dither\r\n"
                             "Color=1\r\nPrintQuality=180 dpi\r\nQuality=180\r\n";
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "L"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(profile), "[Printer]\r\n" + keys);

    // Other sections, comments and keys in other letter cases: the twelve are replaced where
    // they stand, the missing ones follow the section's last key, everything else stays.
    WriteBytes(profile, "; Harvex printer profile\r\n[printer]\r\nDevice=2\r\npaperSIZE=old\r\n"
                        "; kept\r\nQUALITY=-4\r\n\r\n[Other]\r\nSize=unchanged\r\n");
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}).exitCode, 0);
    std::string middle = keys.substr(keys.find("Size=9"));
    middle.erase(middle.find("\r\nQuality=") + 2);
    EXPECT_EQ(ReadBytes(profile), "; Harvex printer profile\r\n[printer]\r\nDevice=2\r\n"
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
    const std::string report = papyra.Write("r.prt", "second\r\n");
    const LockHolder first(lock);
    const Outcome second = papyra.Run({report, "x", "P"});
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_EQ(second.err + second.out, "");
    EXPECT_TRUE(papyra.Pdfs().empty());
    // A lock in a folder others may enter, or in a file someone else owns, is no instance of ours.
    fs::permissions(papyra.Root() + "/run", fs::perms(0710));
    EXPECT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0) << "a folder the group may enter";
    fs::permissions(papyra.Root() + "/run", fs::perms(0700));
    if (chown(lock.c_str(), 1, 1) == 0) { // only root may give a file away
        EXPECT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0) << "another user's lock file";
    }
}

} // namespace
