#include "platform/win32/Win32Journal.h"

#include "platform/joblog/JobLog.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Windows.h"

#include <ctime>
#include <vector>

namespace papyra {

namespace {

// The ANSI path as the system reads it: std::filesystem would take narrow text as UTF-8.
std::filesystem::path WidePath(const std::string& ansi) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
    return wide;
}

} // namespace

void Win32Journal::Tell(const std::string& line) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Win32Journal::Record(const JobEntry& entry) {
    try {
        AppendJobLine(WidePath(LogPath()), FormatJobLine(entry, std::time(nullptr)));
    } catch (...) {
        // A log that cannot be written never stops a job.
    }
}

std::string Win32Journal::LogPath() {
    std::vector<char> folder(MAX_PATH);
    DWORD length =
        GetEnvironmentVariableA("LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetEnvironmentVariableA("LOCALAPPDATA", folder.data(),
                                         static_cast<DWORD>(folder.size()));
    }
    if (length > 0 && length < folder.size())
        return std::string(folder.data(), length) + "\\Papyra\\papyra.log";
    return ExecutableFolder() + "\\papyra.log";
}

} // namespace papyra
