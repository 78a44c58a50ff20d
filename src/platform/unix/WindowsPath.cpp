#include "platform/unix/WindowsPath.h"

#include "platform/ansi/AnsiText.h"

#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace papyra {
namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// The entry of folder whose name equals name without regard to case, or name itself.
std::string MatchEntry(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                            closedir);
    if (!dir) return name;
    while (dirent* entry = readdir(dir.get()))
        if (EqualsNoCase(entry->d_name, name)) return entry->d_name;
    return name;
}

} // namespace

std::string DriveCRoot() {
    const char* drive = std::getenv("PAPYRA_DRIVE_C");
    if (drive && *drive) return drive;
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix) return Join(prefix, "drive_c");
    return "/";
}

std::string NativePath(const std::string& path) {
    std::string rest = path;
    for (char& c : rest)
        if (c == '\\') c = '/';

    std::string base;
    bool isDrive = rest.size() >= 2 && rest[1] == ':' &&
                   ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
    if (path.starts_with("/")) {
        base = "/";
    } else if (isDrive || path.starts_with("\\")) {
        base = DriveCRoot();
        if (isDrive) rest.erase(0, 2);
    }

    // Walk the components; once one is missing nothing below it can exist, so stop looking.
    std::string result = base;
    bool lookUp = true;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t slash = rest.find('/', pos);
        if (slash == std::string::npos) slash = rest.size();
        std::string name = rest.substr(pos, slash - pos);
        pos = slash + 1;
        if (name.empty()) continue;
        if (lookUp && name != "." && name != ".." && !Exists(Join(result, name))) {
            name = MatchEntry(result, name);
            lookUp = Exists(Join(result, name));
        }
        result = Join(result, name);
    }
    if (rest.ends_with("/") && !result.ends_with("/")) result += "/";
    return result.empty() ? "." : result;
}

} // namespace papyra
