#include "platform/unix/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}

int AtomicFileWriter::Begin(const std::string& nativePath) {
    Discard();
    target_ = nativePath;
    struct stat st;
    bool exists = stat(target_.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (!S_ISREG(st.st_mode)) return EINVAL;
        if ((st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0) return EACCES;
        char resolved[PATH_MAX];
        if (realpath(target_.c_str(), resolved)) target_ = resolved;
    }

    size_t slash = target_.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Short enough that the temporary name stays within NAME_MAX.
        temp_ = folder + "." + name.substr(0, 200) + ".tmp" + std::to_string(getpid()) + "-" +
                std::to_string(device() % 1000000);
        // A new file gets 0666 less the umask, as a plain create would.
        fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd_ >= 0) break;
        int error = errno;
        temp_.clear();
        if (error != EEXIST) return error;
    }
    if (fd_ < 0) return EEXIST;
    if (exists) {
        fchmod(fd_, st.st_mode & 07777);
        if (fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away; the group may still be ours to keep.
            (void)!fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
        }
    }
    return 0;
}

int AtomicFileWriter::Write(const char* data, size_t size) {
    if (fd_ < 0) return EBADF;
    while (size > 0) {
        ssize_t n = write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            Discard();
            return error;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

int AtomicFileWriter::Commit() {
    if (fd_ < 0) return EBADF;
    int error = 0;
    if (fsync(fd_) != 0) error = errno;
    if (close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    if (error == 0 && rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
    if (error != 0) {
        Discard();
        return error;
    }
    temp_.clear();
    // Make the rename itself durable.
    size_t slash = target_.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

bool ReplaceFileAtomically(const std::string& nativePath, const std::string& contents) {
    AtomicFileWriter writer;
    return writer.Begin(nativePath) == 0 && writer.Write(contents.data(), contents.size()) == 0 &&
           writer.Commit() == 0;
}

} // namespace papyra
