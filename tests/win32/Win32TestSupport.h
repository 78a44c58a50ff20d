#pragma once
// What the Win32 service tests share: a scratch folder of their own, whole files through the
// ANSI calls (as the services name them: the C++ streams read a narrow name in another code
// page), the run-time error an action throws, and a file that a job or a probe writes.
#include "platform/RuntimeError.h"
#include "platform/win32/Windows.h"

#include <filesystem>
#include <functional>
#include <string>

namespace papyra::test {

struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        for (unsigned n = GetTickCount(); path.empty(); ++n)
            if (CreateDirectoryA((base + std::to_string(n)).c_str(), nullptr))
                path = base + std::to_string(n);
    }
    ~ScratchFolder() {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path);
    }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
    auto Entries() const { return std::distance(std::filesystem::directory_iterator(path), {}); }
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The file's bytes; "" when there is none. wait: until a job or a probe has renamed it into
// place whole.
inline std::string ReadBytes(const std::string& path, bool wait = false) {
    for (int i = 0; wait && i < 400 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++i)
        Sleep(50);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::string bytes(1 << 16, '\0'), all;
    for (DWORD read = 0; ReadFile(file, bytes.data(), 1 << 16, &read, nullptr) && read > 0;)
        all.append(bytes, 0, read);
    CloseHandle(file);
    return all;
}

inline int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace papyra::test
