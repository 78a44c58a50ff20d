#include "platform/win32/Win32TextFiles.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Files.h"

#include <cstring>
#include <vector>

namespace papyra {

using namespace win32;

namespace {

constexpr size_t BlockSize = 1 << 20;

int WriteError(DWORD error) {
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? 61 : 57;
}

[[noreturn]] void Fail(int number, const std::string& path) {
    throw RuntimeError(number).About(path);
}

} // namespace

struct Win32TextFiles::Channel {
    Mode mode;
    UniqueHandle input;
    AtomicFileWriter output;
    std::vector<char> buffer;
    size_t begin = 0, end = 0; // unread input bytes
    bool drained = false;      // input: ReadFile has returned no bytes
    std::string pending;       // output not yet written

    // Makes sure input bytes are buffered; false at the end of the file.
    bool Fill() {
        if (begin < end) return true;
        begin = end = 0;
        if (drained) return false;
        DWORD read = 0;
        if (!ReadFile(input.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                      nullptr))
            throw RuntimeError(57);
        if (read == 0) drained = true;
        end = read;
        return read > 0;
    }

    DWORD Flush() {
        const DWORD error = output.Write(pending.data(), pending.size());
        pending.clear();
        return error;
    }
};

Win32TextFiles::Win32TextFiles() = default;

Win32TextFiles::~Win32TextFiles() {
    while (!channels_.empty()) {
        try {
            Close(channels_.begin()->first);
        } catch (const RuntimeError&) {
            // Nothing is left to tell at this point; Close has dropped the channel anyway.
        }
    }
}

void Win32TextFiles::Open(const std::string& path, Mode mode, int channel) {
    if (channel < 1 || channel > 511) throw RuntimeError(52);
    if (channels_.count(channel)) throw RuntimeError(55);
    if (path.empty() || path.find('\0') != std::string::npos) Fail(52, path);
    if (IsDeviceName(path)) Fail(75, path);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        Fail(75, path);

    auto open = std::make_unique<Channel>();
    open->mode = mode;
    if (mode == Mode::Input) {
        open->input =
            UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!open->input) Fail(FileErrorNumber(GetLastError()), path);
        if (GetFileType(open->input.get()) != FILE_TYPE_DISK) Fail(75, path);
        open->buffer.resize(BlockSize);
    } else if (const DWORD error = open->output.Begin(path); error != 0) {
        Fail(error == ERROR_BAD_FILE_TYPE ? 75 : FileErrorNumber(error), path);
    }
    channels_[channel] = std::move(open);
}

Win32TextFiles::Channel& Win32TextFiles::Find(int channel, Mode mode) {
    auto found = channels_.find(channel);
    if (found == channels_.end() || found->second->mode != mode) throw RuntimeError(52);
    return *found->second;
}

std::string Win32TextFiles::LineInput(int channel) {
    Channel& in = Find(channel, Mode::Input);
    if (!in.Fill()) throw RuntimeError(62);
    std::string line;
    while (in.Fill()) {
        const char* start = in.buffer.data() + in.begin;
        const size_t available = in.end - in.begin;
        const char* cr = static_cast<const char*>(std::memchr(start, '\r', available));
        if (!cr) {
            line.append(start, available);
            in.begin = in.end;
            continue;
        }
        line.append(start, static_cast<size_t>(cr - start));
        in.begin += static_cast<size_t>(cr - start) + 1;
        // The LF of a CR LF pair may sit at the start of the next block.
        if (in.Fill() && in.buffer[in.begin] == '\n') ++in.begin;
        return line;
    }
    return line;
}

bool Win32TextFiles::Eof(int channel) {
    return !Find(channel, Mode::Input).Fill();
}

void Win32TextFiles::Print(int channel, const std::string& text, bool lineEnd) {
    Channel& out = Find(channel, Mode::Output);
    out.pending += text;
    if (lineEnd) out.pending += "\r\n";
    if (out.pending.size() >= BlockSize) {
        if (const DWORD error = out.Flush(); error != 0) {
            channels_.erase(channel);
            throw RuntimeError(WriteError(error));
        }
    }
}

void Win32TextFiles::Close(int channel) {
    auto found = channels_.find(channel);
    if (found == channels_.end()) return;
    std::unique_ptr<Channel> closing = std::move(found->second);
    channels_.erase(found);
    if (closing->mode == Mode::Input) return;
    DWORD error = closing->Flush();
    if (error == 0) error = closing->output.Commit();
    if (error != 0) throw RuntimeError(WriteError(error));
}

} // namespace papyra
