#include "platform/unix/AtomicFile.h"

#include "platform/unix/SignalCleanup.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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
    if (!temp_.empty()) {
        unlink(temp_.c_str());
        ForgetOnSignal(temp_);
    }
    temp_.clear();
}

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string TempPrefix(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Short enough that the temporary name stays within NAME_MAX.
    return "." + name.substr(0, 200) + ".tmp";
}

// Temporary files of this target whose writer has gone: a killed process cannot clean up after
// itself, so the next one does. A live writer's file (or another user's) is left alone.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target), prefix = TempPrefix(target);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                            closedir);
    if (!dir) return;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!name.starts_with(prefix)) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((folder + name).c_str());
    }
}

} // namespace

int AtomicFileWriter::Begin(const std::string& nativePath) {
    Discard();
    target_ = nativePath;
    struct stat st;
    const bool exists = lstat(target_.c_str(), &st) == 0;
    if (exists) {
        if (S_ISLNK(st.st_mode)) return ELOOP;
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (!S_ISREG(st.st_mode)) return ESPIPE;
        if ((st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0) return EACCES;
    }
    RemoveStaleTemporaries(target_);

    const std::string prefix = FolderOf(target_) + TempPrefix(target_);
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = prefix + std::to_string(getpid()) + "-" + std::to_string(device() % 1000000);
        // A new file gets 0666 less the umask, as a plain create would.
        fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   exists ? 0600 : 0666);
        if (fd_ >= 0) break;
        const int error = errno;
        temp_.clear();
        if (error != EEXIST) return error;
    }
    if (fd_ < 0) return EEXIST;
    RemoveOnSignal(temp_);
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
    ForgetOnSignal(temp_);
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
