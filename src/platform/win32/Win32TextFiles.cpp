#include "platform/win32/Win32TextFiles.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Files.h"

namespace papyra {

using namespace win32;

namespace {

int WriteError(DWORD error) {
    if (error == 0) return 0;
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? 61 : 57;
}

[[noreturn]] void Fail(int number, const std::string& path) {
    throw RuntimeError(number).About(path);
}

class Win32File : public BufferedTextFiles::File {
public:
    std::optional<size_t> Read(char* buffer, size_t size) override {
        DWORD read = 0;
        if (!ReadFile(input.get(), buffer, static_cast<DWORD>(size), &read, nullptr))
            return std::nullopt;
        return read;
    }
    int Write(const char* data, size_t size) override {
        return WriteError(output.Write(data, size));
    }
    int Commit() override { return WriteError(output.Commit()); }

    UniqueHandle input;
    AtomicFileWriter output;
};

} // namespace

std::unique_ptr<BufferedTextFiles::File> Win32TextFiles::OpenFile(const std::string& path,
                                                                  Mode mode) {
    if (IsDeviceName(path)) Fail(75, path);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        Fail(75, path);

    auto file = std::make_unique<Win32File>();
    if (mode == Mode::Input) {
        file->input =
            UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file->input) Fail(FileErrorNumber(GetLastError()), path);
        if (GetFileType(file->input.get()) != FILE_TYPE_DISK) Fail(75, path);
    } else if (const DWORD error = file->output.Begin(path); error != 0) {
        Fail(error == ERROR_BAD_FILE_TYPE ? 75 : FileErrorNumber(error), path);
    }
    return file;
}

} // namespace papyra
