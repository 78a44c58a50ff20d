#include "platform/pdf/PreviewPrinter.h"

#include "platform/pdf/FileErrors.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace papyra {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

PreviewPrinter::PreviewPrinter(Printer& standsFor, PageGeometry page, std::string pdfPath)
    : other(standsFor), pdfPath(std::move(pdfPath)),
      // The document grows beside its final name, so putting it there is a rename.
      surface(page, FolderOf(this->pdfPath),
              [this](const std::string& tempPath) { Place(tempPath); }) {}

int16_t PreviewPrinter::Orientation() {
    if (!orientation) orientation = other.Orientation();
    return *orientation;
}

void PreviewPrinter::SetOrientation(int16_t value) {
    surface.SetOrientation(value);
    orientation = value;
}

int16_t PreviewPrinter::Copies() {
    if (!copies) copies = other.Copies();
    return *copies;
}

void PreviewPrinter::SetScaleMode(int16_t mode) {
    if (mode != 1) throw RuntimeError(5);
}

void PreviewPrinter::Place(const std::string& tempPath) {
    // Staged private; placed, the file gets the mode any new file of the user's gets.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(tempPath.c_str(), 0666 & ~mask);
    if (std::rename(tempPath.c_str(), pdfPath.c_str()) != 0) {
        const int error = errno;
        std::remove(tempPath.c_str());
        ThrowFileError(error, pdfPath);
    }
}

} // namespace papyra
