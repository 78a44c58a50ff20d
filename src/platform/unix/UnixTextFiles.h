#pragma once
// Sequential text files on Unix (BufferedTextFiles); a line as long as the rest of the file is
// held once. Output goes to a temporary file beside the file (AtomicFileWriter).
//
// Only regular files are read or written: a FIFO, a device or a socket is run-time error 75 at
// once (nothing blocks in open()), and so is a symbolic link where output is to go. Every error
// names the path (RuntimeError::subject).
#include "platform/files/BufferedTextFiles.h"

namespace papyra {

class UnixTextFiles : public BufferedTextFiles {
public:
    UnixTextFiles() : BufferedTextFiles(true) {}

private:
    std::unique_ptr<File> OpenFile(const std::string& path, Mode mode) override;
};

} // namespace papyra
