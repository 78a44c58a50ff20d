#include "platform/unix/UnixTextFiles.h"

#include "platform/RuntimeError.h"
#include "platform/unix/AtomicFile.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/WindowsPath.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {
namespace {

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
    if (error == 0) return 0;
    return error == ENOSPC || error == EDQUOT ? 61 : 57;
}

bool FolderExists(const std::string& nativePath) {
    size_t slash = nativePath.rfind('/');
    if (slash == std::string::npos) return true;
    struct stat st;
    return stat(nativePath.substr(0, slash + 1).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class UnixFile : public BufferedTextFiles::File {
public:
    ~UnixFile() override {
        if (fd >= 0) close(fd);
    }

    std::optional<size_t> Read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t n = read(fd, buffer, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) return std::nullopt;
        }
    }
    int Write(const char* data, size_t size) override {
        return WriteError(writer.Write(data, size));
    }
    int Commit() override { return WriteError(writer.Commit()); }

    int fd = -1;             // input
    AtomicFileWriter writer; // output
};

} // namespace

std::unique_ptr<BufferedTextFiles::File> UnixTextFiles::OpenFile(const std::string& path,
                                                                 Mode mode) {
    const std::string native = NativePath(path);
    auto file = std::make_unique<UnixFile>();
    file->subject = native; // what an administrator finds on disk
    if (mode == Mode::Input) {
        // Never a FIFO or a device: open() on one could wait for ever, with the single-instance
        // lock held, and every later job would be dropped.
        file->fd = OpenPlainFile(native);
        if (file->fd < 0) {
            const int error = -file->fd;
            throw RuntimeError(error == ENOENT && !FolderExists(native) ? 76 : OpenError(error))
                .About(native);
        }
        struct stat st;
        if (fstat(file->fd, &st) == 0) file->size = static_cast<unsigned long long>(st.st_size);
    } else if (const int error = file->writer.Begin(native); error != 0) {
        throw RuntimeError(error == ENOENT ? 76 : OpenError(error)).About(native);
    }
    return file;
}

} // namespace papyra
