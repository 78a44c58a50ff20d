#pragma once
// Opening a file that must be a regular file (a report, a profile, a registry export) without
// ever blocking: a FIFO would hold open() until someone writes to it, and a device may act on
// being opened. Links are followed for reading; writes go through AtomicFile, which refuses them.
#include <optional>
#include <string>

namespace papyra {

// A read-only descriptor (close-on-exec) or -errno: -ENOENT and the like from the system, -EISDIR
// for a folder and -ESPIPE for anything else that is not a regular file (FIFO, device, socket).
int OpenPlainFile(const std::string& nativePath);

// The whole file, when it is a regular file no larger than limit bytes; errno in *error (ENOENT
// for a file that does not exist, EFBIG past the limit).
std::optional<std::string> ReadPlainFile(const std::string& nativePath, size_t limit,
                                         int* error = nullptr);

} // namespace papyra
