// Our own PDF writer rather than QPainter on a PDF device: QPainter::drawText shapes its text on
// every call, which costs about 5 s per 1000 pages drawn a line per call and about 24 s per 1000
// pages drawn a character per call, as the print engine draws. Reports run to ten thousand
// pages, and the whole process should manage well over a thousand pages a second. Report text is
// fixed-pitch Windows-1252 in one or two faces, so a simple TrueType font with /WinAnsiEncoding
// takes the report bytes as they are: no shaping, no glyph lookup, one Tj per run of characters.
#include "platform/pdf/PdfSurface.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"
#include "platform/pdf/FileErrors.h"
#include "platform/pdf/TrueTypeFont.h"
#include "platform/unix/SignalCleanup.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace papyra {

namespace {

// Page content is the bulk of a long report's writing time. Measured on 10000 report pages,
// level 1 makes the PDF about 11% larger than level 6 and writes it in about half the time.
constexpr int kContentLevel = 1;
constexpr size_t kWriteChunk = 1 << 20;
constexpr float kMaxFontSize = 2160; // the largest size a Windows printer font takes
constexpr float kTwipsPerPoint = 20;

// Catalog, page tree, shared resources and information are numbered first so that every page
// can name them before they are written at the end.
constexpr unsigned kCatalog = 1, kPages = 2, kResources = 3, kInfo = 4, kFirstFree = 5;

// What each report byte becomes inside a PDF string: itself, escaped where the string syntax
// needs it, and a blank for bytes without a glyph.
struct GlyphBytes {
    std::array<std::array<char, 2>, 256> bytes{};
    std::array<uint8_t, 256> length{};
    GlyphBytes() {
        for (int c = 0; c < 256; ++c) {
            char byte = IsPrintableAnsi(c) ? char(c) : ' ';
            bool escape = byte == '(' || byte == ')' || byte == '\\';
            bytes[c] = escape ? std::array<char, 2>{'\\', byte} : std::array<char, 2>{byte, 0};
            length[c] = escape ? 2 : 1;
        }
    }
};
const GlyphBytes kGlyphBytes;

void AppendNumber(std::string& out, double value, int decimals = 3) {
    // Far off the page is as good as anywhere off it, and keeps the number a PDF number.
    constexpr double kFar = 1e7;
    value = std::isfinite(value) ? std::clamp(value, -kFar, kFar) : 0;
    char buffer[48];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    char* last = end;
    if (std::string_view(buffer, end).find('.') != std::string_view::npos) {
        while (last[-1] == '0')
            --last;
        if (last[-1] == '.') --last;
    }
    std::string_view text(buffer, last - buffer);
    if (text == "-0") text = "0";
    out.append(text);
}

void AppendUnsigned(std::string& out, unsigned long long value) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

// A title in a text string: UTF-16BE with its byte order mark, in hex. The name is the system's
// own bytes (a report's path): UTF-8 as it is, anything else read as Windows-1252.
std::string PdfTextString(const std::string& name) {
    static const char hex[] = "0123456789ABCDEF";
    auto unit = [&](std::string& out, unsigned u) {
        for (int shift : {12, 8, 4, 0})
            out += hex[(u >> shift) & 0xF];
    };
    std::string out = "<FEFF";
    for (char32_t c : Utf8CodePoints(IsValidUtf8(name) ? name : AnsiToUtf8(name))) {
        if (c >= 0x10000) {
            unit(out, 0xD800 + ((c - 0x10000) >> 10));
            unit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(out, c);
        }
    }
    return out + ">";
}

// The six capital letters that mark an embedded font as a subset, chosen by the glyphs it keeps
// so that the same subset is named the same.
std::string SubsetTag(const std::array<bool, 256>& usedBytes) {
    uint32_t hash = 2166136261u;
    for (bool used : usedBytes)
        hash = (hash ^ (used ? 1u : 0u)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag += char('A' + hash % 26);
    return tag;
}

constexpr size_t kContentChunk = 1 << 18;
constexpr const char* PartPrefix = ".papyra-";

// Documents whose writer was killed outright stay behind as ".papyra-<pid>-XXXXXX.pdf.part";
// the next document in the folder removes them once their process is gone.
void RemoveStaleParts(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!name.starts_with(PartPrefix) || !name.ends_with(".pdf.part")) continue;
        const long pid = std::strtol(name.c_str() + std::strlen(PartPrefix), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((folder + "/" + name).c_str());
    }
}

struct Oriented {
    float width, height, left, top, right, bottom;
};

} // namespace

