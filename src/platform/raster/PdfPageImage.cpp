#include "platform/raster/PdfPageImage.h"

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace papyra {

namespace {

PageImage Failed(std::string why, int pages = 0) {
    PageImage image;
    image.pages = pages;
    image.failure = std::move(why);
    return image;
}

} // namespace

int PdfPageCount(const std::string& pdfPath) {
    const std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(pdfPath));
    return pdf && !pdf->is_locked() ? pdf->pages() : 0;
}

PageImage RenderPdfPage(const std::string& pdfPath, int page, double dpi,
                        const std::string& pngPath) {
    const std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(pdfPath));
    if (!pdf || pdf->is_locked()) return Failed("cannot read " + pdfPath);
    const int pages = pdf->pages();
    if (page < 1 || page > pages)
        return Failed("there is no page " + std::to_string(page) + " (the preview has " +
                          std::to_string(pages) + ")",
                      pages);
    const std::unique_ptr<poppler::page> drawn(pdf->create_page(page - 1));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    const poppler::image image =
        drawn ? renderer.render_page(drawn.get(), dpi, dpi) : poppler::image();
    if (!image.is_valid()) return Failed("cannot render page " + std::to_string(page), pages);

    // Written beside its name and renamed into place, so the name never holds half an image.
    const std::string temp = pngPath + ".part" + std::to_string(getpid());
    if (!image.save(temp, "png")) {
        std::remove(temp.c_str());
        return Failed("cannot write " + pngPath, pages);
    }
    if (std::rename(temp.c_str(), pngPath.c_str()) != 0) {
        const int error = errno;
        std::remove(temp.c_str());
        return Failed("cannot write " + pngPath + ": " + std::strerror(error), pages);
    }
    PageImage done;
    done.done = true;
    done.pages = pages;
    done.width = image.width();
    done.height = image.height();
    return done;
}

} // namespace papyra
