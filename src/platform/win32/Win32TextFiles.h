#pragma once
// Sequential text files on Windows (BufferedTextFiles). Output goes to a temporary file beside
// the file (win32::AtomicFileWriter). Only regular files are opened: a folder, a device name (CON,
// LPT1...), a pipe or a link to be written through is run-time error 75. A file that is not on a
// drive that is ready is 68. Only a failure to open names the path (RuntimeError::subject).
#include "platform/files/BufferedTextFiles.h"

namespace papyra {

class Win32TextFiles : public BufferedTextFiles {
public:
    Win32TextFiles() : BufferedTextFiles(false) {}

private:
    std::unique_ptr<File> OpenFile(const std::string& path, Mode mode) override;
};

} // namespace papyra
