#include "platform/unix/CupsPrinter.h"

#include "platform/RuntimeError.h"
#include "platform/unix/CupsCapabilities.h"
#include "platform/unix/CupsConnection.h"
#include "platform/unix/CupsJob.h"
#include "platform/unix/CupsPpd.h"

#include <cups/cups.h>
#include <iconv.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace papyra {

using namespace cups;
namespace {

constexpr float kPointsPerHundredthMm = 72.0f / 2540.0f;

// Job names travel as UTF-8 and are at most 255 bytes in IPP; ours are Windows-1252 paths.
std::string JobName(const std::string& ansi) {
    if (ansi.empty()) return "Papyra";
    std::string utf8(ansi.size() * 3, '\0');
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    bool converted = false;
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        char* in = const_cast<char*>(ansi.data());
        char* out = utf8.data();
        size_t inLeft = ansi.size(), outLeft = utf8.size();
        converted = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
        utf8.resize(utf8.size() - outLeft);
        iconv_close(cd);
    }
    if (!converted) {
        utf8 = ansi;
        for (char& c : utf8)
            if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    }
    if (utf8.size() > 255) {
        std::size_t cut = 255;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        utf8.resize(cut);
    }
    return utf8;
}

std::string IppKeyword(ipp_attribute_t* attr) {
    const char* text = attr ? ippGetString(attr, 0, nullptr) : nullptr;
    return text ? text : "";
}

PageGeometry GeometryOf(const cups_size_t& size) {
    PageGeometry page;
    page.paperWidth = size.width * kPointsPerHundredthMm;
    page.paperHeight = size.length * kPointsPerHundredthMm;
    page.marginLeft = size.left * kPointsPerHundredthMm;
    page.marginRight = size.right * kPointsPerHundredthMm;
    page.marginTop = size.top * kPointsPerHundredthMm;
    page.marginBottom = size.bottom * kPointsPerHundredthMm;
    return page;
}

// The IPP side of a queue's defaults: what cupsd (or an IPP printer) publishes as *-default.
class IppDefaults {
public:
    IppDefaults(http_t* http, cups_dest_t* dest)
        : http(http), dest(dest), info(cupsCopyDestInfo(http, dest)) {}

    ipp_attribute_t* Default(const char* option) const {
        return info ? cupsFindDestDefault(http, dest, info.get(), option) : nullptr;
    }
    ipp_attribute_t* Supported(const char* option) const {
        return info ? cupsFindDestSupported(http, dest, info.get(), option) : nullptr;
    }

    std::string MediaSource() const {
        if (std::string source = IppKeyword(Default("media-source")); !source.empty())
            return source;
        ipp_attribute_t* col = Default("media-col");
        ipp_t* media = col ? ippGetCollection(col, 0) : nullptr;
        return IppKeyword(media ? ippFindAttribute(media, "media-source", IPP_TAG_ZERO) : nullptr);
    }

    int Dpi() const {
        ipp_attribute_t* attr = Default("printer-resolution");
        if (!attr || ippGetValueTag(attr) != IPP_TAG_RESOLUTION) return 0;
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        int x = ippGetResolution(attr, 0, &y, &units);
        return DpiFromIppResolution(x, units == IPP_RES_PER_CM);
    }

    int MaxCopies() const {
        ipp_attribute_t* attr = Supported("copies");
        if (!attr) return 1;
        if (ippGetValueTag(attr) == IPP_TAG_RANGE) {
            int upper = 1;
            ippGetRange(attr, 0, &upper);
            return upper;
        }
        return ippGetInteger(attr, 0);
    }

    std::optional<PageGeometry> Page(const std::string& media) const {
        cups_size_t size{};
        if (!info || media.empty() ||
            !cupsGetDestMediaByName(http, dest, info.get(), media.c_str(), CUPS_MEDIA_FLAGS_DEFAULT,
                                    &size) ||
            size.width <= 0 || size.length <= 0 || size.left + size.right >= size.width ||
            size.top + size.bottom >= size.length)
            return std::nullopt;
        return GeometryOf(size);
    }

private:
    http_t* http;
    cups_dest_t* dest;
    DestInfo info;
};

} // namespace

CupsPrinter::CupsPrinter(std::string queue, std::string makeAndModel, std::string deviceUri)
    : queue(std::move(queue)), makeAndModel(std::move(makeAndModel)),
      port(PortFromDeviceUri(deviceUri)) {}

CupsPrinter::~CupsPrinter() = default;

void CupsPrinter::SetOrientation(int16_t value) {
    if (value != 1 && value != 2) throw RuntimeError(5);
    orientation = value;
    if (surface) surface->SetOrientation(value);
}

