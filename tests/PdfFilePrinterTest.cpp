#include "platform/pdf/PdfFilePrinter.h"
#include "platform/RuntimeError.h"
#include "platform/pdf/FileErrors.h"
#include "support/PdfTools.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

namespace {

class PdfFilePrinterTest : public ::testing::Test {
protected:
    std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // One short report, as the engine prints it.
    void PrintReport(Printer& printer, const std::string& name, const std::string& text) {
        printer.SetDocumentName(name);
        printer.SetCurrentX(0);
        printer.SetCurrentY(0);
        for (char c : text)
            printer.Print(std::string(1, c), false);
        printer.EndDoc();
    }

    TempFolder home;
    EnvVar homeVar{"HOME", home.path.c_str()};
    EnvVar dirVar{"PAPYRA_PDF_DIR", (home.path + "/out").c_str()};
};

TEST_F(PdfFilePrinterTest, DescribesItselfWithFixedCodes) {
    PdfFilePrinter printer;
    EXPECT_EQ(printer.DeviceName(), "Papyra PDF");
    EXPECT_EQ(printer.DriverName(), "Papyra PDF");
    EXPECT_EQ(printer.Port(), "PDF:");
    EXPECT_EQ(printer.PaperBin(), 7);
    EXPECT_EQ(printer.ColorMode(), 2);
    EXPECT_EQ(printer.PrintQuality(), 600);
    EXPECT_EQ(printer.Orientation(), 1);
    EXPECT_EQ(printer.Copies(), 1);
    printer.SetCopies(3);
    EXPECT_EQ(printer.Copies(), 3);
    printer.SetOrientation(2);
    EXPECT_EQ(printer.Orientation(), 2);
    printer.SetTrackDefault(false);
    printer.SetScaleMode(1);
    for (int16_t mode : {0, 2, 3, 7}) {
        try {
            printer.SetScaleMode(mode);
            ADD_FAILURE() << "scale mode " << mode << " taken";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, 5);
        }
    }
}

TEST_F(PdfFilePrinterTest, PaperFollowsTheLocale) {
    struct Case {
        const char* locale;
        int16_t paperSize;
        float printableWidth; // twips: the page less a quarter inch each side
    } cases[] = {
        {"C", 9, (595.276f - 36) * 20},           {"de_DE.UTF-8", 9, (595.276f - 36) * 20},
        {"en_US.UTF-8", 1, (612 - 36) * 20},      {"es_MX", 1, (612 - 36) * 20},
        {"fr_CA.UTF-8@euro", 1, (612 - 36) * 20}, {"en_GB.UTF-8", 9, (595.276f - 36) * 20},
    };
    EnvVar lang("LANG", nullptr), paper("LC_PAPER", nullptr);
    for (const Case& c : cases) {
        EnvVar all("LC_ALL", c.locale);
        PdfFilePrinter printer;
        EXPECT_EQ(printer.PaperSize(), c.paperSize) << c.locale;
        EXPECT_FLOAT_EQ(printer.ScaleWidth(), c.printableWidth) << c.locale;
    }
    EnvVar all("LC_ALL", nullptr);
    EnvVar onlyPaper("LC_PAPER", "en_PH.UTF-8");
    EXPECT_EQ(PdfFilePrinter().PaperSize(), 1);
}

TEST_F(PdfFilePrinterTest, DocumentIsNamedAfterItsReport) {
    struct Case {
        std::string reportPath, fileName;
    } cases[] = {
        {"C:\\Harvex96\\Reports\\SALES.PRT", "SALES.pdf"},
        {"/home/user/ledger.2024.txt", "ledger.2024.pdf"},
        {"plain", "plain.pdf"},
        {"C:\\Reports\\Caf\xe9.prt", "Café.pdf"},
        {"C:\\Reports\\", "Papyra.pdf"},
        {"", "Papyra.pdf"},
    };
    for (const Case& c : cases) {
        PdfFilePrinter printer;
        PrintReport(printer, c.reportPath, "report text");
        EXPECT_EQ(printer.LastDocumentPath(), home.path + "/out/" + c.fileName) << c.reportPath;
        EXPECT_NE(TextOf(printer.LastDocumentPath()).find("report text"), std::string::npos);
        unlink(printer.LastDocumentPath().c_str());
    }
}

