#pragma once
// A printer's drawing surface that renders pages to PDF: the drawing half of every printer object
// on this platform. Fonts are embedded and text stays extractable; text is Windows-1252.
//
// Geometry is given for portrait; SetOrientation(2) turns paper and printable area. Measures
// (ScaleWidth, ScaleHeight, TextWidth, CurrentX/Y) are twips from the printable area's top-left.
// Pages stream to a temporary file as they are finished, so memory stays flat in pages. EndDoc
// finishes the file and hands it to the owner's sink, which moves or submits it; a document never
// ended is deleted when the surface goes away.
#include "platform/RuntimeError.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace papyra {

struct PageGeometry {
    // Portrait paper size and margins, in points (1/72 inch).
    float paperWidth = 595.276f;
    float paperHeight = 841.89f;
    float marginLeft = 18, marginTop = 18, marginRight = 18, marginBottom = 18;
};

// How a printer tells the user that a finished document could not be delivered (written into its
// folder, handed to the spooler), as a spooler would: at EndDoc nothing of the program's own is
// left to report it. Unset: nobody is told.
using DeliveryNotice = std::function<void(const RuntimeError&)>;

class PdfSurface;

// Ends surface's document. A failure is told through notice, marked reported, and thrown on.
void EndDocTelling(PdfSurface& surface, const DeliveryNotice& notice);

class PdfSurface {
public:
    // Receives the finished PDF's path; it owns the file from then on (moves or deletes it).
    // A failure is thrown as RuntimeError out of EndDoc.
    using Sink = std::function<void(const std::string& pdfPath)>;

    // tempFolder: where the document is written while it grows.
    PdfSurface(PageGeometry portrait, std::string tempFolder, Sink sink);
    ~PdfSurface();
    PdfSurface(const PdfSurface&) = delete;
    PdfSurface& operator=(const PdfSurface&) = delete;

    void SetGeometry(PageGeometry portrait);
    void SetOrientation(int16_t orientation); // 1 or 2; other values: run-time error 5
    int16_t Orientation() const;
    float ScaleWidth() const;
    float ScaleHeight() const;
    // The printer's page, paper less nothing (points), in the current orientation.
    float PaperWidth() const;
    float PaperHeight() const;

    void SetFontName(const std::string& name);
    float FontSize() const;
    void SetFontSize(float points); // <= 0 or absurdly large: run-time error 5, size kept
    void SetFontBold(bool bold);
    void SetFontUnderline(bool underline);
    float TextWidth(const std::string& text);

    // A position that is not a finite number: run-time error 6.
    void SetCurrentX(float x);
    void SetCurrentY(float y);
    float CurrentX() const;
    float CurrentY() const;
    void Print(const std::string& text, bool lineEnd);
    void NewPage();
    void EndDoc();
    // The title written into the next document's information dictionary.
    void SetDocumentName(const std::string& name);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace papyra
