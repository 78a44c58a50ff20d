#include "platform/win32/Win32Files.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace papyra::win32 {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

size_t NameStart(const std::string& path) {
    const size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, NameStart(path));
}

std::string TempPrefix(const std::string& path) {
    // Short enough that the temporary name stays within MAX_PATH's 255 characters a component.
    return FolderOf(path) + path.substr(NameStart(path)).substr(0, 200) + ".~";
}

// Temporary files of this target whose writer has gone: a killed process cannot clean up after
// itself, so the next one does. A live writer's file is left alone.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string prefix = TempPrefix(target);
    const std::string namePrefix = prefix.substr(NameStart(prefix));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((prefix + "*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name.rfind(namePrefix, 0) != 0) continue;
        const unsigned long pid = std::strtoul(name.c_str() + namePrefix.size(), nullptr, 10);
        if (pid == 0 || pid == GetCurrentProcessId()) continue;
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid)));
        if (!process && GetLastError() == ERROR_INVALID_PARAMETER)
            DeleteFileA((FolderOf(prefix) + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

bool IsDeviceName(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0) return true;
    std::string name = Upper(path.substr(NameStart(path)));
    name = name.substr(0, name.find('.'));
    name.erase(name.find_last_not_of(' ') + 1);
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" ||
        name == "CONOUT$")
        return true;
    return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

int FileErrorNumber(DWORD error) {
    switch (error) {
    case FileNotFound:
        return 53;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return 76;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return 70;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return 52;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return 61;
    case ERROR_NOT_READY:
        return 68;
    default:
        return 75;
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() {
    file_.Reset();
    if (!temp_.empty()) DeleteFileA(temp_.c_str());
    temp_.clear();
}

DWORD AtomicFileWriter::Begin(const std::string& path) {
    Discard();
    target_ = path;
    if (path.empty() || path.find('\0') != std::string::npos) return ERROR_INVALID_NAME;
    if (IsDeviceName(path)) return ERROR_BAD_FILE_TYPE;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    targetExists_ = attributes != INVALID_FILE_ATTRIBUTES;
    if (targetExists_) {
        if (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
            return ERROR_BAD_FILE_TYPE;
        if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    } else if (const DWORD error = GetLastError();
               error != FileNotFound && error != ERROR_PATH_NOT_FOUND) {
        return error;
    }
    RemoveStaleTemporaries(path);

    const std::string prefix = TempPrefix(path) + std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temp_ = prefix + std::to_string((GetTickCount() + attempt * 7919u) % 1000000u) + ".tmp";
        file_ = UniqueHandle(CreateFileA(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_) return 0;
        const DWORD error = GetLastError();
        temp_.clear();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
}

DWORD AtomicFileWriter::Write(const char* data, size_t size) {
    if (!file_) return InvalidHandle;
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0) {
            const DWORD error = GetLastError();
            Discard();
            return error ? error : ERROR_WRITE_FAULT;
        }
        data += written;
        size -= written;
    }
    return 0;
}

DWORD AtomicFileWriter::Commit() {
    if (!file_) return InvalidHandle;
    DWORD error = 0;
    if (!FlushFileBuffers(file_.get())) error = GetLastError();
    if (!file_.Reset() && !error) error = GetLastError();
    if (!error) {
        // ReplaceFileA keeps what belongs to the old file (attributes, security, other streams);
        // it leaves the old file as it was when it fails.
        const bool replaced = targetExists_
                                  ? ReplaceFileA(target_.c_str(), temp_.c_str(), nullptr,
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                  : MoveFileExA(temp_.c_str(), target_.c_str(),
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!replaced) error = GetLastError();
    }
    if (error) {
        Discard();
        return error;
    }
    temp_.clear();
    return 0;
}

} // namespace papyra::win32
