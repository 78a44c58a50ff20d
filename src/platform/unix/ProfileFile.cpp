// The profile engine's file layer on Unix: Windows paths below drive C:, reads that never block,
// replacements through AtomicFile, which refuses links.
#include "platform/ini/ProfileFile.h"

#include "platform/unix/AtomicFile.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/WindowsPath.h"

#include <cerrno>

namespace papyra {

namespace {
// A profile is a page of settings; a file this large is not one, and reading it costs memory.
constexpr size_t LargestProfile = 64 << 20;
} // namespace

std::optional<std::string> ReadProfileFile(const std::string& path) {
    int error = 0;
    std::optional<std::string> bytes = ReadPlainFile(NativePath(path), LargestProfile, &error);
    if (!bytes && error == ENOENT) return std::string();
    return bytes;
}

bool ReplaceProfileFile(const std::string& path, const std::string& bytes) {
    return ReplaceFileAtomically(NativePath(path), bytes);
}

} // namespace papyra
