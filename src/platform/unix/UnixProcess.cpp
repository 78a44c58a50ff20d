#include "platform/unix/UnixProcess.h"

#include "platform/RuntimeError.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
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
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string path = runtime && *runtime
                                 ? std::string(runtime) + "/papyra.lock"
                                 : "/tmp/papyra-" + std::to_string(getuid()) + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false; // no lock to be had: better print twice than never
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

void UnixProcess::DoEvents() {
    // The engine yields once per line; a report of thousands of pages would spend seconds in an
    // event loop that has nothing to do. Events still run within a few milliseconds.
    // Reading the clock on every line is itself measurable on a million-line raw job.
    static unsigned calls = 0;
    if (++calls % 64 != 0) return;
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;
    const Clock::time_point now = Clock::now();
    if (now - last < std::chrono::milliseconds(5)) return;
    last = now;
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void UnixProcess::End() {
    throw ProgramEnd{};
}

std::string UnixProcess::ProgramFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) throw RuntimeError(76);
    return exe.parent_path().string();
}

} // namespace papyra
