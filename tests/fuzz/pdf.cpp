// The PDF writer: whatever is drawn, the document parses: every object where the cross-reference
// table says, as many pages as were drawn, every content stream whole. (The text that comes back
// is the unit tests' and the end-to-end tests' ground.)
#include "platform/pdf/PdfSurface.h"
#include "support/ScratchFolder.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>

using namespace papyra;

namespace {

// A page of at most 2048 drawing steps inflates to well under a megabyte.
void MustInflate(const std::string& data) {
    std::string out(1 << 20, '\0');
    uLongf length = out.size();
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                   reinterpret_cast<const Bytef*>(data.data()), data.size()) != Z_OK)
        std::abort();
}

void Check(const std::string& pdf, int pages) {
    const size_t startxref = pdf.rfind("startxref\n");
    if (startxref == std::string::npos) std::abort();
    const size_t xref = std::stoul(pdf.substr(startxref + 10));
    if (pdf.compare(xref, 5, "xref\n") != 0) std::abort();
    std::istringstream table(pdf.substr(xref + 5));
    unsigned first = 0, count = 0;
    table >> first >> count;
    for (unsigned n = 0; n < count; ++n) {
        std::string offset, generation, kind;
        table >> offset >> generation >> kind;
        if (kind == "n" && pdf.compare(std::stoul(offset), std::to_string(n).size() + 6,
                                       std::to_string(n) + " 0 obj") != 0)
            std::abort();
    }
    std::smatch found;
    if (!std::regex_search(pdf, found, std::regex("/Type/Pages/Count (\\d+)")) ||
        std::stoi(found[1]) != pages)
        std::abort();
    for (size_t at = pdf.find("stream\n"); at != std::string::npos;
         at = pdf.find("stream\n", at + 1)) {
        if (at >= 3 && pdf.compare(at - 3, 3, "end") == 0) continue;
        const size_t end = pdf.find("\nendstream", at);
        const std::string dictionary =
            pdf.substr(pdf.rfind("obj\n", at), at - pdf.rfind("obj\n", at));
        if (dictionary.find("/Length1") != std::string::npos) continue; // a font program
        MustInflate(pdf.substr(at + 7, end - at - 7));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const test::ScratchFolder folder; // its own, gone when the run ends
    std::string finished;
    PdfSurface surface(PageGeometry{}, folder.path(), [&](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        finished.assign(std::istreambuf_iterator<char>(in), {});
        unlink(path.c_str());
    });
    surface.SetFontName("Courier New");
    int pages = 0;
    bool bold = false, underline = false;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint8_t op = data[i] % 8, arg = data[i + 1];
        if (op < 4) {
            const std::string text(1, static_cast<char>(arg));
            surface.Print(text, op == 3);
            if (!pages) pages = 1;
        } else if (op == 4) {
            surface.NewPage();
            if (pages) ++pages;
        } else if (op == 5) {
            surface.SetFontSize(arg % 48 + 1.5f);
        } else if (op == 6) {
            arg % 2 ? surface.SetFontBold(bold = !bold)
                    : surface.SetFontUnderline(underline = !underline);
        } else {
            surface.SetCurrentX(arg * 97.0f - 2000);
            surface.SetCurrentY(arg * 131.0f);
        }
    }
    surface.EndDoc();
    if (pages == 0) return finished.empty() ? 0 : (std::abort(), 0);
    Check(finished, pages);
    return 0;
}
