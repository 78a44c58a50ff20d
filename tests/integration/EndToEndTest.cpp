// The built binary as a process against a private cupsd and the built-in PDF printer: what a
// user sees from each command line, byte for byte where bytes are the product.
#include "integration/CupsServer.h"
#include "integration/PapyraProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyra::testing;
namespace fs = std::filesystem;

namespace {

const std::string PpdDir = std::string(PAPYRA_SOURCE_DIR) + "/tests/integration/ppd/";
const std::string Samples = std::string(PAPYRA_SOURCE_DIR) + "/samples/";

const std::string RawPortraitStart = std::string("\x12\x1BP\x1Bt\x01\x1B") + "0\x1B"
                                                                             "CX\x1Bg";
const std::string RawClosing = std::string("\x12\x1BP\x1B") + "2\x1B"
                                                              "CB";

// The report's lines as pdftotext shows them: Windows-1252 as UTF-8, emphasis codes gone.
std::vector<std::string> VisibleLines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = std::regex_replace(line, std::regex("\x1B."), "");
        line = std::regex_replace(line, std::regex("[\x0E\x14\x0C]"), "");
        lines.push_back(line);
    }
    return lines;
}

std::string PdfText(const std::string& pdf) {
    return Shell("pdftotext -layout '" + pdf + "' -");
}

std::string ToUtf8(const std::string& ansi) {
    const std::string path = "/tmp/papyra-e2e-text-" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary) << ansi;
    std::string utf8 = Shell("iconv -f CP1252 -t UTF-8 " + path);
    fs::remove(path);
    return utf8;
}

// pdftotext lays columns out again with blanks of its own: compare words, not blanks.
std::string Squeezed(const std::string& text) {
    return std::regex_replace(text, std::regex(" +"), " ");
}

// The lines of text from the one starting at the first marker's line to the second's, both
// markers being line starts.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const size_t begin = text.find(from) + 2;
    return text.substr(begin, text.find(to) + 2 - begin);
}

int Pages(const std::string& pdf) {
    std::smatch found;
    const std::string info = Shell("pdfinfo '" + pdf + "'");
    return std::regex_search(info, found, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(found[1])
                                                                          : -1;
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new CupsServer;
        server->AddQueue("tractor", server->CaptureUri("tractor"), PpdDir + "tractor.ppd");
        server->AddQueue("laser", server->CaptureUri("laser"), PpdDir + "laser.ppd");
        server->AddQueue("stopped", server->CaptureUri("stopped"), PpdDir + "tractor.ppd");
        ASSERT_EQ(server->Run({"cupsdisable", "-h", server->Address(), "stopped"}), 0);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_NE(server, nullptr) << "the private cupsd did not start"; }

    static CupsServer* server;
    PapyraProcess papyra;
};

CupsServer* EndToEnd::server = nullptr;

TEST_F(EndToEnd, TractorQueueReceivesTheRawStreamByteForByte) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') allBytes += static_cast<char>(b);
    const std::string report = "Total\x97\x97\r\n" + allBytes + "\r\n\x0C\r\n\x0C;\r\nend";
    const std::string path = papyra.Write("reports/raw.prt", report);
    papyra.cupsServer = server->Address();
    papyra.ConfigurePrinter("tractor");
    fs::remove(server->CapturePath("tractor"));

    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    std::string line2 = allBytes;
    std::replace(line2.begin(), line2.end(), '\x97', '\xC4');
    EXPECT_EQ(CupsServer::WaitForFile(server->CapturePath("tractor")),
              RawPortraitStart + "Total\xC4\xC4\r\n" + line2 + "\r\n\x0C\x0C;\r\nend\r\n" +
                  RawClosing);
}

