// papyra-admin as a process beside the real papyra, against a private cupsd: what it shows is
// what papyra does.
#include "support/Harness.h"

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

class AdminCommand : public ::testing::Test {
protected:
    void SetUp() override {
        cups.Queue("laser", "laser.ppd");
        cups.Queue("tractor", "tractor.ppd");
        papyra.Use(cups);
    }
    Outcome Admin(const std::vector<std::string>& words) {
        return papyra.Wait(papyra.Start(words, "papyra-admin"));
    }
    Json AdminJson(const std::vector<std::string>& words, int status = 0) {
        const Outcome outcome = Admin(words);
        EXPECT_EQ(outcome.exitCode, status) << outcome.err;
        return Json::parse(outcome.out, nullptr, false);
    }

    Cups cups;
    Papyra papyra{{PAPYRA_BINARY, PAPYRA_ADMIN_BINARY}};
};

TEST_F(AdminCommand, PrintersShowsTheCodesAndPathsAndWhichOneIsConfiguredWhy) {
    // The tractor queue's defaults, which no other printer shares; "Papyra PDF" comes last.
    papyra.Configure("tractor");
    const Json shown = AdminJson({"printers", "--json"});
    ASSERT_EQ(shown["printers"].size(), 3u) << shown.dump(1);
    const Json& tractor = shown["printers"][1];
    EXPECT_EQ(tractor["paperSource"], Json({{"code", 8}, {"text", "Tractor Feeder."}}));
    EXPECT_EQ(tractor["printQuality"], Json({{"code", 180}, {"text", "180 dpi"}}));
    for (const Json& printer : shown["printers"])
        EXPECT_EQ(printer["path"], printer == tractor ? "raw" : "drawn") << printer["deviceName"];

    const struct {
        const char* deviceName; // nullptr: no registry file
        int position;           // -1: papyra ends before choosing
        const char* why;
    } choices[] = {
        {"tractor", 1, "by name"},
        {"2", 2, "by position 2"},
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
            EXPECT_TRUE(Has(listed["problem"], "papyra ends without printing")) << listed;
            continue;
        }
        EXPECT_EQ(listed["configured"]["position"], c.position);
        EXPECT_EQ(listed["configured"]["why"], c.why);
        EXPECT_EQ(listed["printers"][c.position]["configured"], true);
        const Outcome text = Admin({"printers"});
        EXPECT_TRUE(Has(text.out, "* " + std::to_string(c.position) + "  ")) << text.out;
        EXPECT_TRUE(Has(text.out, "(configured: " + std::string(c.why) + ")")) << text.out;
    }

    // A resolution no printer-settings code can hold: papyra's UPDATE would fail with overflow.
    fs::remove(papyra.Root() + "/registry.reg");
    cups.Queue("huge",
               papyra.Write("huge.ppd", std::regex_replace(ReadBytes(Ppd + "laser.ppd"),
                                                           std::regex("600dpi"), "40000dpi")));
    const Json huge = AdminJson({"printers", "--json"}, 1)["printers"][0];
    EXPECT_EQ(huge["error"]["number"], 6) << huge;
    EXPECT_EQ(huge["error"]["text"], "Overflow");
    EXPECT_FALSE(huge.contains("path"));
}

TEST_F(AdminCommand, UseWritesTheRegistryPapyraThenPrintsBy) {
    // Wine's registry of the user, when papyra reads that one: every other byte stays.
    const std::string userReg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\n\n"
                                "[Software\\\\Wine] 1600000000\n#time=1d6f0a1b2c3d4e5\n"
                                "\"Version\"=\"win10\"\n";
    papyra.Write("wine/user.reg", userReg);
    papyra.env["PAPYRA_HKCU"] = "";
    papyra.env["WINEPREFIX"] = papyra.Root() + "/wine";
    const Outcome used = Admin({"use", "laser"});
    EXPECT_EQ(used.exitCode, 0) << used.err;
    EXPECT_TRUE(Has(used.out, "papyra now prints to 0 laser (by name)")) << used.out;
    const std::string written = ReadBytes(papyra.Root() + "/wine/user.reg");
    EXPECT_EQ(written.substr(0, userReg.size()), userReg);
    EXPECT_NE(written.find("\"DeviceName\"=\"laser\"\n", userReg.size()), std::string::npos);
    fs::remove(cups.Captured("laser"));
    EXPECT_EQ(papyra.Run({Ledger, "x", "P"}).exitCode, 0);
    EXPECT_TRUE(Has(cups.Job("laser"), "%PDF")) << "papyra printed on laser";

    // The default registry file: a position is written as its number; what papyra would not
    // choose as asked is refused, and nothing is written.
    papyra.env.erase("WINEPREFIX");
    papyra.env["PAPYRA_HKCU"] = papyra.Root() + "/registry.reg";
    const std::string regedit = papyra.Write("registry.reg", "REGEDIT4\r\n");
    EXPECT_EQ(Admin({"use", "2"}).exitCode, 0);
    const std::string configured = ReadBytes(regedit);
    EXPECT_EQ(configured,
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]\r\n"
              "\"DeviceName\"=\"2\"\r\n");
    for (const char* refused : {"3", "Laser"}) {
        const Outcome outcome = Admin({"use", refused});
        EXPECT_EQ(outcome.exitCode, 1) << refused;
        EXPECT_TRUE(Has(outcome.err, "papyra-admin printers lists them")) << outcome.err;
    }
    EXPECT_EQ(ReadBytes(regedit), configured);
    EXPECT_EQ(Admin({"use"}).exitCode, 2) << "a usage error";
}

