// The profile engine's file layer on Windows: reads of regular files only, replacements through
// AtomicFileWriter, which refuses links, devices, folders and read-only files. Windows' own
// private-profile calls are not used: they drop blank lines between sections and are not atomic.
#include "platform/ini/ProfileFile.h"

#include "platform/win32/Win32Files.h"

namespace papyra {

using namespace win32;

namespace {
// A profile is a page of settings; a file this large is not one, and reading it costs memory.
constexpr LONGLONG LargestProfile = 64 << 20;
} // namespace

std::optional<std::string> ReadProfileFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos || IsDeviceName(path))
        return std::nullopt;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == FileNotFound || error == ERROR_PATH_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return std::nullopt;

    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > LargestProfile)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled),
                      &read, nullptr))
            return std::nullopt;
        if (read == 0) break; // the file shrank while we read it: what is there is the file
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

bool ReplaceProfileFile(const std::string& path, const std::string& bytes) {
    AtomicFileWriter writer;
    return writer.Begin(path) == 0 && writer.Write(bytes.data(), bytes.size()) == 0 &&
           writer.Commit() == 0;
}

} // namespace papyra
