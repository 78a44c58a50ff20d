// The CUPS printers, their codes, drawn and raw jobs, against a private cupsd.
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/CupsPrinter.h"
#include "platform/unix/CupsRawPort.h"
#include "support/ErrorOf.h"
#include "support/Harness.h"

#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;

namespace {

int IndexOf(CupsPrinters& printers, const std::string& name) {
    for (int i = 0; i < printers.Count(); ++i)
        if (printers.Item(i).DeviceName() == name) return i;
    throw std::runtime_error("no printer " + name);
}

CupsPrinter& Named(CupsPrinters& printers, const std::string& name) {
    return dynamic_cast<CupsPrinter&>(printers.Item(IndexOf(printers, name)));
}

std::optional<ipp_jstate_t> LastJobState(const std::string& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    std::optional<ipp_jstate_t> state;
    for (int i = 0, newest = 0; i < count; ++i)
        if (jobs[i].id > newest) newest = jobs[i].id, state = jobs[i].state;
    cupsFreeJobs(count, jobs);
    return state;
}

class CupsPrintersTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* queue : {"tractor", "stopped", "refusing"})
            cups.Queue(queue, "tractor.ppd");
        cups.Queue("laser", "laser.ppd");
        cups.Queue("bare");
        cups.Queue("Z\xC3\xBCrich", "laser.ppd");
        cups.Lp({"cupsdisable", "stopped"});
        cups.Lp({"cupsreject", "refusing"});
        cups.Lp({"lpadmin", "-d", "tractor"});
    }
    Cups cups;
    const ScopedEnv tmp{"TMPDIR", cups.folder.path().c_str()}; // drawn jobs are staged there
};

TEST_F(CupsPrintersTest, AreTheQueuesInServerOrderAsAnsiNamesThenTheBuiltInPrinter) {
    CupsPrinters printers;
    std::vector<std::string> names;
    for (int i = 0; i < printers.Count(); ++i)
        names.push_back(printers.Item(i).DeviceName());
    EXPECT_EQ(names, (std::vector<std::string>{"bare", "laser", "refusing", "stopped", "tractor",
                                               "Z\xFCrich", "Papyra PDF"}));
    CupsPrinter& tractor = Named(printers, "tractor");
    EXPECT_EQ(tractor.DriverName(), "Papyra Test Tractor 24");
    EXPECT_EQ(tractor.Port(), cups.CaptureUri("tractor"));
    EXPECT_EQ(Named(printers, "Z\xFCrich").Queue(), "Z\xC3\xBCrich");
    EXPECT_EQ(&printers.Current(), &printers.Item(4)) << "the server's default until a choice";
    for (int bad : {-1, printers.Count()})
        EXPECT_EQ(ErrorOf([&] { printers.SetCurrent(bad); }), 9) << bad;
}

// The codes themselves are the unit tests' ground (and papyra-admin's printers shows a resolution
// beyond int16 as the overflow error); here a real PPD's margins reach the printable area.
TEST_F(CupsPrintersTest, PrintableAreaComesFromThePpdsMarginsAndTurnsWithTheOrientation) {
    CupsPrinters printers;
    Printer& tractor = Named(printers, "tractor");
    // A4 (595 x 842 pt), 18 pt side and 36 pt top and bottom margins, in twips.
    const float width = (595 - 36) * 20, height = (842 - 72) * 20;
    EXPECT_NEAR(tractor.ScaleWidth(), width, 5);
    EXPECT_NEAR(tractor.ScaleHeight(), height, 5);
    tractor.SetOrientation(2);
    EXPECT_NEAR(tractor.ScaleWidth(), height, 5);
    EXPECT_NEAR(tractor.ScaleHeight(), width, 5);
}