struct PdfSurface::Impl {
    PageGeometry portrait;
    std::string tempFolder;
    Sink sink;
    int16_t orientation = 1;
    std::string title;

    // Font state as set; the face is resolved when first needed.
    std::string fontName = "Courier New";
    float size = 10;
    bool bold = false, underline = false;
    std::shared_ptr<const TrueTypeFont> face;
    std::array<float, 256> advance{}; // twips at the current size
    float lineHeight = 0;             // twips
    float currentX = 0, currentY = 0;

    // The document being written.
    int fd = -1;
    std::string tempPath;
    std::string out;
    uint64_t flushed = 0;
    std::vector<uint64_t> offsets; // by object number
    unsigned nextObject = kFirstFree;
    std::vector<unsigned> pages;
    struct DocumentFont {
        std::shared_ptr<const TrueTypeFont> font;
        std::array<bool, 256> usedBytes{};
    };
    std::vector<std::unique_ptr<DocumentFont>> fonts; // resource /F1, /F2, ...
    z_stream zlib{};
    bool zlibReady = false;
    std::string deflated;

    // The page being drawn. Its paper is taken when the first thing is drawn on it.
    bool pageTaken = false;
    Oriented page{};
    std::string content;
    bool streamOpen = false; // the page's content is being deflated into the document
    unsigned streamObject = 0, streamLengthObject = 0;
    uint64_t streamLength = 0;
    bool inText = false;
    int pageFont = -1;
    float pageSize = 0;

    // The text run being gathered: consecutive characters in one font state, each starting where
    // the one before ended.
    bool runOpen = false;
    bool stateChanged = true;
    float runStartX = 0, runEndX = 0, runY = 0;
    bool underlineRun = false;
    const TrueTypeFont* runFace = nullptr;
    std::array<bool, 256>* runBytes = nullptr; // the bytes drawn in the run's font
    double runLeft = 0, runBaseline = 0;

    Impl(PageGeometry geometry, std::string folder, Sink sink)
        : portrait(geometry), tempFolder(std::move(folder)), sink(std::move(sink)) {}

    ~Impl() {
        Discard();
        if (zlibReady) deflateEnd(&zlib);
    }

    Oriented Current() const {
        const PageGeometry& p = portrait;
        if (orientation == 2) // turned a quarter clockwise: the portrait left edge is on top
            return {p.paperHeight, p.paperWidth, p.marginBottom,
                    p.marginLeft,  p.marginTop,  p.marginRight};
        return {p.paperWidth, p.paperHeight, p.marginLeft,
                p.marginTop,  p.marginRight, p.marginBottom};
    }

    const TrueTypeFont& Face() {
        if (!face) UseFace(ResolveTrueTypeFont(fontName, bold));
        return *face;
    }

    void UseFace(std::shared_ptr<const TrueTypeFont> font) {
        face = std::move(font);
        UpdateMetrics();
    }

    void UpdateMetrics() {
        stateChanged = true;
        if (!face) return;
        for (int c = 0; c < 256; ++c)
            advance[c] = float(face->widths[c] * size * kTwipsPerPoint / 1000);
        lineHeight = float(face->lineHeight * size * kTwipsPerPoint / 1000);
    }

    // ---- drawing

    void Print(const std::string& text, bool lineEnd) {
        Face(); // a font that cannot be had starts no document
        BeginDocument();
        for (unsigned char c : text) {
            if (c == '\r') {
                currentX = 0;
            } else if (c == '\n') {
                currentX = 0;
                currentY += lineHeight;
            } else {
                // A run is also ended at a chunk's size, so a line of any length is streamed
                // out as it is drawn instead of held whole.
                if (!runOpen || stateChanged || currentX != runEndX || currentY != runY ||
                    content.size() >= kContentChunk)
                    StartRun();
                content.append(kGlyphBytes.bytes[c].data(), kGlyphBytes.length[c]);
                (*runBytes)[c] = true;
                currentX += advance[c];
                runEndX = currentX;
            }
        }
        if (lineEnd) {
            currentX = 0;
            currentY += lineHeight;
        }
    }

