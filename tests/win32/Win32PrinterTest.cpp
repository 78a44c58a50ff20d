// The spooler's printers through Wine's CUPS bridge, against the private cupsd that
// tests/windows/with-printers starts: queues "laser" (Letter, 300 dpi, printable area 12 pt in
// from each edge) and "tractor" (A4, raw), their jobs captured in $PAPYRA_CUPS_DIR/out.
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32RawPort.h"
#include "win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace papyra;
using namespace papyra::test;

namespace {

Printer* Named(Printers& printers, const std::string& name) {
    for (int i = 0; i < printers.Count(); ++i)
        if (printers.Item(i).DeviceName() == name) return &printers.Item(i);
    return nullptr;
}

class Win32Printing : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = "";
        GetEnvironmentVariableA("PAPYRA_CUPS_DIR", folder, MAX_PATH);
        ASSERT_TRUE(*folder) << "run through tests/windows/with-printers";
        cups = "Z:" + std::string(folder); // drive Z: is the Unix root
        std::replace(cups.begin(), cups.end(), '/', '\\');
        laser = Named(printers, "laser");
        tractor = Named(printers, "tractor");
        ASSERT_TRUE(laser && tractor) << printers.Count() << " printers";
    }
    // The jobs the cupsd has created for a queue so far, as its access log counts them.
    int JobsFor(const std::string& queue) {
        std::istringstream log(ReadBytes(cups + "\\log\\access_log"));
        int jobs = 0;
        for (std::string line; std::getline(log, line);)
            jobs += line.find("/printers/" + queue + " ") != std::string::npos &&
                    line.find("Create-Job successful") != std::string::npos;
        return jobs;
    }
    std::string cups;
    Win32Printers printers;
    Printer* laser = nullptr;
    Printer* tractor = nullptr;
};

TEST_F(Win32Printing, TheCurrentPrinterIsTheSystemDefaultAndItsCodesAndMeasuresComeFromItsDevMode) {
    char saved[256] = {};
    DWORD size = sizeof saved;
    GetDefaultPrinterA(saved, &size);
    for (const char* name : {"tractor", "laser"}) {
        ASSERT_TRUE(SetDefaultPrinterA(name));
        EXPECT_EQ(Win32Printers().Current().DeviceName(), name);
    }
    SetDefaultPrinterA(saved);
    EXPECT_EQ(laser->Port(), "CUPS:laser");

    EXPECT_EQ(laser->PaperSize() * 100 + tractor->PaperSize(), 1 * 100 + 9); // Letter, A4
    laser->SetCopies(3);
    EXPECT_EQ(laser->Copies(), 3);
    // Letter less 12 pt each side: 588 x 768 pt, 20 twips a point; turned once set so.
    EXPECT_FLOAT_EQ(laser->ScaleWidth(), 11760);
    laser->SetOrientation(2);
    EXPECT_EQ(laser->Orientation(), 2);
    EXPECT_EQ(std::pair(laser->ScaleWidth(), laser->ScaleHeight()), std::pair(15360.f, 11760.f));

    laser->SetFontName("Courier New");
    laser->SetFontSize(10.3f); // 42.9 pixels at 300 dpi: the device takes 43
    EXPECT_FLOAT_EQ(laser->FontSize(), 43 * 72 / 300.0f);
    const float one = laser->TextWidth("A");
    EXPECT_NEAR(one, 0.6f * 10.32f * 20, 5) << "a fixed-pitch face, Courier New's advance";
    EXPECT_FLOAT_EQ(laser->TextWidth(std::string(112, 'A')), 112 * one);
    EXPECT_FLOAT_EQ(laser->TextWidth("AB\nABCD\rA"), 4 * one) << "the widest line";
}

TEST_F(Win32Printing, EndedDocumentsPrintAndUnendedOnesNever) {
    const int before = JobsFor("laser");
    {
        Win32Printers others;
        Named(others, "laser")->Print("never printed", true);
    }
    laser->SetDocumentName("C:\\reports\\kept.prt");
    laser->Print("page one", true);
    laser->NewPage();
    laser->Print("page two", false);
    laser->EndDoc();
    for (int i = 0; i < 200 && JobsFor("laser") == before; ++i)
        Sleep(50);
    Sleep(1000); // a job sent for the dropped document would be logged by now
    EXPECT_EQ(JobsFor("laser"), before + 1);
}

TEST_F(Win32Printing, TheRawPortDeliversEveryByteToThePrinterOnThatPort) {
    const std::string capture = cups + "\\out\\tractor";
    DeleteFileA(capture.c_str());
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    const std::string block(100000, '\x1B');
    Win32RawPort port(printers);
    EXPECT_EQ(ErrorOf([&] { port.Write("x"); }), 52);
    EXPECT_EQ(ErrorOf([&] { port.Open("LPT9:"); }), 52);
    port.Open(tractor->Port());
    EXPECT_EQ(ErrorOf([&] { port.Open(tractor->Port()); }), 55);
    port.Write(bytes);
    port.Write(block);
    port.Write(bytes);
    port.Close();
    EXPECT_TRUE(ReadBytes(capture, true) == bytes + block + bytes);
}

} // namespace
