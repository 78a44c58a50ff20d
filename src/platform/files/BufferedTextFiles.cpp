#include "platform/files/BufferedTextFiles.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace papyra {
namespace {

constexpr size_t BlockSize = 1 << 20;

} // namespace

struct BufferedTextFiles::Channel {
    Mode mode;
    std::unique_ptr<File> file;
    std::vector<char> buffer;
    size_t begin = 0, end = 0;     // unread input bytes
    bool drained = false;          // input: the file has no more bytes
    unsigned long long unread = 0; // input: bytes of the file not read yet
    std::string pending;           // output not yet written

    // Makes sure input bytes are buffered; false at the end of the file.
    bool Fill() {
        if (begin < end) return true;
        begin = end = 0;
        if (drained) return false;
        const std::optional<size_t> read = file->Read(buffer.data(), buffer.size());
        if (!read) throw RuntimeError(57).About(file->subject);
        end = *read;
        unread -= std::min<unsigned long long>(unread, end);
        drained = end == 0;
        return !drained;
    }

    int Flush() {
        if (pending.empty()) return 0;
        const int error = file->Write(pending.data(), pending.size());
        pending.clear();
        return error;
    }
};

BufferedTextFiles::BufferedTextFiles(bool channelErrorsNamePath)
    : channelErrorsNamePath_(channelErrorsNamePath) {}

BufferedTextFiles::~BufferedTextFiles() {
    while (!channels_.empty()) {
        try {
            Close(channels_.begin()->first);
        } catch (const RuntimeError&) {
            // Nothing is left to tell at this point; Close has dropped the channel anyway.
        }
    }
}

void BufferedTextFiles::Open(const std::string& path, Mode mode, int channel) {
    const std::string subject = channelErrorsNamePath_ ? path : std::string();
    if (channel < 1 || channel > 511) throw RuntimeError(52).About(subject);
    if (channels_.count(channel)) throw RuntimeError(55).About(subject);
    if (path.empty() || path.find('\0') != std::string::npos) throw RuntimeError(52).About(path);

    auto open = std::make_unique<Channel>();
    open->mode = mode;
    open->file = OpenFile(path, mode);
    if (mode == Mode::Input) {
        open->unread = open->file->size;
        open->buffer.resize(BlockSize);
    }
    channels_[channel] = std::move(open);
}

BufferedTextFiles::Channel& BufferedTextFiles::Find(int channel, Mode mode) {
    auto found = channels_.find(channel);
    if (found == channels_.end() || found->second->mode != mode) throw RuntimeError(52);
    return *found->second;
}

std::string BufferedTextFiles::LineInput(int channel) {
    Channel& in = Find(channel, Mode::Input);
    if (!in.Fill()) throw RuntimeError(62).About(in.file->subject);
    std::string line;
    while (in.Fill()) {
        const char* start = in.buffer.data() + in.begin;
        const size_t available = in.end - in.begin;
        const char* cr = static_cast<const char*>(std::memchr(start, '\r', available));
        if (!cr) {
            // A line longer than a block may be the whole rest of the file: room for that once,
            // rather than doubling its way there through twice its size.
            if (line.empty()) line.reserve(available + static_cast<size_t>(in.unread));
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

bool BufferedTextFiles::Eof(int channel) {
    return !Find(channel, Mode::Input).Fill();
}

void BufferedTextFiles::Print(int channel, const std::string& text, bool lineEnd) {
    Channel& out = Find(channel, Mode::Output);
    out.pending += text;
    if (lineEnd) out.pending += "\r\n";
    if (out.pending.size() >= BlockSize) {
        if (const int error = out.Flush(); error != 0) {
            const std::string subject = out.file->subject;
            channels_.erase(channel);
            throw RuntimeError(error).About(subject);
        }
    }
}

void BufferedTextFiles::Close(int channel) {
    auto found = channels_.find(channel);
    if (found == channels_.end()) return;
    std::unique_ptr<Channel> closing = std::move(found->second);
    channels_.erase(found);
    if (closing->mode == Mode::Input) return;
    int error = closing->Flush();
    if (error == 0) error = closing->file->Commit();
    if (error != 0) throw RuntimeError(error).About(closing->file->subject);
}

} // namespace papyra
