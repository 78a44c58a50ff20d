#include "platform/unix/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = getpwuid(getuid())) return user->pw_dir;
    return "/";
}

bool IsPrivateFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

std::optional<std::string> PrivateFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    if (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string folder = base + "/papyra-" + std::to_string(geteuid());
    // mkdir never follows a link and fails on anything already there; what is there is then
    // checked rather than trusted.
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    if (!IsPrivateFolder(folder)) return std::nullopt;
    return folder;
}

std::optional<std::string> LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsPrivateFolder(runtime)) return std::string(runtime);
    return PrivateFolder();
}

} // namespace papyra
