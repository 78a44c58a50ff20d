#pragma once
// The printer object: one installed printer's identity, its Windows printer-settings codes and
// its drawing surface. All output and every printer setting pass through it.
//
// Contract for callers:
// - Codes are the Windows printer-settings numbers (DEVMODE): Orientation 1 portrait, 2
//   landscape; PaperBin 8 tractor feed; Copies 0 when the printer cannot print several copies;
//   PrintQuality > 0 is dots per inch, -1..-4 a quality level. A code outside int16_t read from
//   the printer is run-time error 6.
// - Measures are in the unit of the scale mode; scale mode 1 (twips, 1/1440 inch) is the only
//   one this program sets, and the default. ScaleWidth/ScaleHeight are the printable area in the
//   current orientation; TextWidth is measured in the current font in the same unit.
// - The font size read back is the size the printer took.
// - Drawing: Print draws text at (CurrentX, CurrentY), the top-left of the text's cell, and
//   advances CurrentX by its width; with lineEnd it then moves to the start of the next line.
//   Font changes take effect for text drawn afterwards. The first drawing starts a document;
//   NewPage ends the page; EndDoc ends the document and releases it for printing. A document that
//   is never ended is discarded when the printer goes away: no partial output.
// - Any operation may fail with a RuntimeError (482 printer error, 57 device I/O error, 61 disk
//   full, 70/75/76 for an output folder that cannot be written).
#include <cstdint>
#include <string>

namespace papyra {

class Printer {
public:
    virtual ~Printer() = default;

    virtual std::string DeviceName() = 0;
    virtual std::string DriverName() = 0;
    virtual std::string Port() = 0;

    virtual int16_t Orientation() = 0;
    virtual void SetOrientation(int16_t orientation) = 0;
    virtual int16_t PaperSize() = 0;
    virtual int16_t PaperBin() = 0;
    virtual int16_t Copies() = 0;
    virtual void SetCopies(int16_t copies) = 0;
    virtual int16_t ColorMode() = 0;
    virtual int16_t PrintQuality() = 0;
    // false: stay on this printer when the system's default printer changes.
    virtual void SetTrackDefault(bool track) = 0;

    virtual void SetScaleMode(int16_t mode) = 0;
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;

    virtual void SetFontName(const std::string& name) = 0;
    virtual float FontSize() = 0;
    virtual void SetFontSize(float points) = 0;
    virtual void SetFontBold(bool bold) = 0;
    // The further style attribute that double-width switches on: underline.
    virtual void SetFontUnderline(bool underline) = 0;
    virtual float TextWidth(const std::string& text) = 0;

    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;
    // text is 8-bit ANSI (Windows-1252).
    virtual void Print(const std::string& text, bool lineEnd) = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // The name the next document is known by (the spooler's job name, the PDF's file name): the
    // path of the report it prints. Not a Windows printer member; it changes nothing drawn.
    virtual void SetDocumentName(const std::string& path) = 0;
};

// The installed printers, in the platform's order, which stays the same for the whole run, and
// the program's current printer (the one all output goes to).
class Printers {
public:
    virtual ~Printers() = default;
    virtual int Count() = 0;
    // Run-time error 9 when index is not 0..Count()-1.
    virtual Printer& Item(int index) = 0;
    // Makes Item(index) the current printer; run-time error 9 when absent.
    virtual void SetCurrent(int index) = 0;
    // Before any SetCurrent, the system's default printer (the first when none is the default);
    // run-time error 482 when there is no printer at all.
    virtual Printer& Current() = 0;
};

} // namespace papyra
