#pragma once
// Replacing a file whole or not at all: the new contents go to a temporary file in the same
// folder, are flushed to disk, and take the old file's place by rename, keeping its mode (and,
// where allowed, its owner). A crash at any moment leaves the old file or the new one.
#include <string>

namespace papyra {

// Refuses, before anything is written:
// - a symbolic link (ELOOP): a file is never written through a link, wherever it points;
// - a folder (EISDIR) or anything else that is not a regular file (ESPIPE);
// - a file that exists and is read-only (EACCES), whoever runs the program, so a read-only
//   profile stays as it is even for root.
// Temporary files that a killed writer left beside the file (".NAME.tmp<pid>-<n>", their process
// gone) are removed by the next writer of that file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~AtomicFileWriter();

    // Each returns 0 or the errno that stopped it; after a failure only the destructor is left.
    int Begin(const std::string& nativePath);
    int Write(const char* data, size_t size);
    int Commit();

private:
    void Discard();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
};

// Returns false, leaving the old file untouched, when the replacement could not happen.
bool ReplaceFileAtomically(const std::string& nativePath, const std::string& contents);

} // namespace papyra
