#include "platform/unix/CupsPrinter.h"

#include "platform/RuntimeError.h"
#include "platform/unix/CupsCapabilities.h"
#include "platform/unix/CupsConnection.h"
#include "platform/unix/CupsJob.h"
#include "platform/unix/CupsPpd.h"

#include "platform/ansi/AnsiText.h"
#include "platform/unix/UserFolders.h"

#include <cups/cups.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace papyra {

using namespace cups;
namespace {

constexpr float kPointsPerHundredthMm = 72.0f / 2540.0f;

// Job names travel as UTF-8 and are at most 255 bytes in IPP. A path is the system's own bytes:
// UTF-8 as it is, anything else read as Windows-1252.
std::string JobName(const std::string& path) {
    if (path.empty()) return "Papyra";
    std::string utf8 = IsValidUtf8(path) ? path : AnsiToUtf8(path);
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

CupsPrinter::CupsPrinter(std::string queue, const std::string& makeAndModel,
                         const std::string& deviceUri, DeliveryNotice notice)
    : queue(std::move(queue)), deviceName(Utf8ToAnsi(this->queue)),
      driverName(Utf8ToAnsi(makeAndModel)), port(Utf8ToAnsi(PortFromDeviceUri(deviceUri))),
      notice(std::move(notice)) {}

CupsPrinter::~CupsPrinter() = default;

int16_t CupsPrinter::Orientation() {
    if (!orientation) orientation = ToCode(QueueDefaults().orientation);
    return *orientation;
}

void CupsPrinter::SetOrientation(int16_t value) {
    if (value != 1 && value != 2) throw RuntimeError(5);
    orientation = value;
    if (surface) surface->SetOrientation(value);
}

void CupsPrinter::Unusable() {
    throw RuntimeError(52).About("queue " + deviceName + " (" + port + ")");
}

void CupsPrinter::Print(const std::string& text, bool lineEnd) {
    PdfSurface& drawing = Surface();
    if (!documentOpen) {
        // The queue is asked when the document starts, while the job can still be set up anew;
        // at EndDoc the pages are done and only a notice would be left.
        Http http = Connect();
        if (!TakesJobs(NamedDest(http.get(), queue).get())) Unusable();
        documentOpen = true;
    }
    drawing.Print(text, lineEnd);
}

void CupsPrinter::EndDoc() {
    if (!surface) return;
    documentOpen = false;
    EndDocTelling(*surface, notice);
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
    if (!dest) throw RuntimeError(482).About("queue " + deviceName);
    const IppDefaults ipp(http.get(), dest.get());
    const std::optional<PpdDefaults> ppd = ReadPpdDefaults(http.get(), queue);

    Defaults found;
    found.media = IppKeyword(ipp.Default("media"));
    found.paperSize = PaperSizeFromMedia(found.media);

    auto integer = [&](const char* option) {
        ipp_attribute_t* attr = ipp.Default(option);
        return attr ? ippGetInteger(attr, 0) : 0;
    };
    found.paperBin = PaperBinOf(ppd ? ppd->inputSlot : "", ipp.MediaSource());
    found.colorMode =
        ColorModeOf(ppd ? ppd->colorModel : "", IppKeyword(ipp.Default("print-color-mode")),
                    std::strtol(DestOption(dest.get(), "printer-type").c_str(), nullptr, 10));
    found.printQuality =
        PrintQualityOf(ppd ? ppd->resolution : "", ipp.Dpi(), integer("print-quality"));
    found.orientation = OrientationFromIpp(integer("orientation-requested"));

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
        // A report is private: it waits for the spooler where only its user can read it.
        surface =
            std::make_unique<PdfSurface>(QueueDefaults().page, PrivateFolder().value_or(""),
                                         [this](const std::string& pdfPath) { Submit(pdfPath); });
        surface->SetOrientation(Orientation());
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
    if (!pdf) throw RuntimeError(482).About(pdfPath);

    CupsJob::Options options;
    if (const std::string& media = QueueDefaults().media; !media.empty())
        options.emplace_back("media", media);
    // The page already has the orientation's shape. pdftopdf (cups-filters) fits a landscape
    // page onto the portrait sheet by itself, with either value; a portrait page sent as
    // landscape would be turned a second time. So the value always agrees with the page: a
    // filter or an IPP printer that goes by the attribute rather than the page sees the truth.
    options.emplace_back("orientation-requested", Orientation() == 2 ? "4" : "3");
    if (int16_t count = Copies(); count >= 1) options.emplace_back("copies", std::to_string(count));

    // The queue was taking jobs when the document started; if it is gone, stopped or not
    // answering now, the pages are done and no setup can help: the device is unavailable.
    std::optional<CupsJob> started;
    try {
        started.emplace(queue, JobName(documentName), options, CUPS_FORMAT_PDF, 482);
    } catch (const RuntimeError& e) {
        if (e.number != 52) throw;
        throw RuntimeError(68).About(e.subject);
    }
    CupsJob& job = *started;
    std::vector<char> buffer(64 * 1024);
    while (pdf) {
        pdf.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (pdf.gcount() > 0) job.Write(buffer.data(), static_cast<std::size_t>(pdf.gcount()));
    }
    if (pdf.bad()) throw RuntimeError(482).About(pdfPath);
    job.Finish();
}

} // namespace papyra