    void StartRun() {
        EndRun();
        TakePage();
        int font = FontResource(face);
        if (!inText) {
            content += "BT\n";
            inText = true;
        }
        if (font != pageFont || size != pageSize) {
            content += "/F";
            AppendUnsigned(content, font + 1);
            content += ' ';
            AppendNumber(content, size, 4);
            content += " Tf\n";
            pageFont = font;
            pageSize = size;
        }
        runLeft = page.left + currentX / kTwipsPerPoint;
        runBaseline =
            page.height - page.top - currentY / kTwipsPerPoint - face->ascent * size / 1000;
        content += "1 0 0 1 ";
        AppendNumber(content, runLeft);
        content += ' ';
        AppendNumber(content, runBaseline);
        content += " Tm(";
        runOpen = true;
        stateChanged = false;
        runStartX = runEndX = currentX;
        runY = currentY;
        underlineRun = underline;
        runBytes = &fonts[font]->usedBytes;
        runFace = fonts[font]->font.get();
    }

    void EndRun() {
        if (!runOpen) return;
        content += ")Tj\n";
        runOpen = false;
        if (underlineRun && runEndX > runStartX) {
            // Drawn where it belongs rather than gathered for the page's end: a line that
            // switches emphasis on every character would otherwise pile up rectangles in memory.
            const double thickness = runFace->underlineThickness * pageSize / 1000;
            const double centre = runBaseline + runFace->underlinePosition * pageSize / 1000;
            content += "ET\n";
            inText = false;
            pageFont = -1;
            AppendNumber(content, runLeft);
            content += ' ';
            AppendNumber(content, centre - thickness / 2);
            content += ' ';
            AppendNumber(content, (runEndX - runStartX) / kTwipsPerPoint);
            content += ' ';
            AppendNumber(content, thickness);
            content += " re f\n";
        }
        if (content.size() >= kContentChunk) StreamContent(false);
    }

