#include "platform/unix/UnixLauncher.h"

#include "platform/RuntimeError.h"
#include "platform/unix/WindowsPath.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace papyra {

namespace {

bool IsWindowsExecutable(const std::string& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char magic[2] = {};
    const bool pe = read(fd, magic, 2) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    close(fd);
    return pe;
}

// The first executable file called name in a folder of $PATH, or "".
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        const size_t colon = folders.find(':', start);
        const std::string folder = folders.substr(start, colon - start);
        // An empty entry is the working folder, as the shell reads PATH.
        std::string candidate = folder.empty() ? "." : folder;
        candidate.append("/").append(name);
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string::npos) return "";
        start = colon + 1;
    }
}

// Runs argv[0] with argv in a grandchild in its own session, so it outlives us and is reaped by
// init rather than left a zombie. A pipe closed on exec tells whether the exec happened.
void SpawnDetached(const std::vector<std::string>& args, const std::string& subject) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) throw RuntimeError(70).About(subject);
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        throw RuntimeError(70).About(subject);
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on: the parent may run other threads.
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            if (null != STDIN_FILENO) close(null);
        }
        close_range(3, ~0u, CLOSE_RANGE_CLOEXEC); // our printer and display links stay ours
        execv(argv[0], argv.data());
        const int error = errno;
        [[maybe_unused]] ssize_t written = write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw RuntimeError(70).About(subject);
    if (got == static_cast<ssize_t>(sizeof error))
        throw RuntimeError(error == ENOENT ? 53 : 70).About(subject);
}

} // namespace

void UnixLauncher::Launch(const std::string& path) {
    const std::string program = NativePath(path);
    const std::string subject = "program " + path + " (" + program + ")";
    struct stat st;
    if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        throw RuntimeError(53).About(subject);

    if (IsWindowsExecutable(program)) {
        const std::string wine = FindOnPath("wine");
        if (wine.empty()) throw RuntimeError(70).About(subject + ": no wine on PATH");
        // start /max opens the program's window maximized; /unix takes the native path as is.
        SpawnDetached({wine, "start", "/max", "/unix", program}, subject);
        return;
    }
    if (access(program.c_str(), X_OK) != 0) throw RuntimeError(70).About(subject);
    SpawnDetached({program}, subject);
}

} // namespace papyra
