// papyra-admin as a process beside the real papyra, against a private cupsd: what it shows is
// what papyra does.
#include "integration/Harness.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <regex>

using namespace papyra::test;
namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const std::string Ledger = Source + "/samples/ledger.prt";
const std::string LedgerLandscape = Source + "/samples/ledger-landscape.prt";

class AdminCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            cups = std::make_unique<Cups>();
            cups->Queue("laser", Ppd + "laser.ppd");
            cups->Queue("tractor", Ppd + "tractor.ppd");
        } catch (const std::exception& e) {
            failure = e.what();
            cups.reset();
        }
    }
    static void TearDownTestSuite() { cups.reset(); }
    void SetUp() override {
        if (!cups) FAIL() << "private cupsd: " << failure;
        papyra.Install(PAPYRA_ADMIN_BINARY);
        papyra.Use(*cups);
    }
    Outcome Admin(const std::vector<std::string>& words) const {
        return papyra.RunProgram("papyra-admin", words);
    }
    Json AdminJson(const std::vector<std::string>& words, int status = 0) const {
        const Outcome outcome = Admin(words);
        EXPECT_EQ(outcome.exitCode, status) << outcome.err;
        return Json::parse(outcome.out, nullptr, false);
    }

    static inline std::string failure;
    static inline std::unique_ptr<Cups> cups;
    Papyra papyra;
};

TEST_F(AdminCommand, PrintersShowsTheQueuesCodesAndPathsAndWhichOneIsConfiguredWhy) {
    papyra.Configure("tractor");
    const Json shown = AdminJson({"printers", "--json"});
    // position, name, path, paper size, paper source, colour, quality (the PPDs' defaults;
    // "Papyra PDF" takes the locale's A4)
    const std::vector<std::tuple<int, std::string, std::string, int, int, int, int>> expected = {
        {0, "laser", "drawn", 1, 1, 2, 600},
        {1, "tractor", "raw", 9, 8, 1, 180},
        {2, "Papyra PDF", "drawn", 9, 7, 2, 600},
    };
    ASSERT_EQ(shown["printers"].size(), expected.size()) << shown.dump(1);
    for (const auto& [position, name, path, size, source, color, quality] : expected) {
        const Json& printer = shown["printers"][position];
        SCOPED_TRACE(name);
        EXPECT_EQ(printer["deviceName"], name);
        EXPECT_EQ(printer["path"], path);
        EXPECT_EQ(printer["paperSize"]["code"], size);
        EXPECT_EQ(printer["paperSource"]["code"], source);
        EXPECT_EQ(printer["colorMode"]["code"], color);
        EXPECT_EQ(printer["printQuality"]["code"], quality);
        EXPECT_EQ(printer["configured"], position == 1);
    }
    EXPECT_EQ(shown["printers"][1]["paperSource"]["text"], "Tractor Feeder.");
    EXPECT_EQ(shown["printers"][1]["printQuality"]["text"], "180 dpi");

    const struct {
        const char* deviceName; // nullptr: no registry file
        int position;           // -1: papyra ends before choosing
        const char* why;
    } choices[] = {
        {"tractor", 1, "by name"},
        {"2", 2, "by position 2"},
        {"Tractor", 0, "by position 0"}, // names compare exactly
        {nullptr, 0, "position 0: nothing configured"},
        {"7 up", -1, ""},
    };
    for (const auto& c : choices) {
        SCOPED_TRACE(c.why);
        fs::remove(papyra.Root() + "/registry.reg");
        if (c.deviceName) papyra.Configure(c.deviceName);
        const Json listed = AdminJson({"printers", "--json"}, c.position < 0 ? 1 : 0);
        if (c.position < 0) {
            EXPECT_TRUE(listed["configured"].is_null());
            EXPECT_NE(listed["problem"].get<std::string>().find("papyra ends without printing"),
                      std::string::npos);
            continue;
        }
        EXPECT_EQ(listed["configured"]["position"], c.position);
        EXPECT_EQ(listed["configured"]["why"], c.why);
        const Outcome text = Admin({"printers"});
        EXPECT_NE(text.out.find("* " + std::to_string(c.position) + "  "), std::string::npos);
        EXPECT_NE(text.out.find("(configured: " + std::string(c.why) + ")"), std::string::npos);
    }
}

TEST_F(AdminCommand, PrintersShowsTheErrorOfAPrinterWhoseCodesCannotBeRead) {
    // A resolution no printer-settings code can hold: papyra's UPDATE would fail with overflow.
    const std::string ppd =
        papyra.Write("huge.ppd", std::regex_replace(ReadFile(Ppd + "laser.ppd"),
                                                    std::regex("600dpi"), "40000dpi"));
    cups->Queue("huge", ppd);
    const Json shown = AdminJson({"printers", "--json"}, 1);
    Json huge;
    for (const Json& printer : shown["printers"])
        if (printer["deviceName"] == "huge") huge = printer;
    cups->Lp({"lpadmin", "-x", "huge"});
    EXPECT_EQ(huge["error"]["number"], 6) << shown.dump(1);
    EXPECT_EQ(huge["error"]["text"], "Overflow");
    EXPECT_FALSE(huge.contains("path"));
}