    int FontResource(const std::shared_ptr<const TrueTypeFont>& font) {
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i]->font == font) return int(i);
        fonts.push_back(std::make_unique<DocumentFont>());
        fonts.back()->font = font;
        return int(fonts.size() - 1);
    }

    void TakePage() {
        if (!pageTaken) {
            page = Current();
            pageTaken = true;
        }
    }

    // ---- document and pages

    void BeginDocument() {
        if (fd >= 0) return;
        if (!zlibReady) {
            if (deflateInit(&zlib, kContentLevel) != Z_OK) throw RuntimeError(57);
            zlibReady = true;
        }
        if (tempFolder.empty()) throw RuntimeError(75).About("no private folder for documents");
        RemoveStaleParts(tempFolder);
        // Only its user may read a document while it grows (mkstemps makes it 0600); its owner
        // gives the finished file the mode it should have.
        std::string path =
            tempFolder + "/" + PartPrefix + std::to_string(getpid()) + "-XXXXXX.pdf.part";
        int file = mkstemps(path.data(), 9);
        if (file < 0) ThrowFileError(errno, tempFolder);
        fd = file;
        tempPath = path;
        RemoveOnSignal(tempPath);
        out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        flushed = 0;
        offsets.assign(kFirstFree, 0);
        nextObject = kFirstFree;
        pages.clear();
        fonts.clear();
        StartPage();
    }

    void StartPage() {
        pageTaken = false;
        content.clear();
        streamOpen = false;
        inText = false;
        pageFont = -1;
        runOpen = false;
        stateChanged = true;
    }

    void FinishPage() {
        EndRun();
        TakePage();
        if (inText) content += "ET\n";
        unsigned contents;
        if (streamOpen) {
            StreamContent(true);
            contents = streamObject;
            out += "\nendstream\nendobj\n";
            BeginObject(streamLengthObject);
            AppendUnsigned(out, streamLength);
            out += "\nendobj\n";
        } else {
            contents = nextObject++;
            Deflate(content);
            BeginObject(contents);
            out += "<</Length ";
            AppendUnsigned(out, deflated.size());
            out += "/Filter/FlateDecode>>stream\n";
            out += deflated;
            out += "\nendstream\nendobj\n";
        }
        const unsigned pageObject = nextObject++;
        BeginObject(pageObject);
        out += "<</Type/Page/Parent 2 0 R/MediaBox[0 0 ";
        AppendNumber(out, page.width);
        out += ' ';
        AppendNumber(out, page.height);
        out += "]/Resources 3 0 R/Contents ";
        AppendUnsigned(out, contents);
        out += " 0 R>>\nendobj\n";
        pages.push_back(pageObject);
        if (out.size() >= kWriteChunk) Flush();
    }

    // A page whose content outgrows a chunk (a line as long as a file) is deflated into the
    // document as it grows, its length given by an object written after it: memory stays flat
    // however much one page holds.
    void StreamContent(bool last) {
        if (!streamOpen) {
            streamObject = nextObject++;
            streamLengthObject = nextObject++;
            BeginObject(streamObject);
            out += "<</Length ";
            AppendUnsigned(out, streamLengthObject);
            out += " 0 R/Filter/FlateDecode>>stream\n";
            deflateReset(&zlib);
            streamLength = 0;
            streamOpen = true;
        }
        zlib.next_in = reinterpret_cast<Bytef*>(content.data());
        zlib.avail_in = unsigned(content.size());
        int result = Z_OK;
        do {
            deflated.resize(kContentChunk);
            zlib.next_out = reinterpret_cast<Bytef*>(deflated.data());
            zlib.avail_out = unsigned(deflated.size());
            result = deflate(&zlib, last ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) Fail(EIO);
            const size_t produced = deflated.size() - zlib.avail_out;
            out.append(deflated.data(), produced);
            streamLength += produced;
            if (out.size() >= kWriteChunk) Flush();
        } while (last ? result != Z_STREAM_END : zlib.avail_in > 0 || zlib.avail_out == 0);
        content.clear();
    }

    void Deflate(const std::string& data) {
        deflateReset(&zlib);
        deflated.resize(deflateBound(&zlib, data.size()));
        zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        zlib.avail_in = unsigned(data.size());
        zlib.next_out = reinterpret_cast<Bytef*>(deflated.data());
        zlib.avail_out = unsigned(deflated.size());
        if (deflate(&zlib, Z_FINISH) != Z_STREAM_END) Fail(EIO);
        deflated.resize(zlib.total_out);
    }

    void BeginObject(unsigned number) {
        if (offsets.size() <= number) offsets.resize(number + 1, 0);
        offsets[number] = flushed + out.size();
        AppendUnsigned(out, number);
        out += " 0 obj\n";
    }

    void NewPage() {
        if (fd < 0) return;
        FinishPage();
        StartPage();
        currentX = currentY = 0;
    }

    void EndDoc() {
        if (fd < 0) return;
        FinishPage();
        WriteFonts();
        WriteDocumentObjects();
        WriteTrailer();
        Flush();
        if (fsync(fd) != 0) Fail(errno);
        int file = fd;
        fd = -1;
        if (close(file) != 0) {
            int error = errno;
            unlink(tempPath.c_str());
            ForgetOnSignal(tempPath);
            ThrowFileError(error, tempPath);
        }
        std::string path = std::move(tempPath);
        tempPath.clear();
        fonts.clear();
        currentX = currentY = 0;
        struct Forget {
            const std::string& path;
            ~Forget() { ForgetOnSignal(path); }
        } forget{path}; // the sink owns the file now, but a signal meanwhile still removes it
        sink(path);
    }

    void WriteFonts() {
        std::string names;
        for (size_t i = 0; i < fonts.size(); ++i) {
            const TrueTypeFont& font = *fonts[i]->font;
            unsigned file = nextObject++, descriptor = nextObject++, dictionary = nextObject++;
            // Outlines of the glyphs drawn only: a one-page report is not a font library.
            std::string program = StripUnusedGlyphs(font, fonts[i]->usedBytes);
            std::string deflatedProgram = papyra::Deflate(program, Z_DEFAULT_COMPRESSION);
            BeginObject(file);
            out += "<</Length ";
            AppendUnsigned(out, deflatedProgram.size());
            out += "/Length1 ";
            AppendUnsigned(out, program.size());
            out += "/Filter/FlateDecode>>stream\n";
            out += deflatedProgram;
            out += "\nendstream\nendobj\n";
            Flush();

            BeginObject(descriptor);
            std::string name = SubsetTag(fonts[i]->usedBytes) + "+" + font.postScriptName;
            out += "<</Type/FontDescriptor/FontName/" + name;
            out += "/Flags ";
            AppendUnsigned(out, (font.fixedPitch ? 1 : 0) | 32); // non-symbolic: WinAnsi codes
            out += "/FontBBox[";
            for (int k = 0; k < 4; ++k) {
                AppendNumber(out, std::round(font.bbox[k]), 0);
                out += k < 3 ? " " : "]";
            }
            out += "/ItalicAngle ";
            AppendNumber(out, font.italicAngle);
            out += "/Ascent ";
            AppendNumber(out, std::round(font.ascent), 0);
            out += "/Descent ";
            AppendNumber(out, -std::round(font.descent), 0);
            out += "/CapHeight ";
            AppendNumber(out, std::round(font.capHeight), 0);
            out += "/StemV 80/MissingWidth ";
            AppendNumber(out, font.widths[' '], 4);
            out += "/FontFile2 ";
            AppendUnsigned(out, file);
            out += " 0 R>>\nendobj\n";

            BeginObject(dictionary);
            out += "<</Type/Font/Subtype/TrueType/BaseFont/" + name;
            out += "/FirstChar 32/LastChar 255/Widths[";
            for (int c = 32; c < 256; ++c) {
                AppendNumber(out, font.widths[c], 4);
                out += c < 255 ? " " : "]";
            }
            out += "/Encoding/WinAnsiEncoding/FontDescriptor ";
            AppendUnsigned(out, descriptor);
            out += " 0 R>>\nendobj\n";
            names += "/F" + std::to_string(i + 1) + " " + std::to_string(dictionary) + " 0 R";
        }
        BeginObject(kResources);
        out += "<</Font<<" + names + ">>/ProcSet[/PDF/Text]>>\nendobj\n";
    }

    void WriteDocumentObjects() {
        BeginObject(kPages);
        out += "<</Type/Pages/Count ";
        AppendUnsigned(out, pages.size());
        out += "/Kids[";
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i % 8 == 0) out += '\n';
            AppendUnsigned(out, pages[i]);
            out += " 0 R ";
        }
        out += "]>>\nendobj\n";
        BeginObject(kCatalog);
        out += "<</Type/Catalog/Pages 2 0 R>>\nendobj\n";

        char date[32] = "";
        std::time_t now = std::time(nullptr);
        std::tm utc{};
        if (gmtime_r(&now, &utc)) std::strftime(date, sizeof date, "D:%Y%m%d%H%M%SZ", &utc);
        BeginObject(kInfo);
        out += "<</Title " + PdfTextString(title) + "/Producer(Papyra)/CreationDate(" + date +
               ")>>\nendobj\n";
    }

    void WriteTrailer() {
        uint64_t xref = flushed + out.size();
        out += "xref\n0 ";
        AppendUnsigned(out, offsets.size());
        out += "\n0000000000 65535 f \n";
        for (size_t i = 1; i < offsets.size(); ++i) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                          static_cast<unsigned long long>(offsets[i]));
            out += entry;
        }
        out += "trailer\n<</Size ";
        AppendUnsigned(out, offsets.size());
        out += "/Root 1 0 R/Info 4 0 R>>\nstartxref\n";
        AppendUnsigned(out, xref);
        out += "\n%%EOF\n";
    }

    void Flush() {
        size_t done = 0;
        while (done < out.size()) {
            ssize_t n = write(fd, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) Fail(n < 0 ? errno : ENOSPC);
            done += size_t(n);
        }
        flushed += out.size();
        out.clear();
    }

    // A document that cannot be finished is no document: its partial file goes.
    [[noreturn]] void Fail(int error) {
        const std::string path = tempPath;
        Discard();
        ThrowFileError(error, path);
    }

    void Discard() {
        if (fd < 0) return;
        close(fd);
        fd = -1;
        unlink(tempPath.c_str());
        ForgetOnSignal(tempPath);
        tempPath.clear();
        out.clear();
        content.clear();
        streamOpen = false;
        runOpen = false;
    }
};

