#pragma once
// A printer's pages drawn into a PDF file of one's choosing instead of being printed: the
// identity and capability codes of the printer it stands in for, that printer's page, and a
// PdfSurface to draw on. Nothing reaches the other printer's queue or folder; its codes are read
// from it as they are needed, so they fail as they would fail there.
//
// Orientation and copies start as the other printer's and then belong to this one, as they
// belong to a printer object. EndDoc puts the finished PDF at the path given, replacing what is
// there (a link there is replaced, never written through); a document never ended leaves nothing.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

#include <optional>
#include <string>

namespace papyra {

class PreviewPrinter : public Printer {
public:
    // page: the portrait page the other printer draws on.
    PreviewPrinter(Printer& standsFor, PageGeometry page, std::string pdfPath);

    std::string DeviceName() override { return other.DeviceName(); }
    std::string DriverName() override { return other.DriverName(); }
    std::string Port() override { return other.Port(); }

    int16_t Orientation() override;
    void SetOrientation(int16_t orientation) override;
    int16_t PaperSize() override { return other.PaperSize(); }
    int16_t PaperBin() override { return other.PaperBin(); }
    int16_t Copies() override;
    void SetCopies(int16_t value) override { copies = value; }
    int16_t ColorMode() override { return other.ColorMode(); }
    int16_t PrintQuality() override { return other.PrintQuality(); }
    void SetTrackDefault(bool) override {}

    void SetScaleMode(int16_t mode) override;
    float ScaleWidth() override { return surface.ScaleWidth(); }
    float ScaleHeight() override { return surface.ScaleHeight(); }

    void SetFontName(const std::string& name) override { surface.SetFontName(name); }
    float FontSize() override { return surface.FontSize(); }
    void SetFontSize(float points) override { surface.SetFontSize(points); }
    void SetFontBold(bool bold) override { surface.SetFontBold(bold); }
    void SetFontUnderline(bool underline) override { surface.SetFontUnderline(underline); }
    float TextWidth(const std::string& text) override { return surface.TextWidth(text); }

    void SetCurrentX(float x) override { surface.SetCurrentX(x); }
    void SetCurrentY(float y) override { surface.SetCurrentY(y); }
    void Print(const std::string& text, bool lineEnd) override { surface.Print(text, lineEnd); }
    void NewPage() override { surface.NewPage(); }
    void EndDoc() override { surface.EndDoc(); }
    void SetDocumentName(const std::string& path) override { surface.SetDocumentName(path); }

    // Where EndDoc puts the document.
    const std::string& PdfPath() const { return pdfPath; }

private:
    void Place(const std::string& tempPath);

    Printer& other;
    std::string pdfPath;
    std::optional<int16_t> orientation, copies;
    PdfSurface surface;
};

} // namespace papyra