TEST_F(AdminCommand, UseWritesTheRegistryPapyraThenPrintsBy) {
    const std::string wine = papyra.Root() + "/wine";
    const std::string userReg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\n\n"
                                "[Software\\\\Wine] 1600000000\n#time=1d6f0a1b2c3d4e5\n"
                                "\"Version\"=\"win10\"\n";
    papyra.Write("wine/user.reg", userReg);
    papyra.env["PAPYRA_HKCU"] = "";
    papyra.env["WINEPREFIX"] = wine;
    const Outcome used = Admin({"use", "laser"});
    EXPECT_EQ(used.exitCode, 0) << used.err;
    EXPECT_NE(used.out.find("papyra now prints to 0 laser (by name)"), std::string::npos);
    const std::string written = ReadFile(wine + "/user.reg");
    EXPECT_EQ(written.substr(0, userReg.size()), userReg) << "the other keys, byte for byte";
    EXPECT_NE(written.find("\"DeviceName\"=\"laser\"\n", userReg.size()), std::string::npos);
    fs::remove(cups->Captured("laser"));
    EXPECT_EQ(papyra.Run({Ledger, "x", "P"}).exitCode, 0);
    EXPECT_NE(cups->Job("laser").find("%PDF"), std::string::npos) << "papyra printed on laser";

    // A regedit file with other keys: a position is written as its number.
    papyra.env.erase("WINEPREFIX");
    papyra.env.erase("PAPYRA_HKCU");
    const std::string other =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"A\"=\"b\"\r\n";
    const std::string regedit = papyra.Write("registry.reg", other);
    EXPECT_EQ(Admin({"use", "2"}).exitCode, 0);
    EXPECT_EQ(ReadFile(regedit), other + "\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\"
                                         "Printer]\r\n\"DeviceName\"=\"2\"\r\n");
    EXPECT_EQ(papyra.Run({Ledger, "x", "P"}).exitCode, 0);
    EXPECT_EQ(papyra.Pdfs().size(), 1u) << "position 2 is Papyra PDF";

    const std::string configured = ReadFile(regedit);
    for (const char* refused : {"nope", "3", "Laser"}) {
        SCOPED_TRACE(refused);
        const Outcome outcome = Admin({"use", refused});
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.err.find("papyra-admin printers lists them"), std::string::npos);
        EXPECT_EQ(ReadFile(regedit), configured) << "nothing written";
    }
    EXPECT_EQ(Admin({"use"}).exitCode, 2) << "a usage error";
}

TEST_F(AdminCommand, PreviewDrawsWhatPapyraPrintsOnPapyraPdf) {
    papyra.Configure("Papyra PDF");
    for (const auto& [report, orientation] :
         {std::pair{Ledger, std::string("P")}, std::pair{LedgerLandscape, std::string("L")}}) {
        SCOPED_TRACE(orientation);
        for (const auto& pdf : papyra.Pdfs())
            fs::remove(pdf);
        ASSERT_EQ(papyra.Run({report, "x", orientation}).exitCode, 0);
        ASSERT_EQ(papyra.Pdfs().size(), 1u);
        const std::string preview = papyra.Root() + "/preview.pdf";
        std::vector<std::string> words = {"preview", report, "-o", preview};
        if (orientation == "L") words.push_back("--landscape");
        const Outcome outcome = Admin(words);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_GT(PdfPages(preview), 1);
        EXPECT_EQ(PdfPages(preview), PdfPages(papyra.Pdfs()[0]));
        EXPECT_EQ(PdfText(preview), PdfText(papyra.Pdfs()[0]));
        EXPECT_EQ(papyra.Pdfs().size(), 1u) << "the preview printed nothing";
    }
}