void EndDocTelling(PdfSurface& surface, const DeliveryNotice& notice) {
    try {
        surface.EndDoc();
    } catch (RuntimeError& failure) {
        if (notice) {
            notice(failure);
            failure.reported = true;
        }
        throw;
    }
}

PdfSurface::PdfSurface(PageGeometry portrait, std::string tempFolder, Sink sink)
    : impl(std::make_unique<Impl>(portrait, std::move(tempFolder), std::move(sink))) {}

PdfSurface::~PdfSurface() = default;

void PdfSurface::SetGeometry(PageGeometry portrait) {
    impl->portrait = portrait;
}

void PdfSurface::SetOrientation(int16_t orientation) {
    if (orientation != 1 && orientation != 2) throw RuntimeError(5);
    impl->orientation = orientation;
}

int16_t PdfSurface::Orientation() const {
    return impl->orientation;
}

float PdfSurface::ScaleWidth() const {
    Oriented o = impl->Current();
    return (o.width - o.left - o.right) * kTwipsPerPoint;
}

float PdfSurface::ScaleHeight() const {
    Oriented o = impl->Current();
    return (o.height - o.top - o.bottom) * kTwipsPerPoint;
}

float PdfSurface::PaperWidth() const {
    return impl->Current().width;
}
float PdfSurface::PaperHeight() const {
    return impl->Current().height;
}

