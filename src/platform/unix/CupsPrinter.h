#pragma once
// A CUPS queue as the program's printer object.
//
// Identity (queue name, make and model, device URI without credentials) comes from the
// enumeration, in UTF-8 as CUPS keeps it, and reaches the program as ANSI (AnsiText.h: a
// character Windows-1252 lacks becomes a stable stand-in). The capability codes are the queue's
// defaults, read from the server on first use and kept for the run; the PPD answers first where
// it has an answer, IPP otherwise. Orientation starts as the queue's default and, with the
// copies, belongs to the object: they travel with each job.
//
// Drawing goes to a PdfSurface shaped like the default media and its printable area, staged in
// the user's private folder (0600). The document starts with the first drawing, and the queue is
// asked then: missing, stopped, not accepting jobs or no server to ask is run-time error 52, so
// the print engine can offer the setup window. EndDoc submits the finished PDF to the queue
// (media, orientation, copies, the document name as job name) and deletes it; a failure there
// (the server gone or frozen, a refusal, a broken transfer: 482, 52) is told through the
// delivery notice before it is thrown.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

#include <memory>
#include <optional>
#include <string>

namespace papyra {

class CupsPrinter : public Printer {
public:
    // Names as CUPS publishes them (UTF-8).
    CupsPrinter(std::string queue, const std::string& makeAndModel, const std::string& deviceUri,
                DeliveryNotice notice = {});
    ~CupsPrinter() override;

    std::string DeviceName() override { return deviceName; }
    std::string DriverName() override { return driverName; }
    std::string Port() override { return port; }
    // The queue's own name, as CUPS knows it.
    const std::string& Queue() const { return queue; }

    int16_t Orientation() override;
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
    void Print(const std::string& text, bool lineEnd) override;
    void NewPage() override { Surface().NewPage(); }
    // Nothing drawn, nothing to end: the raw path never touches the surface.
    void EndDoc() override;
    void SetDocumentName(const std::string& path) override;

    // The queue's default media keyword as published ("" when it publishes none).
    std::string DefaultMedia();
    // The portrait page a document is drawn on: the default media and its printable area.
    PageGeometry DefaultPage() { return QueueDefaults().page; }

private:
    struct Defaults {
        std::string media;
        int paperSize = 0, paperBin = 0, colorMode = 0, copies = 0, orientation = 1;
        long long printQuality = 0;
        PageGeometry page;
    };

    const Defaults& QueueDefaults();
    PdfSurface& Surface();
    void Submit(const std::string& pdfPath);
    [[noreturn]] void Unusable();

    std::string queue, deviceName, driverName, port;
    DeliveryNotice notice;
    std::optional<Defaults> defaults;
    std::optional<int16_t> orientation;
    std::optional<int16_t> copies;
    bool documentOpen = false;
    bool trackDefault = true;
    std::string documentName;
    std::unique_ptr<PdfSurface> surface;
};

} // namespace papyra