TEST_F(AdminCommand, PreviewRendersAPageAsAPngOfThePrintersPageSize) {
    const std::string png = papyra.Root() + "/page.png";
    fs::remove(cups->Captured("laser"));
    const Outcome outcome =
        Admin({"preview", Ledger, "--printer", "laser", "-o", png, "--page", "2", "--dpi", "96"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::string bytes = ReadFile(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
    auto be32 = [&](size_t at) {
        return (unsigned char)bytes[at] << 24 | (unsigned char)bytes[at + 1] << 16 |
               (unsigned char)bytes[at + 2] << 8 | (unsigned char)bytes[at + 3];
    };
    // The queue's Letter page, 612 x 792 points, at 96 dots an inch.
    EXPECT_EQ(be32(16), 612 * 96 / 72);
    EXPECT_EQ(be32(20), 792 * 96 / 72);
    EXPECT_TRUE(cups->Job("laser", std::chrono::milliseconds(300)).empty()) << "nothing printed";

    EXPECT_EQ(Admin({"preview", Ledger, "--printer", "laser", "-o", png, "--page", "9"}).exitCode,
              1);
    const Outcome tractor = Admin({"preview", Ledger, "--printer", "tractor"});
    EXPECT_EQ(tractor.exitCode, 1);
    EXPECT_NE(tractor.err.find("decode --report"), std::string::npos);
}

TEST_F(AdminCommand, DecodeReadsACapturedTractorJob) {
    papyra.Configure("tractor");
    const std::string report = papyra.Write("r.prt", "Total\x97\x97\r\n\x0E"
                                                     "Big\x14 \x1BGbold\x1BH\r\n\x0C\r\nend");
    fs::remove(cups->Captured("tractor"));
    ASSERT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0);
    const std::string job = papyra.Write("job.raw", cups->Job("tractor"));
    const Outcome decoded = Admin({"decode", job});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.out,
              "<DC2 (condensed off)><ESC P (10 characters per inch)><ESC t 1 (character table 1)>"
              "<ESC 0 (1/8-inch line spacing)><ESC C 88 (page length 88 lines)>"
              "<ESC g (15 characters per inch)>Total\u2500\u2500\n"
              "<SO (double width on)>Big<DC4 (double width off)> <ESC G (double-strike on)>bold"
              "<ESC H (double-strike off)>\n<FF (new page)>\nend\n"
              "<DC2 (condensed off)><ESC P (10 characters per inch)><ESC 2 (1/6-inch line "
              "spacing)><ESC C 66 (page length 66 lines)>\n");
    EXPECT_EQ(Admin({"decode", "--report", report}).out, decoded.out)
        << "the raw path's bytes, from the engine itself";
    EXPECT_EQ(Admin({"decode", papyra.Root() + "/missing"}).exitCode, 1);
}

TEST_F(AdminCommand, DoctorFindsAStoppedQueueAndAnUnwritablePdfFolderWithTheirFixes) {
    papyra.Configure("tractor");
    ASSERT_EQ(cups->Lp({"cupsdisable", "tractor"}), 0);
    struct Enable {
        Cups& cups;
        ~Enable() { cups.Lp({"cupsenable", "tractor"}); }
    } enable{*cups};
    // A file where the folder's parent should be: no user, root included, can make it.
    papyra.Write("file", "");
    papyra.env["PAPYRA_PDF_DIR"] = papyra.Root() + "/file/pdf";
    const Outcome sick = Admin({"doctor"});
    EXPECT_EQ(sick.exitCode, 1);
    EXPECT_TRUE(std::regex_search(sick.out,
                                  std::regex("PROBLEM  queue \\(configured\\) tractor: stopped.*\n"
                                             " +fix: cupsenable 'tractor'\n")))
        << sick.out;
    EXPECT_TRUE(std::regex_search(sick.out, std::regex("PROBLEM  PDF folder +" + papyra.Root() +
                                                       "/file/pdf .*\n +fix: .*"
                                                       "PAPYRA_PDF_DIR.*\n")))
        << sick.out;
    EXPECT_EQ(AdminJson({"doctor", "--json"}, 1)["problems"], 2);

    cups->Lp({"cupsenable", "tractor"});
    papyra.env["PAPYRA_PDF_DIR"] = papyra.PdfFolder();
    const Outcome well = Admin({"doctor"});
    EXPECT_EQ(well.exitCode, 0) << well.out;
    EXPECT_EQ(well.out.find("PROBLEM"), std::string::npos);
}

TEST_F(AdminCommand, LogReadsBackAGoodJobAndAFailedOne) {
    papyra.Configure("laser");
    // The older file, as papyra leaves it when the log reaches its limit, is read first.
    papyra.Write("home/.local/state/papyra/papyra.log.1",
                 "{\"time\":\"2020-01-01T00:00:00Z\",\"mode\":\"TEST\",\"outcome\":\"done\"}\n");
    ASSERT_EQ(papyra.Run({Ledger, "x", "P"}).exitCode, 0);
    ASSERT_EQ(papyra.Run({papyra.Root() + "/missing.prt", "x", "P"}).exitCode, 1);
    EXPECT_EQ(Admin({"log", "-n", "3"}).out.substr(0, 20), "2020-01-01T00:00:00Z");
    const Outcome log = Admin({"log", "-n", "2"});
    EXPECT_EQ(log.exitCode, 0);
    const std::string time = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ";
    EXPECT_TRUE(std::regex_match(
        log.out,
        std::regex(
            time + "  done +print " + Ledger + " -> laser, drawn, 3 pages\n" + time +
            "  failed +print " + papyra.Root() +
            "/missing.prt -> laser, drawn, 0 pages: run-time error 53 \\(File not found\\): " +
            papyra.Root() + "/missing.prt\n")))
        << log.out;

    const Json last = AdminJson({"log", "-n", "1", "--json"});
    ASSERT_EQ(last.size(), 1u);
    const std::string file = ReadFile(papyra.Root() + "/home/.local/state/papyra/papyra.log");
    const std::string lastLine = file.substr(file.rfind('\n', file.size() - 2) + 1);
    EXPECT_EQ(last[0], Json::parse(lastLine)) << "the log's own object, passed through";
}

} // namespace
