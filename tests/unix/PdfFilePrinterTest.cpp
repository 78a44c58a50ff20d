#include "platform/pdf/PdfFilePrinter.h"
#include "platform/RuntimeError.h"
#include "platform/pdf/FileErrors.h"
#include "support/PdfTools.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

namespace {

// One short report, as the engine prints it.
void PrintReport(Printer& printer, const std::string& name, const std::string& text) {
    printer.SetDocumentName(name);
    printer.SetCurrentX(0);
    printer.SetCurrentY(0);
    for (char c : text)
        printer.Print(std::string(1, c), false);
    printer.EndDoc();
}

class PdfFilePrinterTest : public ::testing::Test {
protected:
    ScratchFolder home;
    ScopedEnv homeVar{"HOME", home.path().c_str()};
    ScopedEnv dirVar{"PAPYRA_PDF_DIR", (home / "out").c_str()};
};

TEST_F(PdfFilePrinterTest, DescribesItselfWithFixedCodes) {
    PdfFilePrinter printer;
    EXPECT_EQ(std::tuple(printer.DeviceName(), printer.Port(), printer.PaperBin(),
                         printer.ColorMode(), printer.PrintQuality(), printer.Copies()),
              std::tuple("Papyra PDF", "PDF:", 7, 2, 600, 1));
    printer.SetCopies(3);
    EXPECT_EQ(printer.Copies(), 3);
    printer.SetScaleMode(1);
    for (int16_t mode : {0, 2, 7}) {
        try {
            printer.SetScaleMode(mode);
            ADD_FAILURE() << "scale mode " << mode << " taken";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, 5);
        }
    }
}

TEST_F(PdfFilePrinterTest, PaperFollowsTheLocaleAndTurnsForLandscape) {
    const float a4Width = (595.276f - 36) * 20, letterWidth = (612 - 36) * 20;
    const std::tuple<const char*, int, float> cases[] = {
        {"C", 9, a4Width},           {"de_DE.UTF-8", 9, a4Width},
        {"en_GB.UTF-8", 9, a4Width}, {"en_US.UTF-8", 1, letterWidth},
        {"es_MX", 1, letterWidth},   {"fr_CA.UTF-8@euro", 1, letterWidth},
    };
    ScopedEnv lang("LANG", nullptr), paper("LC_PAPER", nullptr);
    for (const auto& [locale, paperSize, width] : cases) {
        ScopedEnv all("LC_ALL", locale);
        PdfFilePrinter printer;
        EXPECT_EQ(printer.PaperSize(), paperSize) << locale;
        EXPECT_FLOAT_EQ(printer.ScaleWidth(), width) << locale;
    }
    {
        ScopedEnv onlyPaper("LC_PAPER", "en_PH.UTF-8");
        EXPECT_EQ(PdfFilePrinter().PaperSize(), 1);
    }
    ScopedEnv all("LC_ALL", "C");
    PdfFilePrinter printer;
    printer.SetOrientation(2);
    EXPECT_EQ(printer.Orientation(), 2);
    EXPECT_FLOAT_EQ(printer.ScaleWidth(), (841.89f - 36) * 20);
    EXPECT_FLOAT_EQ(printer.ScaleHeight(), a4Width);
    PrintReport(printer, "wide.prt", "wide");
    EXPECT_EQ(InfoOf(printer.LastDocumentPath(), "Page size"), "841.89 x 595.276 pts (A4)");
}

