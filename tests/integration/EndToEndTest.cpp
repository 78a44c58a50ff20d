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

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { cups.Queue("tractor", "tractor.ppd"); }
    Cups cups;
    Papyra papyra;
};

TEST_F(EndToEnd, TractorQueueReceivesTheRawStreamAndGivesTheProfileByteForByte) {
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
    // The profile UPDATE writes from the same queue's codes.
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "L"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(papyra.Program() + "/RNTME.INI"),
              "[Printer]\r\nPaperSize=A4, 210 x 297 mm\r\nSize=9\r\nOrientation=Portrait\r\n"
              "Orient=1\r\nPaperSource=Tractor Feeder.\r\nSource=8\r\n"
              "PrinterCopies=1\r\nCopies=1\r\nColorMode=Grayscale Dither\r\n"
              "Color=1\r\nPrintQuality=180 dpi\r\nQuality=180\r\n");
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
    EXPECT_EQ(Lines(TextOf(pdf), "\f"), Visible(Samples + "ledger.prt"));
    EXPECT_EQ(Shell("pdffonts " + Quoted(pdf) + " | tail -n +3 | grep -vc ' yes yes '"), "0\n")
        << "every font embedded";
    EXPECT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0);
    EXPECT_EQ(papyra.Pdfs().size(), 2u) << "a second print never overwrites the first";
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
