#include "platform/unix/UnixTextFiles.h"

#include "platform/RuntimeError.h"
#include "platform/unix/AtomicFile.h"
#include "platform/unix/WindowsPath.h"

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
    int fd = -1;               // input, or output straight to a device
    AtomicFileWriter replaced; // output to a regular file
    bool atomic = false;
    std::vector<char> buffer;
    size_t begin = 0, end = 0; // unread input bytes
    bool drained = false;      // input: read() has returned 0
    std::string pending;       // output not yet written

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
                return true;
            }
            if (n == 0)
                drained = true;
            else if (errno != EINTR)
                throw RuntimeError(57);
        }
        return false;
    }

    int Flush() {
        if (pending.empty()) return 0;
        int error = 0;
        if (atomic) {
            error = replaced.Write(pending.data(), pending.size());
        } else {
            const char* data = pending.data();
            size_t left = pending.size();
            while (left > 0) {
                ssize_t n = write(fd, data, left);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    error = errno;
                    break;
                }
                data += n;
                left -= static_cast<size_t>(n);
            }
        }
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
    if (channel < 1 || channel > 511) throw RuntimeError(52);
    if (channels_.count(channel)) throw RuntimeError(55);
    if (path.empty() || path.find('\0') != std::string::npos) throw RuntimeError(52);
    std::string native = NativePath(path);

    auto open = std::make_unique<Channel>();
    open->mode = mode;
    struct stat st;
    bool exists = stat(native.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw RuntimeError(75);
    if (mode == Mode::Input) {
        open->fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
        if (open->fd < 0) {
            int error = errno;
            throw RuntimeError(error == ENOENT && !FolderExists(native) ? 76 : OpenError(error));
        }
        open->buffer.resize(BlockSize);
    } else if (exists && !S_ISREG(st.st_mode)) {
        open->fd = ::open(native.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (open->fd < 0) throw RuntimeError(OpenError(errno));
    } else {
        int error = open->replaced.Begin(native);
        if (error != 0) throw RuntimeError(error == ENOENT ? 76 : OpenError(error));
        open->atomic = true;
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
    if (!in.Fill()) throw RuntimeError(62);
    std::string line;
    while (in.Fill()) {
        const char* start = in.buffer.data() + in.begin;
        size_t available = in.end - in.begin;
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
            channels_.erase(channel);
            throw RuntimeError(WriteError(error));
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
    if (error == 0 && closing->atomic) error = closing->replaced.Commit();
    if (error == 0 && closing->fd >= 0 && close(closing->fd) != 0) error = errno;
    closing->fd = -1;
    if (error != 0) throw RuntimeError(WriteError(error));
}

} // namespace papyra