TEST_F(EndToEnd, LaserQueueReceivesDrawnPagesAsPdf) {
    papyra.cupsServer = server->Address();
    papyra.ConfigurePrinter("laser");
    fs::remove(server->CapturePath("laser"));
    const Outcome outcome = papyra.Run({Samples + "ledger-landscape.prt", "x", "L"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    const std::string job = CupsServer::WaitForFile(server->CapturePath("laser"));
    ASSERT_EQ(job.substr(0, 5), "%PDF-");
    const std::string pdf = papyra.Write("job.pdf", job);
    const std::string text = Squeezed(PdfText(pdf));
    for (const std::string& line : VisibleLines(ReadFile(Samples + "ledger-landscape.prt")))
        EXPECT_NE(text.find(Squeezed(ToUtf8(line.substr(0, line.find_last_not_of(' ') + 1)))),
                  std::string::npos)
            << line;
    EXPECT_TRUE(papyra.Pdfs().empty()) << "a queue's job is not a file";
}

TEST_F(EndToEnd, PapyraPdfPrintsEveryLineWithFontsEmbeddedWithoutCups) {
    // No cupsd at the address: the built-in printer is the only one, so it is the first.
    const Outcome outcome = papyra.Run({Samples + "ledger.prt", "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    ASSERT_EQ(papyra.Pdfs().size(), 1u);
    const std::string pdf = papyra.Pdfs()[0];
    EXPECT_EQ(fs::path(pdf).filename(), "ledger.pdf");
    EXPECT_EQ(Pages(pdf), 3);
    std::istringstream text(PdfText(pdf));
    std::vector<std::string> printed;
    for (std::string line; std::getline(text, line);) {
        line.erase(line.find_last_not_of(" \f") + 1);
        if (!line.empty() && line[0] == '\f') line.erase(0, 1);
        if (!line.empty()) printed.push_back(line);
    }
    std::vector<std::string> expected;
    for (const std::string& line : VisibleLines(ReadFile(Samples + "ledger.prt"))) {
        std::string trimmed = ToUtf8(line.substr(0, line.find_last_not_of(' ') + 1));
        if (!trimmed.empty()) expected.push_back(trimmed);
    }
    ASSERT_EQ(printed.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Squeezed(printed[i]), Squeezed(expected[i])) << "line " << i;
    const std::string fonts = Shell("pdffonts '" + pdf + "'");
    EXPECT_NE(fonts.find("LiberationMono"), std::string::npos) << fonts;
    const auto rows = std::count(fonts.begin(), fonts.end(), '\n') - 2;
    const std::regex embeddedRow("WinAnsi +yes");
    const auto embedded = std::distance(
        std::sregex_iterator(fonts.begin(), fonts.end(), embeddedRow), std::sregex_iterator());
    EXPECT_EQ(embedded, rows) << "every font embedded:\n" << fonts;

    papyra.Run({Samples + "ledger.prt", "x", "P"});
    EXPECT_EQ(papyra.Pdfs().size(), 2u) << "a second print never overwrites the first";
}

TEST_F(EndToEnd, StoppedQueueOffersSetupOnStderrAndEnds) {
    papyra.cupsServer = server->Address();
    papyra.ConfigurePrinter("stopped");
    const std::string path = papyra.Write("r.prt", "line\r\n");
    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "Papyra: Bad file name or number\n"
                           "Printer Setup Required: You must set up a harvex printer\n");
    EXPECT_FALSE(fs::exists(server->CapturePath("stopped")));
}

TEST_F(EndToEnd, MissingReportSaysFileNotFoundAndPrintsNothing) {
    const Outcome outcome = papyra.Run({papyra.Root() + "/missing.prt", "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "Papyra: File not found\n");
    EXPECT_TRUE(papyra.Pdfs().empty());
}

TEST_F(EndToEnd, UnusableCommandLinesEndSilently) {
    for (std::vector<std::string> words :
         {std::vector<std::string>{}, {"TEST"}, {"report.prt", "P"}, {"UPDATE", "x"}}) {
        const Outcome outcome = papyra.Run(words);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err + outcome.out, "");
    }
    EXPECT_TRUE(papyra.Pdfs().empty());
    EXPECT_FALSE(fs::exists(papyra.ProgramFolder() + "/RNTME.INI"));
}

TEST_F(EndToEnd, SecondInstanceEndsSilentlyWhileTheFirstRuns) {
    // The first instance reads its report from a pipe, so it runs until the test lets it finish.
    const std::string report = papyra.Root() + "/report.prt";
    ASSERT_EQ(mkfifo(report.c_str(), 0600), 0);
    const pid_t first = papyra.Start({report, "x", "P"}, "first");
    const std::string lock = papyra.Root() + "/run/papyra.lock";
    bool held = false;
    for (int i = 0; i < 500 && !held; ++i) {
        usleep(10000);
        const int fd = open(lock.c_str(), O_RDWR);
        if (fd < 0) continue;
        held = flock(fd, LOCK_SH | LOCK_NB) != 0;
        close(fd);
    }
    ASSERT_TRUE(held) << "the first instance never took the lock";

    const std::string other = papyra.Write("other.prt", "second\r\n");
    const Outcome second =
        papyra.Wait(papyra.Start({other, "x", "P"}, "second"), "second", std::chrono::seconds(60));
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.err + second.out, "");
    EXPECT_TRUE(papyra.Pdfs().empty());

    std::ofstream(report, std::ios::binary) << "first\r\n";
    const Outcome firstOutcome = papyra.Wait(first, "first", std::chrono::seconds(60));
    EXPECT_EQ(firstOutcome.exitCode, 0);
    ASSERT_EQ(papyra.Pdfs().size(), 1u) << "only the first printed";
    EXPECT_NE(PdfText(papyra.Pdfs()[0]).find("first"), std::string::npos);
}

TEST_F(EndToEnd, BadReportsPrintWithoutCrashOrPartialFiles) {
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"binary", binary},
        {"long-line", std::string(50 << 20, 'x')},
        {"nuls", std::string("a\0b\r\n\0\0\0\r\n", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = papyra.Write(std::string(c.name) + ".prt", c.content);
        const Outcome outcome = papyra.Run({path, "x", "L"});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(fs::exists(papyra.PdfFolder() + "/" + c.name + ".pdf"));
        EXPECT_GT(Pages(papyra.PdfFolder() + "/" + c.name + ".pdf"), 0);
    }
}

TEST_F(EndToEnd, UnwritablePdfFolderIsReportedAndLeavesNoFile) {
    // A file where the folder should be cannot be written below, even by root.
    const std::string blocker = papyra.Write("not-a-folder", "x");
    papyra.extraEnvironment["PAPYRA_PDF_DIR"] = blocker + "/pdf";
    const std::string path = papyra.Write("r.prt", "line\r\n");
    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.err.find("Papyra: "), std::string::npos) << outcome.err;
    EXPECT_EQ(ReadFile(blocker), "x");
}

TEST_F(EndToEnd, MalformedRegistryIsEmptyAndTheFirstPrinterPrints) {
    papyra.Write("registry.reg", std::string("\xFF\xFE[garbage\0\0\0=", 14));
    const std::string path = papyra.Write("r.prt", "line\r\n");
    const Outcome outcome = papyra.Run({path, "x", "P"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(papyra.Pdfs().size(), 1u);
}

TEST_F(EndToEnd, TestPagesAreOnePageWithTheRulerInsideThePrintableWidth) {
    for (const std::string orientation : {"P", "L"}) {
        SCOPED_TRACE(orientation);
        for (const auto& pdf : papyra.Pdfs())
            fs::remove(pdf);
        const Outcome outcome = papyra.Run({"TEST", orientation});
        EXPECT_EQ(outcome.exitCode, 0);
        ASSERT_EQ(papyra.Pdfs().size(), 1u);
        const std::string pdf = papyra.Pdfs()[0];
        EXPECT_EQ(Pages(pdf), 1);
        const std::string boxes = Shell("pdftotext -bbox '" + pdf + "' -");
        std::smatch page;
        ASSERT_TRUE(std::regex_search(
            boxes, page, std::regex("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
        const double width = std::stod(page[1]);
        EXPECT_EQ(width > std::stod(page[2]), orientation == "L");
        // The ruler's first block starts at the left margin and its last digits end inside the
        // right one: a quarter inch each side.
        const std::string last = orientation == "P" ? "]12345678901" : "]1234567";
        std::smatch first, end;
        ASSERT_TRUE(std::regex_search(boxes, first, std::regex("xMin=\"([0-9.]+)\"[^>]*>\\[<")));
        ASSERT_TRUE(std::regex_search(
            boxes, end,
            std::regex("xMax=\"([0-9.]+)\"[^>]*>" +
                       std::regex_replace(last, std::regex("\\]"), "\\]") + "<")));
        EXPECT_NEAR(std::stod(first[1]), 18, 0.5);
        EXPECT_LE(std::stod(end[1]), width - 18 + 0.01);
        EXPECT_GT(std::stod(end[1]), width - 18 - 0.01 * width) << "the ruler spans the width";
        EXPECT_TRUE(fs::exists(papyra.ProgramFolder() + "/PrinterTest.prt"));
    }
}

TEST_F(EndToEnd, UpdateWritesTheProfileByteForByte) {
    papyra.cupsServer = server->Address();
    papyra.ConfigurePrinter("tractor");
    const std::string profile = papyra.ProgramFolder() + "/RNTME.INI";
    const std::string keys = "PaperSize=A4, 210 x 297 mm\r\n"
                             "Size=9\r\n"
                             "Orientation=Portrait\r\n"
                             "Orient=1\r\n"
                             "PaperSource=Tractor Feeder.\r\n"
                             "Source=8\r\n"
                             "PrinterCopies=1\r\n"
                             "Copies=1\r\n"
                             "ColorMode=Grayscale Dither\r\n"
                             "Color=1\r\n"
                             "PrintQuality=180 dpi\r\n"
                             "Quality=180\r\n";
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "L"}).exitCode, 0);
    EXPECT_EQ(ReadFile(profile), "[Printer]\r\n" + keys);

    // Into a file that holds other sections, comments and keys in other letter cases: the twelve
    // are replaced where they stand, everything else stays as it was.
    const std::string before = "; Harvex printer profile\r\n"
                               "[printer]\r\n"
                               "Device=2\r\n"
                               "DeviceName=Office\r\n"
                               "Port=LPT1:\r\n"
                               "paperSIZE=old\r\n"
                               "; kept\r\n"
                               "QUALITY=-4\r\n"
                               "\r\n"
                               "[Other]\r\n"
                               "Size=unchanged\r\n";
    std::ofstream(profile, std::ios::binary) << before;
    EXPECT_EQ(papyra.Run({"UPDATE", "x", "P"}).exitCode, 0);
    EXPECT_EQ(ReadFile(profile), "; Harvex printer profile\r\n"
                                 "[printer]\r\n"
                                 "Device=2\r\n"
                                 "DeviceName=Office\r\n"
                                 "Port=LPT1:\r\n"
                                 "paperSIZE=A4, 210 x 297 mm\r\n"
                                 "; kept\r\n"
                                 "QUALITY=180\r\n" +
                                     Between(keys, "\r\nSize=", "\r\nQuality=") +
                                     "\r\n"
                                     "[Other]\r\n"
                                     "Size=unchanged\r\n");
}

TEST_F(EndToEnd, UpdateLeavesABadProfileAsItWas) {
    papyra.ConfigurePrinter("Papyra PDF");
    const std::string profile = papyra.ProgramFolder() + "/RNTME.INI";
    std::string big(100 << 20, 'k');
    for (size_t i = 4096; i < big.size(); i += 4096)
        big[i] = '\n';
    const struct {
        const char* name;
        std::string content;
        bool readOnly;
    } cases[] = {
        {"binary", std::string("\0\xFF[Printer\0]\r\n\x01\x02", 16), false},
        {"no final line end", "[Printer]\r\nSize=1", false},
        {"duplicate sections", "[Printer]\r\nSize=1\r\n[Printer]\r\nSize=2\r\n", false},
        {"read-only", "[Printer]\r\nSize=1\r\n", true},
        {"100 MB", big, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(profile);
        std::ofstream(profile, std::ios::binary) << c.content;
        if (c.readOnly) fs::permissions(profile, fs::perms::owner_read);
        const Outcome outcome = papyra.Run({"UPDATE", "x", "P"});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err, "");
        const std::string after = ReadFile(profile);
        if (c.readOnly) {
            EXPECT_EQ(after, c.content);
            continue;
        }
        // Every line that was there is still there, in order.
        size_t from = 0;
        std::istringstream lines(c.content);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("Size=", 0) == 0 || line.empty()) continue;
            const size_t at = after.find(line, from);
            ASSERT_NE(at, std::string::npos) << "lost: " << line.substr(0, 40);
            from = at + line.size();
        }
        EXPECT_NE(after.find("Quality=600"), std::string::npos);
    }
}

} // namespace
