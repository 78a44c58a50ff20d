#pragma once
// The file layer under the profile engine: one leaf file per system implements these
// (platform/unix/ProfileFile.cpp, platform/win32/ProfileFile.cpp). Paths are Windows paths.
#include <optional>
#include <string>

namespace papyra {

// The file's bytes: "" when it does not exist; nothing when it exists but is no regular file (a
// folder, a FIFO, a device) or cannot be read. Never blocks on a FIFO.
std::optional<std::string> ReadProfileFile(const std::string& path);

// Replaces the file with bytes, or creates it, whole or not at all: a crash at any moment leaves
// the old file or the new one. Refuses (false, nothing touched) a file that is read-only, not a
// regular file, or a symbolic link: a profile is never written through a link, wherever it
// points. A folder that does not exist is false as well.
bool ReplaceProfileFile(const std::string& path, const std::string& bytes);

} // namespace papyra
