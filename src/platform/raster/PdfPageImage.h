#pragma once
// One page of a PDF file as a PNG image, rendered by poppler: what a page looks like on screen,
// for a preview.
#include <string>

namespace papyra {

struct PageImage {
    bool done = false;
    int pages = 0;             // pages in the PDF (0 when it cannot be read)
    int width = 0, height = 0; // pixels
    std::string failure;       // why no image was written
};

// The pages of a PDF file; 0 when it cannot be read.
int PdfPageCount(const std::string& pdfPath);

// Renders page (1-based) of pdfPath at dpi dots per inch into pngPath, which is replaced whole
// (a link there is replaced, never written through).
PageImage RenderPdfPage(const std::string& pdfPath, int page, double dpi,
                        const std::string& pngPath);

} // namespace papyra
