#include "integration/Xvfb.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace papyra::testing {

bool OnPath(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

Xvfb::Xvfb() {
    for (int number = 71; number < 200; ++number) {
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (std::filesystem::exists(lock) || std::filesystem::exists(socket)) continue;
        display = ":" + std::to_string(number);
        // Without -noreset the server starts over whenever its last client leaves, and a client
        // connecting in that moment is turned away.
        std::string args[] = {"Xvfb",        display,     "-screen", "0",
                              "1024x768x24", "-nolisten", "tcp",     "-noreset"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(),
                        args[3].data(), args[4].data(), args[5].data(),
                        args[6].data(), args[7].data(), nullptr};
        // Its output goes nowhere: a server left behind by a crashed test must not hold the test
        // runner's pipes open.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        for (int fd : {1, 2})
            posix_spawn_file_actions_addopen(&quiet, fd, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid, "Xvfb", &quiet, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0) {
            pid = -1;
            return;
        }
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        // Tests run in parallel may start a server on the same number at once: the one whose
        // process id the lock file holds has it, the other gives up and the next number is tried.
        pid_t owner = 0;
        std::ifstream(lock) >> owner;
        if (std::filesystem::exists(socket) && owner == pid) return;
        Stop();
    }
}

Xvfb::~Xvfb() {
    Stop();
}

void Xvfb::Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace papyra::testing
