#include "platform/win32/Win32Printer.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Handle.h"

#include <algorithm>
#include <cmath>

namespace papyra {

using namespace win32;

namespace {

constexpr float TwipsPerInch = 1440;
constexpr float LargestFontSize = 2160; // the largest size a Windows printer font takes
// Text is measured and drawn in pieces: the counts the calls take are ints, and a piece that
// starts past the page's right edge is measured only, never handed to the driver.
constexpr size_t Piece = 8192;
// Far beyond any page, well inside the coordinates GDI takes.
constexpr double FarthestPixel = 1 << 27;

DEVMODEA& AsDevMode(std::vector<unsigned char>& bytes) {
    return *reinterpret_cast<DEVMODEA*>(bytes.data());
}

int ToPixels(float twips, int dpi) {
    return static_cast<int>(
        std::clamp(std::round(double(twips) * dpi / TwipsPerInch), -FarthestPixel, FarthestPixel));
}

} // namespace

struct Win32Printer::Surface {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ originalFont = nullptr;
    int dpiX = 0, dpiY = 0, width = 0, height = 0; // printable area in pixels
    bool fontStale = true;
    float realizedPoints = 0, lineHeight = 0; // of the selected font; line height in twips
    bool inDocument = false;
    bool stale = false; // the DEVMODE changed while a document was open

    ~Surface() {
        if (inDocument) AbortDoc(dc);
        if (originalFont) SelectObject(dc, originalFont);
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
    }

    // A page starts with the DC's defaults on some drivers: the font and text settings again.
    void Prepare() {
        if (font) SelectObject(dc, font);
        SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        SetBkMode(dc, TRANSPARENT);
        SetMapMode(dc, MM_TEXT);
    }

