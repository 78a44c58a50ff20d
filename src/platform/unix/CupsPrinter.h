#pragma once
// A CUPS queue as the program's printer object.
//
// Identity (queue name, make and model, device URI without credentials) comes from the
// enumeration. The capability codes are the queue's defaults, read from the server on first use
// and kept for the run; the PPD answers first where it has an answer, IPP otherwise. Orientation
// starts portrait and, with the copies, belongs to the object: they travel with each job.
//
// Drawing goes to a PdfSurface shaped like the default media and its printable area; EndDoc
// submits the finished PDF to the queue (media, orientation, copies, the document name as job
// name) and deletes it. A queue that is missing, stopped or not accepting jobs at that moment is
// run-time error 52; any other refusal or a broken transfer is 482.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

#include <memory>
#include <optional>
#include <string>

namespace papyra {

class CupsPrinter : public Printer {
public:
    CupsPrinter(std::string queue, std::string makeAndModel, std::string deviceUri);
    ~CupsPrinter() override;

    std::string DeviceName() override { return queue; }
    std::string DriverName() override { return makeAndModel; }
    std::string Port() override { return port; }

    int16_t Orientation() override { return orientation; }
    void SetOrientation(int16_t orientation) override;
    int16_t PaperSize() override;
    int16_t PaperBin() override;
    int16_t Copies() override;
    void SetCopies(int16_t copies) override;
    int16_t ColorMode() override;
    int16_t PrintQuality() override;
    void SetTrackDefault(bool track) override { trackDefault = track; }

    void SetScaleMode(int16_t mode) override;
    float ScaleWidth() override { return Surface().ScaleWidth(); }
    float ScaleHeight() override { return Surface().ScaleHeight(); }

    void SetFontName(const std::string& name) override { Surface().SetFontName(name); }
    float FontSize() override { return Surface().FontSize(); }
    void SetFontSize(float points) override { Surface().SetFontSize(points); }
    void SetFontBold(bool bold) override { Surface().SetFontBold(bold); }
    void SetFontUnderline(bool underline) override { Surface().SetFontUnderline(underline); }
    float TextWidth(const std::string& text) override { return Surface().TextWidth(text); }

    void SetCurrentX(float x) override { Surface().SetCurrentX(x); }
    void SetCurrentY(float y) override { Surface().SetCurrentY(y); }
    void Print(const std::string& text, bool lineEnd) override { Surface().Print(text, lineEnd); }
    void NewPage() override { Surface().NewPage(); }
    // Nothing drawn, nothing to end: the raw path never touches the surface.
    void EndDoc() override {
        if (surface) surface->EndDoc();
    }
    void SetDocumentName(const std::string& path) override;

    // The queue's default media keyword as published ("" when it publishes none).
    std::string DefaultMedia();

private:
    struct Defaults {
        std::string media;
        int paperSize = 0, paperBin = 0, colorMode = 0, copies = 0;
        long long printQuality = 0;
        PageGeometry page;
    };

    const Defaults& QueueDefaults();
    PdfSurface& Surface();
    void Submit(const std::string& pdfPath);

    std::string queue, makeAndModel, port;
    std::optional<Defaults> defaults;
    int16_t orientation = 1;
    std::optional<int16_t> copies;
    bool trackDefault = true;
    std::string documentName;
    std::unique_ptr<PdfSurface> surface;
};

} // namespace papyra
