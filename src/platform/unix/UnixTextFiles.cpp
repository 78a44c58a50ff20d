#include "platform/unix/UnixTextFiles.h"

#include "platform/RuntimeError.h"
#include "platform/unix/AtomicFile.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/WindowsPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace papyra {
namespace {

constexpr size_t BlockSize = 1 << 20;

int OpenError(int error) {
    switch (error) {
    case ENOENT:
        return 53;
    case ENOTDIR:
        return 76;
    case EISDIR:
    case ESPIPE: // not a regular file: a FIFO, a device, a socket
    case ELOOP:  // a link where a file is to be written
        return 75;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return 70;
    case ENAMETOOLONG:
    case EINVAL:
        return 52;
    case ENOSPC:
    case EDQUOT:
        return 61;
    default:
        return 75;
    }
}

int WriteError(int error) {
    return error == ENOSPC || error == EDQUOT ? 61 : 57;
}

bool FolderExists(const std::string& nativePath) {
    size_t slash = nativePath.rfind('/');
    if (slash == std::string::npos) return true;
    struct stat st;
    return stat(nativePath.substr(0, slash + 1).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

struct UnixTextFiles::Channel {
    Mode mode;
    std::string path;          // as the caller named it, for the errors
    int fd = -1;               // input
    AtomicFileWriter replaced; // output
    std::vector<char> buffer;
    size_t begin = 0, end = 0;     // unread input bytes
    bool drained = false;          // input: read() has returned 0
    unsigned long long unread = 0; // input: bytes of the file not read yet
    std::string pending;           // output not yet written

    ~Channel() {
        if (fd >= 0) close(fd);
    }

    // Makes sure input bytes are buffered; false at the end of the file.
    bool Fill() {
        if (begin < end) return true;
        begin = end = 0;
        while (!drained) {
            ssize_t n = read(fd, buffer.data(), buffer.size());
            if (n > 0) {
                end = static_cast<size_t>(n);
                unread -= std::min<unsigned long long>(unread, static_cast<size_t>(n));
                return true;
            }
            if (n == 0)
                drained = true;
            else if (errno != EINTR)
                throw RuntimeError(57).About(path);
        }
        return false;
    }

    int Flush() {
        if (pending.empty()) return 0;
        const int error = replaced.Write(pending.data(), pending.size());
        pending.clear();
        return error;
    }
};

UnixTextFiles::UnixTextFiles() = default;

UnixTextFiles::~UnixTextFiles() {
    while (!channels_.empty()) {
        try {
            Close(channels_.begin()->first);
        } catch (const RuntimeError&) {
            // Nothing is left to tell at this point; Close has dropped the channel anyway.
        }
    }
}

void UnixTextFiles::Open(const std::string& path, Mode mode, int channel) {
    if (channel < 1 || channel > 511) throw RuntimeError(52).About(path);
    if (channels_.count(channel)) throw RuntimeError(55).About(path);
    if (path.empty() || path.find('\0') != std::string::npos) throw RuntimeError(52).About(path);
    const std::string native = NativePath(path);

    auto open = std::make_unique<Channel>();
    open->mode = mode;
    open->path = native; // what an administrator finds on disk
    if (mode == Mode::Input) {
        // Never a FIFO or a device: open() on one could wait for ever, with the single-instance
        // lock held, and every later job would be dropped.
        open->fd = OpenPlainFile(native);
        if (open->fd < 0) {
            const int error = -open->fd;
            throw RuntimeError(error == ENOENT && !FolderExists(native) ? 76 : OpenError(error))
                .About(native);
        }
        struct stat st;
        if (fstat(open->fd, &st) == 0) open->unread = static_cast<unsigned long long>(st.st_size);
        open->buffer.resize(BlockSize);
    } else if (const int error = open->replaced.Begin(native); error != 0) {
        throw RuntimeError(error == ENOENT ? 76 : OpenError(error)).About(native);
    }
    channels_[channel] = std::move(open);
}

UnixTextFiles::Channel& UnixTextFiles::Find(int channel, Mode mode) {
    auto found = channels_.find(channel);
    if (found == channels_.end() || found->second->mode != mode) throw RuntimeError(52);
    return *found->second;
}

std::string UnixTextFiles::LineInput(int channel) {
    Channel& in = Find(channel, Mode::Input);
    if (!in.Fill()) throw RuntimeError(62).About(in.path);
    std::string line;
    while (in.Fill()) {
        const char* start = in.buffer.data() + in.begin;
        size_t available = in.end - in.begin;
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

bool UnixTextFiles::Eof(int channel) {
    return !Find(channel, Mode::Input).Fill();
}

void UnixTextFiles::Print(int channel, const std::string& text, bool lineEnd) {
    Channel& out = Find(channel, Mode::Output);
    out.pending += text;
    if (lineEnd) out.pending += "\r\n";
    if (out.pending.size() >= BlockSize) {
        int error = out.Flush();
        if (error != 0) {
            const std::string path = out.path;
            channels_.erase(channel);
            throw RuntimeError(WriteError(error)).About(path);
        }
    }
}

void UnixTextFiles::Close(int channel) {
    auto found = channels_.find(channel);
    if (found == channels_.end()) return;
    std::unique_ptr<Channel> closing = std::move(found->second);
    channels_.erase(found);
    if (closing->mode == Mode::Input) return;
    int error = closing->Flush();
    if (error == 0) error = closing->replaced.Commit();
    if (error != 0) throw RuntimeError(WriteError(error)).About(closing->path);
}

} // namespace papyra
