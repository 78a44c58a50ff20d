// papyra-admin preview: a report's pages as papyra's drawn path lays them out, into a file.
#include "admin/Commands.h"
#include "admin/Configured.h"
#include "admin/EngineRun.h"

#include "platform/RuntimeError.h"
#include "platform/pdf/PreviewPrinter.h"
#include "platform/raster/PdfPageImage.h"
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/PrinterPage.h"
#include "platform/unix/UserFolders.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace papyra::admin {

namespace {

namespace fs = std::filesystem;

bool EndsWith(std::string text, const std::string& end) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.ends_with(end);
}

int Fail(const std::string& why) {
    std::cerr << "papyra-admin preview: " << why << "\n";
    return Problem;
}

// The printer asked for, else the configured one; -1 after saying why there is none.
int ChoosePrinter(Printers& printers, const std::string& asked) {
    if (!asked.empty()) {
        const int index = FindPrinter(printers, asked);
        if (index < 0) Fail("no printer \"" + asked + "\"; papyra-admin printers lists them");
        return index;
    }
    const Configured configured = ReadConfigured(printers);
    if (!configured.choice) Fail(configured.failure);
    return configured.choice ? configured.choice->index : -1;
}

} // namespace

int Preview(const PreviewOptions& options) {
    const bool png = EndsWith(options.output, ".png");
    if (!options.output.empty() && !png && !EndsWith(options.output, ".pdf"))
        return Fail("the output is FILE.pdf or FILE.png, not " + options.output);
    const std::string output = options.output.empty()
                                   ? fs::path(options.report).stem().string() + "-preview.pdf"
                                   : options.output;

    CupsPrinters printers;
    const int index = ChoosePrinter(printers, options.printer);
    if (index < 0) return Problem;
    Printer& printer = printers.Item(index);
    const std::string name = Shown(printer.DeviceName());
    PageGeometry page;
    try {
        if (printer.PaperBin() == 8)
            return Fail(name + " has a tractor feed: papyra sends it the report's bytes as ESC/P, "
                               "not pages. papyra-admin decode --report shows them.");
        page = PageOf(printer);
    } catch (const RuntimeError& failure) {
        return Fail("cannot ask " + name + " for its page: " + failure.description());
    }

    // A PNG is a page of a PDF that only this run sees.
    std::string pdf = output;
    if (png) {
        const std::optional<std::string> folder = PrivateFolder();
        if (!folder) return Fail("no private folder for the PDF behind the image");
        pdf = *folder + "/preview-" + std::to_string(getpid()) + ".pdf";
    }
    struct RemoveAfter {
        std::string path;
        ~RemoveAfter() {
            if (!path.empty()) std::remove(path.c_str());
        }
    } removeAfter{png ? pdf : ""};

    PreviewPrinter preview(printer, page, pdf);
    NoPort port;
    const EngineRun run =
        RunPapyraEngine(preview, port, options.report, options.landscape, /*layOut=*/true);
    if (!run.done) return Problem;
    if (!fs::exists(pdf)) {
        std::cout << "The report has no lines: papyra prints no page for it.\n";
        return Fine;
    }
    const int pages = PdfPageCount(pdf);
    char layout[200];
    std::snprintf(layout, sizeof layout, "%s, Courier New %.2f pt, lines %.2f pt apart",
                  options.landscape ? "landscape" : "portrait", run.fontSize,
                  run.lineHeight / 20); // twips
    if (png) {
        const PageImage image = RenderPdfPage(pdf, options.page, options.dpi, output);
        if (!image.done) return Fail(image.failure);
        std::cout << output << ": page " << options.page << " of " << pages << " as " << index
                  << " " << name << " prints it (" << layout << "), " << image.width << " x "
                  << image.height << " pixels at " << options.dpi << " dpi.\n";
        return Fine;
    }
    std::cout << output << ": " << pages << (pages == 1 ? " page" : " pages") << " as " << index
              << " " << name << " prints them (" << layout << ").\n";
    return Fine;
}

} // namespace papyra::admin
