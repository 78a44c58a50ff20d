#include "platform/unix/ProgramFolder.h"

#include "platform/unix/InstallDirs.h"
#include "platform/unix/UserFolders.h"
#include "platform/unix/WindowsPath.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace papyra {

namespace fs = std::filesystem;

std::string ExecutableFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? "" : exe.parent_path().string();
}

std::string InstalledProgramFolder() {
    return InstalledBinFolder;
}

ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder,
                                        const std::string& installedFolder) {
    // The same folder by inode, so /bin and /usr/bin of a merged /usr are one.
    std::error_code error;
    if (!fs::equivalent(executableFolder, installedFolder, error) || error)
        return {executableFolder, ProgramFolderRule::Executable};

    if (const char* home = std::getenv("PAPYRA_HOME"); home && *home)
        return {home, ProgramFolderRule::PapyraHome};
    const std::string harvex = NativePath("C:\\Harvex96");
    if (fs::is_directory(harvex, error)) return {harvex, ProgramFolderRule::HarvexFolder};
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string base =
        data && *data == '/' ? std::string(data) : HomeFolder() + "/.local/share";
    return {base + "/papyra", ProgramFolderRule::DataHome};
}

int MakePrivateFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

} // namespace papyra
