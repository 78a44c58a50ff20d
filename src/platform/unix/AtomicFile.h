#pragma once
// Replacing a file whole or not at all: the new contents go to a temporary file in the same
// folder, are flushed to disk, and take the old file's place by rename, keeping its mode (and,
// where allowed, its owner). A symbolic link is followed, so the file it names is replaced.
#include <string>

namespace papyra {

// Refuses (errno EACCES) a file that exists and is read-only, whoever runs the program, so a
// read-only profile stays as it is even for root.
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
