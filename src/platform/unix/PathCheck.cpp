#include "platform/unix/PathCheck.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {

PathState InspectPath(const std::string& path) {
    PathState state;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return state;
    if (S_ISLNK(st.st_mode)) {
        state.kind = PathState::Kind::Link;
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length > 0) state.linkTarget.assign(target, static_cast<size_t>(length));
        return state;
    }
    state.kind = S_ISREG(st.st_mode)    ? PathState::Kind::File
                 : S_ISDIR(st.st_mode)  ? PathState::Kind::Folder
                 : S_ISFIFO(st.st_mode) ? PathState::Kind::Fifo
                                        : PathState::Kind::Other;
    state.readable = access(path.c_str(), R_OK) == 0;
    state.writable = state.kind == PathState::Kind::Folder
                         ? access(path.c_str(), W_OK | X_OK) == 0
                         : access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
    return state;
}

namespace {

std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool FolderCanBeWritten(const std::string& path) {
    for (std::string folder = path;; folder = Parent(folder)) {
        struct stat st;
        if (stat(folder.c_str(), &st) == 0)
            return S_ISDIR(st.st_mode) && access(folder.c_str(), W_OK | X_OK) == 0;
        if (folder == "/" || folder == ".") return false;
    }
}

bool FileCanBeReplaced(const std::string& path) {
    const PathState state = InspectPath(path);
    if (state.kind != PathState::Kind::Missing &&
        (state.kind != PathState::Kind::File || !state.writable))
        return false;
    // The folder may be reached through a link (/bin on a merged /usr): that is no refusal.
    struct stat st;
    const std::string folder = Parent(path);
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace papyra