    // The width in pixels of one line of text in the selected font.
    double Measure(const char* text, size_t length) const {
        double total = 0;
        for (size_t at = 0; at < length; at += Piece) {
            SIZE extent{};
            const int count = static_cast<int>(std::min(Piece, length - at));
            if (!GetTextExtentPoint32A(dc, text + at, count, &extent)) return -1;
            total += extent.cx;
        }
        return total;
    }
};

Win32Printer::Win32Printer(std::string name, std::string driver, std::string port)
    : name_(std::move(name)), driver_(std::move(driver)), port_(std::move(port)) {}

Win32Printer::~Win32Printer() = default;

void Win32Printer::Fail() {
    throw RuntimeError(482).About(name_);
}

const std::vector<unsigned char>& Win32Printer::DevMode() {
    if (!devMode_.empty()) return devMode_;
    PrinterHandle printer(name_);
    if (!printer) Fail();
    char* name = const_cast<char*>(name_.c_str());
    const LONG size = DocumentPropertiesA(nullptr, printer.get(), name, nullptr, nullptr, 0);
    if (size <= 0) Fail();
    // A driver of the oldest kind may give less than today's DEVMODEA; the rest stays zero.
    std::vector<unsigned char> mode(std::max<size_t>(size, sizeof(DEVMODEA)), 0);
    if (DocumentPropertiesA(nullptr, printer.get(), name, reinterpret_cast<DEVMODEA*>(mode.data()),
                            nullptr, DM_OUT_BUFFER) != IDOK)
        Fail();
    devMode_ = std::move(mode);
    return devMode_;
}

// The codes are shorts in the DEVMODE itself, so none can lie outside int16_t.
int16_t Win32Printer::Orientation() {
    DevMode();
    return AsDevMode(devMode_).dmOrientation;
}
int16_t Win32Printer::PaperSize() {
    DevMode();
    return AsDevMode(devMode_).dmPaperSize;
}
int16_t Win32Printer::PaperBin() {
    DevMode();
    return AsDevMode(devMode_).dmDefaultSource;
}
int16_t Win32Printer::ColorMode() {
    DevMode();
    return AsDevMode(devMode_).dmColor;
}
int16_t Win32Printer::PrintQuality() {
    DevMode();
    return AsDevMode(devMode_).dmPrintQuality;
}

int16_t Win32Printer::Copies() {
    DevMode();
    if (!severalCopies_)
        severalCopies_ = DeviceCapabilitiesA(name_.c_str(), port_.c_str(), DC_COPIES, nullptr,
                                             &AsDevMode(devMode_)) > 1;
    return *severalCopies_ ? AsDevMode(devMode_).dmCopies : int16_t(0);
}

void Win32Printer::SetOrientation(int16_t orientation) {
    if (orientation != 1 && orientation != 2) throw RuntimeError(5);
    DevMode();
    DEVMODEA& mode = AsDevMode(devMode_);
    if (mode.dmOrientation == orientation && (mode.dmFields & DM_ORIENTATION)) return;
    mode.dmOrientation = orientation;
    mode.dmFields |= DM_ORIENTATION;
    DevModeChanged();
}

void Win32Printer::SetCopies(int16_t copies) {
    if (copies < 1) throw RuntimeError(5);
    DevMode();
    DEVMODEA& mode = AsDevMode(devMode_);
    if (mode.dmCopies == copies && (mode.dmFields & DM_COPIES)) return;
    mode.dmCopies = copies;
    mode.dmFields |= DM_COPIES;
    DevModeChanged();
}

void Win32Printer::DevModeChanged() {
    // The DC carries the DEVMODE it was made from: a new one is made for the next document.
    if (!surface_) return;
    if (surface_->inDocument)
        surface_->stale = true;
    else
        surface_.reset();
}

void Win32Printer::SetScaleMode(int16_t mode) {
    // Twips are the only unit this printer object measures in.
    if (mode != 1) throw RuntimeError(5);
}

Win32Printer::Surface& Win32Printer::Dc() {
    if (surface_) return *surface_;
    DevMode();
    auto surface = std::make_unique<Surface>();
    surface->dc = CreateDCA("WINSPOOL", name_.c_str(), nullptr, &AsDevMode(devMode_));
    if (!surface->dc) Fail();
    surface->dpiX = GetDeviceCaps(surface->dc, LOGPIXELSX);
    surface->dpiY = GetDeviceCaps(surface->dc, LOGPIXELSY);
    surface->width = GetDeviceCaps(surface->dc, HORZRES);
    surface->height = GetDeviceCaps(surface->dc, VERTRES);
    if (surface->dpiX <= 0 || surface->dpiY <= 0) Fail();
    surface->Prepare();
    surface_ = std::move(surface);
    return *surface_;
}

Win32Printer::Surface& Win32Printer::Font() {
    Surface& surface = Dc();
    if (!surface.fontStale) return surface;
    const int height = std::max(1, ToPixels(fontPoints_ * 20, surface.dpiY));
    // Reports are laid out in fixed columns: where the named face is missing, the system is to
    // choose a fixed-pitch face (Wine: Liberation Mono for Courier New), never a proportional one.
    HFONT font = CreateFontA(-height, 0, 0, 0, bold_ ? FW_BOLD : FW_NORMAL, FALSE, underline_,
                             FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, fontName_.c_str());
    if (!font) Fail();
    HGDIOBJ previous = SelectObject(surface.dc, font);
    if (!previous || previous == HGDI_ERROR) {
        DeleteObject(font);
        Fail();
    }
    if (surface.font)
        DeleteObject(surface.font);
    else
        surface.originalFont = previous;
    surface.font = font;
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(surface.dc, &metrics)) Fail();
    // The em height the device took, which the size asked for was rounded to.
    surface.realizedPoints =
        float(metrics.tmHeight - metrics.tmInternalLeading) * 72 / surface.dpiY;
    surface.lineHeight =
        float(metrics.tmHeight + metrics.tmExternalLeading) * TwipsPerInch / surface.dpiY;
    surface.fontStale = false;
    return surface;
}

float Win32Printer::ScaleWidth() {
    const Surface& surface = Dc();
    return float(surface.width) * TwipsPerInch / surface.dpiX;
}

float Win32Printer::ScaleHeight() {
    const Surface& surface = Dc();
    return float(surface.height) * TwipsPerInch / surface.dpiY;
}

