#pragma once
// An installed Windows printer as the program's printer object.
//
// Identity (name, driver, port) comes from the spooler's enumeration. The printer's settings are
// its DEVMODE as DocumentPropertiesA gives it, read on first use; the codes are its fields as
// they stand, and SetOrientation/SetCopies change this object's copy, which every later document
// is made from. Copies reads 0 when the driver says it cannot print several (DC_COPIES <= 1).
//
// Drawing is GDI on a printer DC made from the DEVMODE. Measures are twips from the printable
// area's top-left; device pixels are converted with the DC's LOGPIXELSX/Y. Fonts are made with
// CreateFontA at the size asked, rounded to whole device pixels, and FontSize reads back the size
// the realized font has. Text is Windows-1252 and is drawn with the ANSI calls as it is; a CR in
// it returns to the left edge and an LF also moves down a line, as on the other platforms.
//
// The first drawing starts a document (StartDocA, named after SetDocumentName, and StartPage);
// NewPage is EndPage + StartPage; EndDoc ends it. Orientation and copies count from the start of
// a document: a change while one is open applies to the next. A document still open when the
// object goes is aborted (AbortDoc): nothing of it prints.
//
// Failures of the spooler or the driver are run-time error 482, naming the printer.
#include "platform/Printer.h"

#include <memory>
#include <optional>
#include <vector>

namespace papyra {

class Win32Printer : public Printer {
public:
    Win32Printer(std::string name, std::string driver, std::string port);
    ~Win32Printer() override;
    Win32Printer(const Win32Printer&) = delete;
    Win32Printer& operator=(const Win32Printer&) = delete;

    std::string DeviceName() override { return name_; }
    std::string DriverName() override { return driver_; }
    std::string Port() override { return port_; }

    int16_t Orientation() override;
    void SetOrientation(int16_t orientation) override;
    int16_t PaperSize() override;
    int16_t PaperBin() override;
    int16_t Copies() override;
    void SetCopies(int16_t copies) override;
    int16_t ColorMode() override;
    int16_t PrintQuality() override;
    void SetTrackDefault(bool track) override { trackDefault_ = track; }

    void SetScaleMode(int16_t mode) override;
    float ScaleWidth() override;
    float ScaleHeight() override;

    void SetFontName(const std::string& name) override;
    float FontSize() override;
    void SetFontSize(float points) override;
    void SetFontBold(bool bold) override;
    void SetFontUnderline(bool underline) override;
    float TextWidth(const std::string& text) override;

    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(const std::string& text, bool lineEnd) override;
    void NewPage() override;
    void EndDoc() override;
    void SetDocumentName(const std::string& path) override { documentName_ = path; }

    // The DEVMODE (a DEVMODEA and the driver's private part) the next document is made from, for
    // the printer dialog to start from. Run-time error 482 when the spooler cannot give one.
    const std::vector<unsigned char>& DevMode();

private:
    struct Surface;

    void DevModeChanged();
    Surface& Dc();
    Surface& Font();
    void BeginDocument();
    void DrawRun(const char* text, size_t length);
    [[noreturn]] void Fail();

    std::string name_, driver_, port_;
    std::vector<unsigned char> devMode_;
    std::optional<bool> severalCopies_;
    bool trackDefault_ = true;
    std::string documentName_;

    std::string fontName_ = "Courier New";
    float fontPoints_ = 10;
    bool bold_ = false, underline_ = false;
    float currentX_ = 0, currentY_ = 0;
    std::unique_ptr<Surface> surface_;
};

} // namespace papyra
