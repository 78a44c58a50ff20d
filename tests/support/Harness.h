#pragma once
// What the tests of the built program stand on: a private cupsd (tests/support/private-cupsd),
// the built papyra run as a user runs it in a world of its own, an X server of the test's own,
// and the shell for poppler's tools and xdotool. Nothing here touches the machine's own CUPS,
// home or display, and everything started is stopped when its owner goes, a failing test included.
#include "support/PdfTools.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <regex>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace papyra::test {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

inline const std::string Source = PAPYRA_SOURCE_DIR;
inline const std::string Ppd = Source + "/tests/integration/ppd/";

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline bool Eventually(const std::function<bool()>& ready, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (; !ready(); std::this_thread::sleep_for(20ms))
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& string : strings)
        pointers.push_back(string.data());
    pointers.push_back(nullptr);
    return pointers;
}

inline pid_t Spawn(std::vector<std::string> args, char** envp = environ,
                   const std::string& out = "/dev/null", const std::string& err = "/dev/null") {
    std::vector<char*> argv = Pointers(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

inline void Stop(pid_t pid, int signal) {
    if (pid <= 0) return; // kill(-1) would reach every process we may signal
    kill(pid, signal);
    waitpid(pid, nullptr, 0);
}

// A private cupsd. While it lives, this process's CUPS_SERVER (and libcups' cached server)
// points at it. Queues' jobs land in capture files, complete or not at all.
class Cups {
public:
    const ScratchFolder folder;

    Cups() : address(Started(folder)), server("CUPS_SERVER", address.c_str()) {
        cupsSetServer(nullptr); // libcups caches the server it last used
    }
    ~Cups() {
        Signal(SIGCONT); // a frozen server cannot be stopped
        Shell(Script + " stop " + Quoted(folder.path()));
        cupsSetServer(nullptr); // read from CUPS_SERVER again, restored by then
    }
    const std::string& Address() const { return address; }
    // A PPD of tests/integration/ppd by its name, or any by its path; none: a raw queue.
    void Queue(const std::string& name, const std::string& ppd = "") {
        const std::string path = ppd.empty() || ppd[0] == '/' ? ppd : Ppd + ppd;
        if (Shell(Script + " queue " + Quoted(folder.path()) + " " + Quoted(name) +
                  (path.empty() ? "" : " " + Quoted(path)) + "; echo $?") != "0\n")
            throw std::runtime_error("cannot add queue " + name);
    }
    int Lp(std::vector<std::string> command) const { // a CUPS tool, told which server
        std::string line = "PATH=$PATH:/usr/sbin:/sbin " + Quoted(command[0]) + " -h " + address;
        for (size_t i = 1; i < command.size(); ++i)
            line += " " + Quoted(command[i]);
        return std::stoi(Shell(line + " >/dev/null 2>&1; echo $?"));
    }
    std::string CaptureUri(const std::string& queue) const { return "capture:" + Captured(queue); }
    std::string Captured(const std::string& queue) const { // as the script names it
        return folder / ("out/" + std::regex_replace(queue, std::regex("[^A-Za-z0-9._-]"), "_"));
    }
    std::string Job(const std::string& queue, std::chrono::milliseconds limit = 10s) const {
        const bool came = Eventually([&] { return fs::exists(Captured(queue)); }, limit);
        return came ? ReadBytes(Captured(queue)) : "";
    }
    void Signal(int number) const { // SIGSTOP, SIGCONT, SIGKILL to cupsd
        const std::string pid = ReadBytes(folder / "pid");
        if (!pid.empty()) kill(std::stoi(pid), number);
    }

private:
    static inline const std::string Script = Source + "/tests/support/private-cupsd";
    static std::string Started(const ScratchFolder& folder) {
        std::string address = Shell(Script + " start " + Quoted(folder.path()) + " 2>/dev/null");
        address.erase(address.find_last_not_of('\n') + 1);
        if (address.empty()) {
            Shell(Script + " stop " + Quoted(folder.path()));
            throw std::runtime_error("the private cupsd does not answer:\n" +
                                     ReadBytes(folder / "log/error_log"));
        }
        return address;
    }
    const std::string address;
    const ScopedEnv server;
};

struct Outcome {
    int exitCode = -1; // -1: killed after its time limit, or by a signal
    std::string out, err;
};

// The built papyra in a world of its own below one folder: a program folder holding a copy of the
// binary (RNTME.INI and the test print file land there), a home, a PDF folder, a registry file,
// drive C:, a private runtime folder; other built programs beside it run as it does. One started
// and not waited for is killed at the end.
class Papyra {
public:
    std::map<std::string, std::string> env; // the program's whole environment
    int user = -1;                          // another user to run as (root only), -1 for us

    explicit Papyra(const std::vector<std::string>& binaries = {PAPYRA_BINARY}) {
        for (const char* sub : {"program", "home", "pdf", "drive_c", "run", "logs"})
            fs::create_directories(folder / sub);
        fs::permissions(folder / "run", fs::perms::owner_all);
        for (const auto& binary : binaries)
            fs::copy_file(binary, Program() + "/" + fs::path(binary).filename().string());
        env = {{"HOME", folder / "home"},
               {"PATH", "/usr/local/bin:/usr/bin:/bin"},
               {"LANG", "C.UTF-8"},
               {"LC_PAPER", "en_GB.UTF-8"},
               {"QT_QPA_PLATFORM", "offscreen"},
               {"XDG_RUNTIME_DIR", folder / "run"},
               {"TMPDIR", folder / "run"},
               {"PAPYRA_PDF_DIR", PdfFolder()},
               {"PAPYRA_HKCU", folder / "registry.reg"},
               {"PAPYRA_DRIVE_C", folder / "drive_c"},
               {"CUPS_SERVER", "localhost:9"}}; // nothing listens there: only the built-in printer
        // A sanitizer build's settings reach the program too.
        for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
            if (const char* value = std::getenv(name)) env[name] = value;
    }
    ~Papyra() {
        for (const auto& started : running)
            Stop(started.first, SIGKILL);
    }
    std::string Root() const { return folder.path(); }
    std::string Program() const { return folder / "program"; }
    std::string PdfFolder() const { return folder / "pdf"; }
    std::string Write(const std::string& relative, const std::string& bytes) const {
        WriteBytes(folder / relative, bytes);
        return folder / relative;
    }
    void Configure(const std::string& deviceName) const {
        Write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\"
                              "Printer]\r\n\"DeviceName\"=\"" +
                                  deviceName + "\"\r\n");
    }
    void Use(const Cups& cups) { env["CUPS_SERVER"] = cups.Address(); }
    std::string LastLogged() const { // the job log's last line
        const std::string log = ReadBytes(folder / "home/.local/state/papyra/papyra.log");
        const size_t end = log.find_last_not_of('\n');
        return end == std::string::npos ? "" : log.substr(log.rfind('\n', end) + 1);
    }
    std::vector<std::string> Pdfs() const {
        std::vector<std::string> pdfs;
        for (const auto& entry : fs::directory_iterator(PdfFolder()))
            pdfs.push_back(entry.path());
        return pdfs;
    }

    pid_t Start(const std::vector<std::string>& words, const std::string& program = "papyra") {
        std::vector<std::string> entries;
        for (const auto& [name, value] : env)
            entries.push_back(name + "=" + value);
        std::vector<std::string> args = {Program() + "/" + program};
        if (user >= 0)
            args = {"/usr/bin/setpriv", "--reuid=" + std::to_string(user),
                    "--regid=" + std::to_string(user), "--clear-groups", args[0]};
        args.insert(args.end(), words.begin(), words.end());
        const std::string tag = folder / ("logs/" + std::to_string(++started));
        const pid_t pid = Spawn(args, Pointers(entries).data(), tag + ".out", tag + ".err");
        running[pid] = tag;
        return pid;
    }
    Outcome Wait(pid_t pid, std::chrono::seconds limit = 60s) {
        int status = 0;
        Outcome outcome;
        if (!Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit))
            Stop(pid, SIGKILL);
        else if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        outcome.out = ReadBytes(running[pid] + ".out");
        outcome.err = ReadBytes(running[pid] + ".err");
        running.erase(pid);
        return outcome;
    }
    Outcome Run(const std::vector<std::string>& words, std::chrono::seconds limit = 60s) {
        return Wait(Start(words), limit);
    }

private:
    ScratchFolder folder;
    std::map<pid_t, std::string> running; // and where their output goes
    int started = 0;
};

