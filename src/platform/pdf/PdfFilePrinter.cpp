#include "platform/pdf/PdfFilePrinter.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"
#include "platform/pdf/FileErrors.h"
#include "platform/unix/UserFolders.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {

namespace {

constexpr int16_t kLetter = 1, kA4 = 9;
constexpr float kQuarterInch = 18;

std::string OutputFolder() {
    if (const char* dir = std::getenv("PAPYRA_PDF_DIR"); dir && *dir) return dir;
    return HomeFolder() + "/Documents/Papyra";
}

// The territories whose paper is Letter (glibc's LC_PAPER data).
bool IsLetterTerritory(const std::string& locale) {
    static const std::set<std::string> letter = {"US", "CA", "MX", "PH", "CL", "CO", "VE",
                                                 "CR", "PR", "BO", "GT", "NI", "PA", "SV"};
    size_t start = locale.find('_');
    if (start == std::string::npos) return false;
    std::string territory = locale.substr(start + 1, locale.find_first_of(".@", start) - start - 1);
    return letter.count(territory) > 0;
}

PageGeometry GeometryFor(int16_t paperSize) {
    PageGeometry geometry;
    if (paperSize == kLetter) {
        geometry.paperWidth = 612;
        geometry.paperHeight = 792;
    }
    geometry.marginLeft = geometry.marginTop = geometry.marginRight = geometry.marginBottom =
        kQuarterInch;
    return geometry;
}

// The report's file name without folder and extension, as a file name of this system.
std::string StemOf(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/:") + 1);
    if (size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

// The report's own name, byte for byte as the file system gave it ("Bücher.prt" makes
// "Bücher.pdf"); only control characters, which no one means in a file name, become "_".
std::string FileNameFrom(const std::string& stem) {
    std::string name;
    for (unsigned char c : stem)
        name += c < 0x20 || c == 0x7F ? '_' : char(c);
    if (name.empty() || name == "." || name == "..") return "Papyra";
    return name;
}

mode_t FileCreationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool IsNoHardLinkError(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == EXDEV || error == ENOSYS;
}

// Gives path the temp file's content only if path does not exist yet: 0, else an errno value.
int ClaimWithoutReplacing(const std::string& tempPath, const std::string& path) {
    if (link(tempPath.c_str(), path.c_str()) == 0) return 0;
    if (!IsNoHardLinkError(errno)) return errno;
    // A file system without hard links: rename that refuses to replace.
    if (renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // Last resort: reserve the name, then replace the reservation in one rename, so the name
    // holds an empty file or the whole document, never part of one.
    int reserved = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (reserved < 0) return errno;
    close(reserved);
    if (rename(tempPath.c_str(), path.c_str()) != 0) {
        int error = errno;
        unlink(path.c_str());
        return error;
    }
    return 0;
}

} // namespace

int16_t LocalePaperSize() {
    if (locale_t locale = newlocale(LC_PAPER_MASK, "", locale_t(0))) {
        union {
            const char* string;
            unsigned int word;
        } width{nl_langinfo_l(_NL_PAPER_WIDTH, locale)},
            height{nl_langinfo_l(_NL_PAPER_HEIGHT, locale)};
        freelocale(locale);
        return width.word == 216 && height.word == 279 ? kLetter : kA4;
    }
    // The locale is named but not installed: its territory still tells the paper.
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return IsLetterTerritory(value) ? kLetter : kA4;
    return kA4;
}

PdfFilePrinter::PdfFilePrinter(DeliveryNotice notice)
    : folder(OutputFolder()), paperSize(LocalePaperSize()), notice(std::move(notice)),
      surface(GeometryFor(paperSize), folder,
              [this](const std::string& tempPath) { ClaimName(tempPath); }) {}

std::string PdfFilePrinter::DeviceName() {
    return "Papyra PDF";
}
std::string PdfFilePrinter::DriverName() {
    return "Papyra PDF";
}
std::string PdfFilePrinter::Port() {
    return "PDF:";
}

int16_t PdfFilePrinter::Orientation() {
    return surface.Orientation();
}
void PdfFilePrinter::SetOrientation(int16_t orientation) {
    surface.SetOrientation(orientation);
}
int16_t PdfFilePrinter::PaperSize() {
    return paperSize;
}
int16_t PdfFilePrinter::PaperBin() {
    return 7;
} // automatic
int16_t PdfFilePrinter::Copies() {
    return copies;
}
void PdfFilePrinter::SetCopies(int16_t value) {
    copies = value;
}
int16_t PdfFilePrinter::ColorMode() {
    return 2;
}
int16_t PdfFilePrinter::PrintQuality() {
    return 600;
}
void PdfFilePrinter::SetTrackDefault(bool) {}

void PdfFilePrinter::SetScaleMode(int16_t mode) {
    if (mode != 1) throw RuntimeError(5);
}

float PdfFilePrinter::ScaleWidth() {
    return surface.ScaleWidth();
}
float PdfFilePrinter::ScaleHeight() {
    return surface.ScaleHeight();
}

void PdfFilePrinter::SetFontName(const std::string& name) {
    surface.SetFontName(name);
}
float PdfFilePrinter::FontSize() {
    return surface.FontSize();
}
void PdfFilePrinter::SetFontSize(float points) {
    surface.SetFontSize(points);
}
void PdfFilePrinter::SetFontBold(bool bold) {
    surface.SetFontBold(bold);
}
void PdfFilePrinter::SetFontUnderline(bool underline) {
    surface.SetFontUnderline(underline);
}
float PdfFilePrinter::TextWidth(const std::string& text) {
    return surface.TextWidth(text);
}

void PdfFilePrinter::SetCurrentX(float x) {
    surface.SetCurrentX(x);
}
void PdfFilePrinter::SetCurrentY(float y) {
    surface.SetCurrentY(y);
}

void PdfFilePrinter::Print(const std::string& text, bool lineEnd) {
    if (!folderReady) PrepareFolder();
    surface.Print(text, lineEnd);
}

void PdfFilePrinter::NewPage() {
    surface.NewPage();
}

void PdfFilePrinter::EndDoc() {
    // The next document looks at its folder afresh: it may have gone meanwhile.
    folderReady = false;
    EndDocTelling(surface, notice);
}

void PdfFilePrinter::SetDocumentName(const std::string& path) {
    std::string stem = StemOf(path);
    baseName = FileNameFrom(stem);
    surface.SetDocumentName(stem);
}

PageGeometry PdfFilePrinter::Page() const {
    return GeometryFor(paperSize);
}

std::string PdfFilePrinter::LastDocumentPath() const {
    return lastPath;
}

void PdfFilePrinter::PrepareFolder() {
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        std::string part = folder.substr(0, end);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            ThrowFileError(errno, part);
        if (end == std::string::npos) break;
    }
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) ThrowFileError(errno, folder);
    if (!S_ISDIR(info.st_mode)) ThrowFileError(ENOTDIR, folder);
    folderReady = true;
}

void PdfFilePrinter::ClaimName(const std::string& tempPath) {
    // Staged private; finished, the document gets the mode any new file of the user's gets.
    chmod(tempPath.c_str(), FileCreationMode());
    for (int n = 1; n < 10000; ++n) {
        std::string path = folder + "/" + baseName;
        if (n > 1) path += " (" + std::to_string(n) + ")";
        path += ".pdf";
        int error = ClaimWithoutReplacing(tempPath, path);
        if (error == EEXIST) continue;
        unlink(tempPath.c_str()); // after a link the document lives on under its name alone
        if (error != 0) ThrowFileError(error, path);
        lastPath = path;
        return;
    }
    unlink(tempPath.c_str());
    ThrowFileError(EEXIST, folder);
}

} // namespace papyra
