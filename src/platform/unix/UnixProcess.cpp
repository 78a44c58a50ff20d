#include "platform/unix/UnixProcess.h"

#include "platform/RuntimeError.h"
#include "platform/unix/ProgramFolder.h"
#include "platform/unix/UserFolders.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace papyra {

UnixProcess::UnixProcess(std::vector<std::string> args) : args(std::move(args)) {}

UnixProcess::~UnixProcess() {
    if (lockFd >= 0) close(lockFd);
}

std::string UnixProcess::CommandLine() {
    // The shell has split the line already; joining with single blanks gives it back, an empty
    // argument standing for two blanks in a row.
    std::string line;
    for (size_t i = 0; i < args.size(); ++i)
        line += (i ? " " : "") + args[i];
    return line;
}

bool UnixProcess::AnotherInstanceRunning() {
    if (lockFd >= 0) return false;
    const std::optional<std::string> folder = LockFolder();
    if (!folder) return false; // no lock of our own to be had: better print twice than never
    const std::string path = *folder + "/papyra.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return true;
    }
    lockFd = fd; // held until the process ends
    return false;
}

void UnixProcess::Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {
// The coarse clock costs a few nanoseconds and ticks every few milliseconds: enough to pace
// events at 10 ms on a job that calls once per line.
long long CoarseMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
} // namespace

void UnixProcess::DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    lastEventsMs = CoarseMilliseconds();
}

void UnixProcess::DoEventsIfDue() {
    if (CoarseMilliseconds() - lastEventsMs >= 10) DoEvents();
}

void UnixProcess::End(ExitStatus status) {
    throw ProgramEnd{status};
}

std::string UnixProcess::ProgramFolder() {
    const std::string executable = ExecutableFolder();
    if (executable.empty()) throw RuntimeError(76);
    const ProgramFolderChoice choice = ChooseProgramFolder(executable, InstalledProgramFolder());
    // The user's own data folder is made on first use; one that cannot be made fails the first
    // file written there, with that file's own error.
    if (choice.rule == ProgramFolderRule::DataHome) MakePrivateFolders(choice.folder);
    return choice.folder;
}

} // namespace papyra
