#pragma once
// What the Win32 service tests share: a scratch folder of their own, whole-file reads and writes,
// the run-time error an action throws, and this test program started again as a probe.
#include "platform/RuntimeError.h"
#include "platform/win32/Windows.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace papyra::test {

class ScratchFolder {
public:
    ScratchFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        for (unsigned n = GetTickCount(); path_.empty(); ++n) {
            const std::string candidate = std::string(base) + "papyra-" + std::to_string(n);
            if (CreateDirectoryA(candidate.c_str(), nullptr)) path_ = candidate;
        }
    }
    ~ScratchFolder() {
        std::string from = path_ + '\0' + '\0';
        SHFILEOPSTRUCTA remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = from.c_str();
        remove.fFlags = FOF_NO_UI;
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        SHFileOperationA(&remove);
    }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }
    int Entries() const {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        int count = 0;
        if (search == INVALID_HANDLE_VALUE) return 0;
        do
            count += std::string(found.cFileName) != "." && std::string(found.cFileName) != "..";
        while (FindNextFileA(search, &found));
        FindClose(search);
        return count;
    }

private:
    std::string path_;
};

// Through the ANSI calls, as the services name files: the C++ streams read a narrow name in
// another code page.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

inline std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    char block[65536];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, block, sizeof block, &read, nullptr) &&
           read > 0)
        bytes.append(block, read);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return bytes;
}

inline int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

// The file's bytes once it exists (it is renamed into place whole), or "" after the time limit.
inline std::string WaitForFile(const std::string& path, int seconds = 20) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return ReadBytes(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

// The Windows path of a path on the Unix side of Wine (drive Z: is the root).
inline std::string FromUnix(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// This test program as a probe: started with PAPYRA_PROBE=what:file in its environment, it does
// what (see Win32ServicesTest.cpp) and writes the answer to file instead of running tests.
inline std::string ExecutablePath() {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

} // namespace papyra::test