void PdfSurface::SetFontName(const std::string& name) {
    auto font = ResolveTrueTypeFont(name, impl->bold);
    impl->fontName = name;
    impl->UseFace(std::move(font));
}

float PdfSurface::FontSize() const {
    return impl->size;
}

void PdfSurface::SetFontSize(float points) {
    if (!(points > 0 && points <= kMaxFontSize)) throw RuntimeError(5);
    if (points == impl->size) return;
    impl->size = points;
    impl->UpdateMetrics();
}

void PdfSurface::SetFontBold(bool bold) {
    if (bold == impl->bold) return;
    auto font = ResolveTrueTypeFont(impl->fontName, bold);
    impl->bold = bold;
    impl->UseFace(std::move(font));
}

void PdfSurface::SetFontUnderline(bool underline) {
    if (underline == impl->underline) return;
    impl->underline = underline;
    impl->stateChanged = true;
}

float PdfSurface::TextWidth(const std::string& text) {
    const TrueTypeFont& face = impl->Face();
    // A text of several lines is as wide as its widest line.
    double widest = 0, line = 0;
    for (unsigned char c : text) {
        if (c == '\r' || c == '\n') {
            line = 0;
            continue;
        }
        line += face.widths[c];
        widest = std::max(widest, line);
    }
    return float(widest * impl->size * kTwipsPerPoint / 1000);
}

void PdfSurface::SetCurrentX(float x) {
    if (!std::isfinite(x)) throw RuntimeError(6);
    impl->currentX = x;
}

void PdfSurface::SetCurrentY(float y) {
    if (!std::isfinite(y)) throw RuntimeError(6);
    impl->currentY = y;
}
float PdfSurface::CurrentX() const {
    return impl->currentX;
}
float PdfSurface::CurrentY() const {
    return impl->currentY;
}

void PdfSurface::Print(const std::string& text, bool lineEnd) {
    impl->Print(text, lineEnd);
}
void PdfSurface::NewPage() {
    impl->NewPage();
}
void PdfSurface::EndDoc() {
    impl->EndDoc();
}
void PdfSurface::SetDocumentName(const std::string& name) {
    impl->title = name;
}

} // namespace papyra