TEST_F(AdminCommand, PreviewDrawsWhatPapyraPrintsAndRendersAPageOfThePrintersSize) {
    // Landscape, as the flag's road is the one a preview can lose on its own.
    papyra.Configure("Papyra PDF");
    const std::string report = Source + "/samples/ledger-landscape.prt";
    ASSERT_EQ(papyra.Run({report, "x", "L"}).exitCode, 0);
    const std::string preview = papyra.Root() + "/preview.pdf";
    EXPECT_EQ(Admin({"preview", report, "-o", preview, "--landscape"}).exitCode, 0);
    ASSERT_EQ(papyra.Pdfs().size(), 1u) << "the preview printed nothing";
    EXPECT_EQ(InfoOf(preview, "Pages"), InfoOf(papyra.Pdfs()[0], "Pages"));
    EXPECT_EQ(TextOf(preview), TextOf(papyra.Pdfs()[0]));

    const std::string png = papyra.Root() + "/page.png";
    fs::remove(cups.Captured("laser"));
    const Outcome outcome =
        Admin({"preview", Ledger, "--printer", "laser", "-o", png, "--page", "2", "--dpi", "96"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::string bytes = ReadBytes(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
    auto be32 = [&](size_t at) {
        return (unsigned char)bytes[at] << 24 | (unsigned char)bytes[at + 1] << 16 |
               (unsigned char)bytes[at + 2] << 8 | (unsigned char)bytes[at + 3];
    };
    // The queue's Letter page, 612 x 792 points, at 96 dots an inch.
    EXPECT_EQ(std::pair(be32(16), be32(20)), std::pair(612 * 96 / 72, 792 * 96 / 72));
    EXPECT_TRUE(cups.Job("laser", std::chrono::milliseconds(300)).empty()) << "nothing printed";
    EXPECT_EQ(Admin({"preview", Ledger, "--printer", "laser", "-o", png, "--page", "9"}).exitCode,
              1);
    const Outcome tractor = Admin({"preview", Ledger, "--printer", "tractor"});
    EXPECT_EQ(tractor.exitCode, 1);
    EXPECT_TRUE(Has(tractor.err, "decode --report")) << tractor.err;
}

TEST_F(AdminCommand, DecodeReadsACapturedTractorJob) {
    papyra.Configure("tractor");
    const std::string report =
        papyra.Write("r.prt", "Total\227\227\r\n\016Big\024 \033Gbold\033H\r\n\f\r\nend");
    fs::remove(cups.Captured("tractor"));
    ASSERT_EQ(papyra.Run({report, "x", "P"}).exitCode, 0);
    const Outcome decoded = Admin({"decode", papyra.Write("job.raw", cups.Job("tractor"))});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_TRUE(Has(decoded.out, "<ESC C 88 (page length 88 lines)>"
                                 "<ESC g (15 characters per inch)>Total\u2500\u2500\n"
                                 "<SO (double width on)>Big"))
        << decoded.out;
    EXPECT_EQ(Admin({"decode", "--report", report}).out, decoded.out)
        << "the raw path's bytes, from the engine itself";
    EXPECT_EQ(Admin({"decode", papyra.Root() + "/missing"}).exitCode, 1);
}

TEST_F(AdminCommand, DoctorFindsAStoppedQueueAndAnUnwritablePdfFolderWithTheirFixes) {
    papyra.Configure("tractor");
    ASSERT_EQ(cups.Lp({"cupsdisable", "tractor"}), 0);
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

    cups.Lp({"cupsenable", "tractor"});
    papyra.env["PAPYRA_PDF_DIR"] = papyra.PdfFolder();
    EXPECT_EQ(Admin({"doctor"}).exitCode, 0) << "well again";
}

TEST_F(AdminCommand, LogReadsBackAGoodJobAndAFailedOne) {
    papyra.Configure("laser");
    // The older file, as papyra leaves it when the log reaches its limit, is read first.
    papyra.Write("home/.local/state/papyra/papyra.log.1",
                 "{\"time\":\"2020-01-01T00:00:00Z\",\"mode\":\"TEST\",\"outcome\":\"done\"}\n");
    ASSERT_EQ(papyra.Run({Ledger, "x", "P"}).exitCode, 0);
    const std::string missing = papyra.Root() + "/missing.prt";
    ASSERT_EQ(papyra.Run({missing, "x", "P"}).exitCode, 1);
    EXPECT_EQ(Admin({"log", "-n", "3"}).out.substr(0, 20), "2020-01-01T00:00:00Z");
    const std::string log = Admin({"log", "-n", "2"}).out;
    const std::string time = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ";
    EXPECT_TRUE(std::regex_match(
        log, std::regex(time + "  done +print " + Ledger + " -> laser, drawn, 3 pages\n" + time +
                        "  failed +print " + missing +
                        " -> laser, drawn, 0 pages: run-time error 53 \\(File not found\\): " +
                        missing + "\n")))
        << log;
    const Json last = AdminJson({"log", "-n", "1", "--json"});
    const std::string file = ReadBytes(papyra.Root() + "/home/.local/state/papyra/papyra.log");
    EXPECT_EQ(last, Json::array({Json::parse(file.substr(file.rfind('\n', file.size() - 2) + 1))}))
        << "the log's own object, passed through";
}

} // namespace
