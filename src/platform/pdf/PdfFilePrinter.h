#pragma once
// The built-in printer "Papyra PDF": every document becomes a PDF file in the user's folder,
// named after the report it prints and never written over an existing file.
//
// Contract:
// - The folder is $PAPYRA_PDF_DIR, else ~/Documents/Papyra, read when the printer is made and
//   created (with its parents) when a document starts. A folder that cannot be created or
//   written fails the first Print with run-time error 70 (permission), 76 (path not found),
//   61 (disk full) or 57; a file that cannot be claimed at EndDoc fails EndDoc the same way.
// - The file is "<report name>.pdf", then "<report name> (2).pdf", (3)... for the first free
//   name, claimed atomically: the final name only ever holds a complete PDF. The name is the
//   report's own bytes, as the file system has them. A failure at EndDoc (a full disk, a folder
//   gone) is told through the delivery notice and leaves nothing half-written.
// - Paper is Letter where the locale's paper (LC_ALL, LC_PAPER, LANG) is Letter, else A4; the
//   printable area is the page less a quarter inch each side.
#include "platform/Printer.h"
#include "platform/pdf/PdfSurface.h"

#include <string>

namespace papyra {

class PdfFilePrinter : public Printer {
public:
    // A document that cannot be put in its place at EndDoc is told through notice.
    explicit PdfFilePrinter(DeliveryNotice notice = {});

    std::string DeviceName() override;
    std::string DriverName() override;
    std::string Port() override;

    int16_t Orientation() override;
    void SetOrientation(int16_t orientation) override;
    int16_t PaperSize() override;
    int16_t PaperBin() override;
    int16_t Copies() override;
    void SetCopies(int16_t copies) override;
    int16_t ColorMode() override;
    int16_t PrintQuality() override;
    void SetTrackDefault(bool track) override;

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
    void SetDocumentName(const std::string& path) override;

    // Where the last finished document was written; empty before the first.
    std::string LastDocumentPath() const;
    // The folder documents go to.
    const std::string& Folder() const { return folder; }
    // The portrait page documents are drawn on: the locale's paper less a quarter inch a side.
    PageGeometry Page() const;

private:
    void PrepareFolder();
    void ClaimName(const std::string& tempPath);

    std::string folder;
    bool folderReady = false;
    int16_t paperSize;
    int16_t copies = 1;
    std::string baseName = "Papyra";
    std::string lastPath;
    DeliveryNotice notice;
    PdfSurface surface;
};

// Windows paper code for the paper the locale asks for: 1 Letter or 9 A4.
int16_t LocalePaperSize();

} // namespace papyra