void Win32Printer::SetFontName(const std::string& name) {
    if (name == fontName_) return;
    fontName_ = name;
    if (surface_) surface_->fontStale = true;
}

float Win32Printer::FontSize() {
    return Font().realizedPoints;
}

void Win32Printer::SetFontSize(float points) {
    if (!(points > 0 && points <= LargestFontSize)) throw RuntimeError(5);
    if (points == fontPoints_) return;
    fontPoints_ = points;
    if (surface_) surface_->fontStale = true;
}

void Win32Printer::SetFontBold(bool bold) {
    if (bold == bold_) return;
    bold_ = bold;
    if (surface_) surface_->fontStale = true;
}

void Win32Printer::SetFontUnderline(bool underline) {
    if (underline == underline_) return;
    underline_ = underline;
    if (surface_) surface_->fontStale = true;
}

float Win32Printer::TextWidth(const std::string& text) {
    const Surface& surface = Font();
    // A text of several lines is as wide as its widest line.
    double widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const double width = surface.Measure(text.data() + start, end - start);
        if (width < 0) Fail();
        widest = std::max(widest, width);
        start = end + 1;
    }
    return float(widest * TwipsPerInch / surface.dpiX);
}

void Win32Printer::SetCurrentX(float x) {
    if (!std::isfinite(x)) throw RuntimeError(6);
    currentX_ = x;
}

void Win32Printer::SetCurrentY(float y) {
    if (!std::isfinite(y)) throw RuntimeError(6);
    currentY_ = y;
}

void Win32Printer::BeginDocument() {
    Surface& surface = Font();
    if (surface.inDocument) return;
    // The spooler shows the name; a path of any length stays a name of reasonable length.
    const std::string name = documentName_.empty() ? "Papyra" : documentName_.substr(0, 255);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    if (StartDocA(surface.dc, &info) <= 0) Fail();
    if (StartPage(surface.dc) <= 0) {
        AbortDoc(surface.dc);
        Fail();
    }
    surface.inDocument = true;
    surface.Prepare();
}

void Win32Printer::DrawRun(const char* text, size_t length) {
    Surface& surface = *surface_;
    const int y = ToPixels(currentY_, surface.dpiY);
    double x = ToPixels(currentX_, surface.dpiX);
    double advance = 0;
    for (size_t at = 0; at < length; at += Piece) {
        const int count = static_cast<int>(std::min(Piece, length - at));
        const bool onPage = x + advance < surface.width && y < surface.height;
        if (onPage && !TextOutA(surface.dc, static_cast<int>(x + advance), y, text + at, count))
            Fail();
        const double width = surface.Measure(text + at, static_cast<size_t>(count));
        if (width < 0) Fail();
        advance += width;
    }
    currentX_ += float(advance * TwipsPerInch / surface.dpiX);
}

void Win32Printer::Print(const std::string& text, bool lineEnd) {
    BeginDocument();
    const float lineHeight = surface_->lineHeight;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start) DrawRun(text.data() + start, end - start);
        if (end < text.size()) {
            currentX_ = 0;
            if (text[end] == '\n') currentY_ += lineHeight;
        }
        start = end + 1;
    }
    if (lineEnd) {
        currentX_ = 0;
        currentY_ += lineHeight;
    }
}

void Win32Printer::NewPage() {
    if (!surface_ || !surface_->inDocument) return;
    if (EndPage(surface_->dc) <= 0 || StartPage(surface_->dc) <= 0) Fail();
    surface_->Prepare();
    currentX_ = currentY_ = 0;
}

void Win32Printer::EndDoc() {
    if (!surface_ || !surface_->inDocument) return;
    Surface& surface = *surface_;
    surface.inDocument = false;
    currentX_ = currentY_ = 0;
    const bool ended = EndPage(surface.dc) > 0 && ::EndDoc(surface.dc) > 0;
    if (!ended) AbortDoc(surface.dc);
    if (surface.stale || !ended) surface_.reset();
    if (!ended) Fail();
}

} // namespace papyra