// Another process holding an exclusive flock on a file, as a running papyra holds its lock,
// from construction (once held) until destruction.
struct LockHolder {
    const pid_t pid;
    explicit LockHolder(const std::string& file)
        : pid(Spawn({"flock", "--exclusive", "--no-fork", file, "sleep", "60"})) {
        Eventually([&] {
            const int fd = open(file.c_str(), O_RDONLY);
            const bool held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0;
            close(fd);
            return held;
        });
    }
    ~LockHolder() { Stop(pid, SIGKILL); }
};

// An Xvfb of the test's own, on the display it finds free itself and tells through -displayfd.
// -noreset: it would start over when its last client leaves, turning the next one away.
struct Display {
    pid_t pid = -1;
    std::string name = ":";
    Display() {
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("no pipe");
        fcntl(ready[0], F_SETFD, FD_CLOEXEC);
        pid = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24",
                     "-nolisten", "tcp", "-noreset"});
        close(ready[1]);
        for (char c; read(ready[0], &c, 1) == 1 && c != '\n';)
            name += c;
        close(ready[0]);
        if (name != ":") return;
        Stop(pid, SIGTERM);
        throw std::runtime_error("Xvfb did not start");
    }
    ~Display() { Stop(pid, SIGTERM); }
};

} // namespace papyra::test