int16_t CupsPrinter::PaperSize() {
    return ToCode(QueueDefaults().paperSize);
}
int16_t CupsPrinter::PaperBin() {
    return ToCode(QueueDefaults().paperBin);
}
int16_t CupsPrinter::ColorMode() {
    return ToCode(QueueDefaults().colorMode);
}
int16_t CupsPrinter::PrintQuality() {
    return ToCode(QueueDefaults().printQuality);
}

int16_t CupsPrinter::Copies() {
    if (copies) return *copies;
    return ToCode(QueueDefaults().copies);
}

void CupsPrinter::SetCopies(int16_t value) {
    if (value < 1) throw RuntimeError(5);
    copies = value;
}

void CupsPrinter::SetScaleMode(int16_t mode) {
    // Twips are the only unit the surface measures in.
    if (mode != 1) throw RuntimeError(5);
}

void CupsPrinter::SetDocumentName(const std::string& path) {
    documentName = path;
    if (surface) surface->SetDocumentName(path);
}

std::string CupsPrinter::DefaultMedia() {
    return QueueDefaults().media;
}

const CupsPrinter::Defaults& CupsPrinter::QueueDefaults() {
    if (defaults) return *defaults;
    Http http = Connect();
    Dest dest = NamedDest(http.get(), queue);
    if (!dest) throw RuntimeError(482);
    const IppDefaults ipp(http.get(), dest.get());
    const std::optional<PpdDefaults> ppd = ReadPpdDefaults(http.get(), queue);

    Defaults found;
    found.media = IppKeyword(ipp.Default("media"));
    found.paperSize = PaperSizeFromMedia(found.media);

    std::string source = ppd ? ppd->inputSlot : "";
    if (source.empty()) source = ipp.MediaSource();
    found.paperBin = PaperBinFromSource(source);

    found.colorMode = ppd ? ColorModeFromKeyword(ppd->colorModel) : 0;
    if (!found.colorMode)
        found.colorMode = ColorModeFromKeyword(IppKeyword(ipp.Default("print-color-mode")));
    if (!found.colorMode) {
        const long type = std::strtol(DestOption(dest.get(), "printer-type").c_str(), nullptr, 10);
        found.colorMode = (type & CUPS_PRINTER_COLOR) ? 2 : 1;
    }

    found.printQuality = ppd ? DpiFromPpdResolution(ppd->resolution) : 0;
    if (!found.printQuality) found.printQuality = ipp.Dpi();
    if (!found.printQuality) {
        ipp_attribute_t* quality = ipp.Default("print-quality");
        found.printQuality = PrintQualityFromIppQuality(quality ? ippGetInteger(quality, 0) : 4);
    }

    ipp_attribute_t* copiesDefault = ipp.Default("copies");
    found.copies =
        CopiesFromQueue(ipp.MaxCopies(), copiesDefault ? ippGetInteger(copiesDefault, 0) : 1);

    if (auto page = ipp.Page(found.media))
        found.page = *page;
    else if (ppd && ppd->page)
        found.page = *ppd->page;
    // else the A4 page with quarter-inch margins that PageGeometry starts as.

    defaults = found;
    return *defaults;
}

PdfSurface& CupsPrinter::Surface() {
    if (!surface) {
        surface = std::make_unique<PdfSurface>(
            QueueDefaults().page, std::filesystem::temp_directory_path().string(),
            [this](const std::string& pdfPath) { Submit(pdfPath); });
        surface->SetOrientation(orientation);
        if (!documentName.empty()) surface->SetDocumentName(documentName);
    }
    return *surface;
}

void CupsPrinter::Submit(const std::string& pdfPath) {
    struct RemoveAfter {
        const std::string& path;
        ~RemoveAfter() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } removeAfter{pdfPath};

    std::ifstream pdf(pdfPath, std::ios::binary);
    if (!pdf) throw RuntimeError(482);

    CupsJob::Options options;
    if (const std::string& media = QueueDefaults().media; !media.empty())
        options.emplace_back("media", media);
    // The page already has the orientation's shape. pdftopdf (cups-filters) fits a landscape
    // page onto the portrait sheet by itself, with either value; a portrait page sent as
    // landscape would be turned a second time. So the value always agrees with the page: a
    // filter or an IPP printer that goes by the attribute rather than the page sees the truth.
    options.emplace_back("orientation-requested", orientation == 2 ? "4" : "3");
    if (int16_t count = Copies(); count >= 1) options.emplace_back("copies", std::to_string(count));

    CupsJob job(queue, JobName(documentName), options, CUPS_FORMAT_PDF, 482);
    std::vector<char> buffer(64 * 1024);
    while (pdf) {
        pdf.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (pdf.gcount() > 0) job.Write(buffer.data(), static_cast<std::size_t>(pdf.gcount()));
    }
    if (pdf.bad()) throw RuntimeError(482);
    job.Finish();
}

} // namespace papyra