TEST_F(PdfFilePrinterTest, DocumentIsNamedAfterItsReportInAFolderMadeWhereNoneIs) {
    struct Case {
        const char* pdfDir; // below HOME; nullptr: unset
        std::string report, path;
    } cases[] = {
        {"out", "C:\\Harvex96\\Reports\\SALES.PRT", "out/SALES.pdf"},
        {"out", "/home/user/ledger.2024.txt", "out/ledger.2024.pdf"},
        {"out",
         "/reports/B\xC3\xBC"
         "cher.prt",
         "out/B\xC3\xBC"
         "cher.pdf"}, // its own bytes
        {"out", "C:\\Reports\\Caf\xe9.prt", "out/Caf\xe9.pdf"},
        {"out", "C:\\Reports\\", "out/Papyra.pdf"},
        {"out", "", "out/Papyra.pdf"},
        {nullptr, "plain", "Documents/Papyra/plain.pdf"},
        {"", "plain", "Documents/Papyra/plain.pdf"},
        {"deep/er/folder", "plain", "deep/er/folder/plain.pdf"},
    };
    for (const Case& c : cases) {
        const std::string dir = c.pdfDir && *c.pdfDir ? home / c.pdfDir : "";
        ScopedEnv var("PAPYRA_PDF_DIR", c.pdfDir ? dir.c_str() : nullptr);
        PdfFilePrinter printer;
        PrintReport(printer, c.report, "report text");
        EXPECT_EQ(printer.LastDocumentPath(), home / c.path) << c.report;
        EXPECT_NE(TextOf(printer.LastDocumentPath()).find("report text"), std::string::npos);
        unlink(printer.LastDocumentPath().c_str());
    }
}

TEST_F(PdfFilePrinterTest, NeverWritesOverAnExistingFile) {
    PdfFilePrinter printer;
    mkdir((home / "out").c_str(), 0777);
    WriteBytes(home / "out/report.pdf", "someone else's");
    for (const char* text : {"second", "third"})
        PrintReport(printer, "C:\\x\\report.prt", text);
    EXPECT_EQ(ReadBytes(home / "out/report.pdf"), "someone else's");
    EXPECT_NE(TextOf(home / "out/report (2).pdf").find("second"), std::string::npos);
    EXPECT_NE(TextOf(home / "out/report (3).pdf").find("third"), std::string::npos);
    EXPECT_EQ(printer.LastDocumentPath(), home / "out/report (3).pdf");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home / "out"), {}), 3)
        << "no temporary file is left behind";
}

TEST_F(PdfFilePrinterTest, UnusableFolderFailsTheFirstPrint) {
    WriteBytes(home / "a-file", "not a folder");
    const std::string locked = home / "locked";
    mkdir(locked.c_str(), 0500);
    const std::tuple<std::string, int, bool> cases[] = {
        // folder, error number, whether only a user other than root is refused
        {home / "a-file/out", 76, false},
        {home / "a-file", 76, false},
        {"/sys/kernel", 70, false}, // sysfs takes no new files, not even from root
        {locked, 70, true},
        {locked + "/sub", 70, true},
    };
    for (const auto& [folder, number, needsNonRoot] : cases) {
        if ((needsNonRoot && geteuid() == 0) || (folder[1] == 's' && access("/sys", F_OK) != 0))
            continue;
        ScopedEnv var("PAPYRA_PDF_DIR", folder.c_str());
        PdfFilePrinter printer;
        printer.SetDocumentName("r.prt");
        try {
            printer.Print("x", false);
            ADD_FAILURE() << folder << " took a document";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, number) << folder;
        }
        printer.EndDoc(); // nothing begun: nothing to end
        EXPECT_EQ(printer.LastDocumentPath(), "");
    }
    chmod(locked.c_str(), 0700);
}

TEST(PdfFileErrors, FileSystemFailuresBecomeTheirRunTimeErrors) {
    const std::pair<int, int> cases[] = {
        {ENOSPC, 61}, {EDQUOT, 61},  {EACCES, 70}, {EPERM, 70},  {EROFS, 70},
        {ENOENT, 76}, {ENOTDIR, 76}, {EIO, 57},    {EMFILE, 57}, {ENAMETOOLONG, 57}};
    for (auto [error, number] : cases)
        EXPECT_EQ(RuntimeErrorForErrno(error), number) << error;
}

} // namespace