TEST_F(PdfFilePrinterTest, NeverWritesOverAnExistingFile) {
    PdfFilePrinter printer;
    mkdir((home.path + "/out").c_str(), 0777);
    std::ofstream(home.path + "/out/report.pdf") << "someone else's";
    for (const char* text : {"second", "third", "fourth"})
        PrintReport(printer, "C:\\x\\report.prt", text);
    EXPECT_EQ(Slurp(home.path + "/out/report.pdf"), "someone else's");
    EXPECT_NE(TextOf(home.path + "/out/report (2).pdf").find("second"), std::string::npos);
    EXPECT_NE(TextOf(home.path + "/out/report (3).pdf").find("third"), std::string::npos);
    EXPECT_NE(TextOf(home.path + "/out/report (4).pdf").find("fourth"), std::string::npos);
    EXPECT_EQ(printer.LastDocumentPath(), home.path + "/out/report (4).pdf");
    // Only finished documents: no temporary file is left behind.
    std::vector<std::string> expected = {"report (2).pdf", "report (3).pdf", "report (4).pdf",
                                         "report.pdf"};
    EXPECT_EQ(NamesIn(home.path + "/out"), expected);
}

TEST_F(PdfFilePrinterTest, FolderIsMadeWhereNoneIs) {
    struct Case {
        const char* pdfDir; // nullptr: the default folder below HOME
        std::string expectedFolder;
    } cases[] = {{nullptr, home.path + "/Documents/Papyra"},
                 {"", home.path + "/Documents/Papyra"},
                 {"deep/er/folder", home.path + "/deep/er/folder"}};
    for (const Case& c : cases) {
        std::string dir = c.pdfDir && *c.pdfDir ? home.path + "/" + c.pdfDir : "";
        EnvVar var("PAPYRA_PDF_DIR", c.pdfDir ? dir.c_str() : nullptr);
        PdfFilePrinter printer;
        EXPECT_EQ(printer.Folder(), c.expectedFolder);
        PrintReport(printer, "made.prt", "x");
        EXPECT_EQ(printer.LastDocumentPath(), c.expectedFolder + "/made.pdf");
        EXPECT_EQ(access(printer.LastDocumentPath().c_str(), R_OK), 0);
        unlink(printer.LastDocumentPath().c_str());
    }
}

TEST_F(PdfFilePrinterTest, UnusableFolderFailsTheFirstPrint) {
    std::ofstream(home.path + "/a-file") << "not a folder";
    std::string locked = home.path + "/locked";
    mkdir(locked.c_str(), 0500);
    struct Case {
        std::string folder;
        int number;
        bool needsNonRoot;
    } cases[] = {
        {home.path + "/a-file/out", 76, false},
        {home.path + "/a-file", 76, false},
        {"/sys/kernel", 70, false}, // sysfs takes no new files, not even from root
        {locked, 70, true},
        {locked + "/sub", 70, true},
    };
    for (const Case& c : cases) {
        if (c.needsNonRoot && geteuid() == 0) continue;
        if (c.folder == "/sys/kernel" && access(c.folder.c_str(), F_OK) != 0) continue;
        EnvVar var("PAPYRA_PDF_DIR", c.folder.c_str());
        PdfFilePrinter printer;
        printer.SetDocumentName("r.prt");
        try {
            printer.Print("x", false);
            ADD_FAILURE() << c.folder << " took a document";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, c.number) << c.folder;
        }
        printer.EndDoc(); // nothing begun: nothing to end
        EXPECT_EQ(printer.LastDocumentPath(), "");
    }
    chmod(locked.c_str(), 0700);
}

TEST_F(PdfFilePrinterTest, LandscapeDocumentHasLandscapePages) {
    EnvVar all("LC_ALL", "C");
    PdfFilePrinter printer;
    printer.SetOrientation(2);
    EXPECT_FLOAT_EQ(printer.ScaleWidth(), (841.89f - 36) * 20);
    EXPECT_FLOAT_EQ(printer.ScaleHeight(), (595.276f - 36) * 20);
    PrintReport(printer, "wide.prt", "wide");
    EXPECT_EQ(InfoOf(printer.LastDocumentPath(), "Page size"), "841.89 x 595.276 pts (A4)");
}

TEST(PdfFileErrors, FileSystemFailuresBecomeTheirRunTimeErrors) {
    struct Case {
        int error, number;
    } cases[] = {{ENOSPC, 61}, {EDQUOT, 61},  {EACCES, 70}, {EPERM, 70},  {EROFS, 70},
                 {ENOENT, 76}, {ENOTDIR, 76}, {EIO, 57},    {EMFILE, 57}, {ENAMETOOLONG, 57}};
    for (const Case& c : cases)
        EXPECT_EQ(RuntimeErrorForErrno(c.error), c.number) << c.error;
}

} // namespace