TEST_F(CupsPrintersTest, RawPortSendsItsBytesToTheCurrentPrintersQueueOrRefuses) {
    CupsPrinters printers;
    CupsRawPort port(printers);
    const std::string small = "\x1B@\r\n", large(300 * 1024, 'L'); // past the port's buffer
    port.Open(cups.CaptureUri("tractor"));
    for (const std::string& part : {small, large, small})
        port.Write(part);
    EXPECT_EQ(ErrorOf([&] { port.Open(cups.CaptureUri("laser")); }), 55);
    port.Close();
    EXPECT_EQ(cups.Job("tractor"), small + large + small);

    for (const char* queue : {"stopped", "refusing"}) {
        printers.SetCurrent(IndexOf(printers, queue));
        EXPECT_EQ(ErrorOf([&] { port.Open(printers.Current().Port()); }), 52) << queue;
    }
    EXPECT_EQ(ErrorOf([&] { port.Open("capture:/no/such/port"); }), 52);

    { // dropped without Close: nothing half-sent prints
        CupsRawPort dropped(printers);
        dropped.Open(cups.CaptureUri("bare"));
        dropped.Write(std::string(200 * 1024, 'x'));
    }
    EXPECT_EQ(LastJobState("bare"), IPP_JSTATE_CANCELED);
}

TEST_F(CupsPrintersTest, DrawnJobIsStagedPrivatelyAndReachesTheQueueUprightOrTurnedOnce) {
    CupsPrinters printers;
    CupsPrinter& laser = Named(printers, "laser");
    laser.SetOrientation(1);
    laser.SetFontName("Courier New");
    laser.Print("staged", false);
    const std::string staging = cups.folder / ("papyra-" + std::to_string(geteuid()));
    struct stat st {};
    for (const auto& entry : fs::directory_iterator(staging))
        if (entry.path().extension() == ".part") stat(entry.path().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a report waits where only its user can read it";
    laser.EndDoc();
    const std::string pdf = cups.folder / "job.pdf";
    WriteBytes(pdf, cups.Job("laser"));
    for (const auto& entry : fs::directory_iterator(staging))
        EXPECT_NE(entry.path().extension(), ".part") << "staged file left: " << entry.path();

    // Upright at the top-left; landscape lies turned a quarter on the portrait sheet, its words
    // running up the left edge from its foot. Turned twice, it would lie flat.
    for (int orientation : {1, 2}) {
        laser.SetOrientation(orientation);
        fs::remove(cups.Captured("laser"));
        laser.SetFontName("Courier New");
        laser.SetCurrentX(0);
        laser.SetCurrentY(0);
        laser.Print("Word", true);
        laser.EndDoc();
        WriteBytes(pdf, cups.Job("laser"));
        const std::vector<Word> words = WordsOf(pdf);
        ASSERT_EQ(words.size(), 1u) << orientation;
        const Word& word = words[0];
        const bool turned = orientation == 2;
        EXPECT_EQ(word.yMax - word.yMin > word.xMax - word.xMin, turned) << orientation;
        EXPECT_LT(word.xMin, 100);
        EXPECT_TRUE(turned ? word.yMin > 792 / 2 : word.yMin < 100) << word.yMin;
        const std::string options = ReadBytes(cups.Captured("laser") + ".options");
        EXPECT_TRUE(Has(options, turned ? "orientation-requested=4" : "orientation-requested=3"))
            << "asked of the queue, not left to its filters: " << options;
    }
}

TEST_F(CupsPrintersTest, AQueueThatRefusesTheDrawnJobIsToldAtTheDocumentsEnd) {
    // A dot-matrix queue takes no PDF: the refusal comes at the end, told before it is thrown.
    std::vector<int> told;
    CupsPrinters telling([] { return nullptr; },
                         [&](const RuntimeError& e) { told.push_back(e.number); });
    CupsPrinter& tractor = Named(telling, "tractor");
    tractor.SetFontName("Courier New");
    tractor.Print("x", false);
    const RuntimeError refused = FailureOf([&] { tractor.EndDoc(); });
    EXPECT_EQ(refused.number, 482);
    EXPECT_TRUE(refused.reported);
    EXPECT_EQ(told, std::vector<int>{482});
}

} // namespace
