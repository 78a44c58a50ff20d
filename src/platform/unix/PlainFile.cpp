#include "platform/unix/PlainFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {

int OpenPlainFile(const std::string& nativePath) {
    struct stat st;
    if (stat(nativePath.c_str(), &st) != 0) return -errno;
    if (S_ISDIR(st.st_mode)) return -EISDIR;
    if (!S_ISREG(st.st_mode)) return -ESPIPE;
    // O_NONBLOCK: should the name turn into a FIFO after the check, open() still returns at once.
    const int fd = open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -errno;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -ESPIPE;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::optional<std::string> ReadPlainFile(const std::string& nativePath, size_t limit, int* error) {
    auto fail = [&](int number) -> std::optional<std::string> {
        if (error) *error = number;
        return std::nullopt;
    };
    const int fd = OpenPlainFile(nativePath);
    if (fd < 0) return fail(-fd);
    struct stat st;
    if (fstat(fd, &st) != 0 || static_cast<unsigned long long>(st.st_size) > limit) {
        close(fd);
        return fail(EFBIG);
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char block[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, block, sizeof block);
        if (n > 0 && bytes.size() + static_cast<size_t>(n) <= limit) {
            bytes.append(block, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (n > 0 || errno != EINTR) {
            const int number = n > 0 ? EFBIG : errno;
            close(fd);
            return fail(number);
        }
    }
    close(fd);
    return bytes;
}

} // namespace papyra
