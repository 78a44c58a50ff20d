#include "integration/Harness.h"

#include <cups/cups.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace papyra::test {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Eventually(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/papyra-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no temp folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

// ---- cupsd

namespace {
const std::string Script = Source + "/tests/support/private-cupsd";
}

Cups::Cups() {
    address = Shell(Script + " start " + Quoted(folder.path()) + " 2>/dev/null");
    address.erase(address.find_last_not_of('\n') + 1);
    if (address.empty()) {
        Shell(Script + " stop " + Quoted(folder.path()));
        throw std::runtime_error("the private cupsd does not answer:\n" +
                                 ReadFile(folder / "log/error_log"));
    }
    if (const char* server = std::getenv("CUPS_SERVER")) hadServer = true, savedServer = server;
    setenv("CUPS_SERVER", address.c_str(), 1);
    cupsSetServer(nullptr); // libcups caches the server it last used
}

Cups::~Cups() {
    Signal(SIGCONT); // a frozen server cannot be stopped
    Shell(Script + " stop " + Quoted(folder.path()));
    hadServer ? setenv("CUPS_SERVER", savedServer.c_str(), 1) : unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
}

void Cups::Queue(const std::string& name, const std::string& ppd) {
    const std::string command = Script + " queue " + Quoted(folder.path()) + " " + Quoted(name) +
                                (ppd.empty() ? "" : " " + Quoted(ppd)) + "; echo $?";
    if (Shell(command) != "0\n") throw std::runtime_error("cannot add queue " + name);
}

int Cups::Lp(std::vector<std::string> command) const {
    std::string line = "PATH=$PATH:/usr/sbin:/sbin " + Quoted(command.front()) + " -h " + address;
    for (size_t i = 1; i < command.size(); ++i)
        line += " " + Quoted(command[i]);
    return std::stoi(Shell(line + " >/dev/null 2>&1; echo $?"));
}

std::string Cups::Captured(const std::string& queue) const {
    std::string file = queue; // as the script names it
    for (char& c : file)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            c = '_';
    return folder / ("out/" + file);
}

std::string Cups::Job(const std::string& queue, std::chrono::milliseconds limit) const {
    return Eventually([&] { return fs::exists(Captured(queue)); }, limit)
               ? ReadFile(Captured(queue))
               : "";
}

void Cups::Signal(int number) const {
    const std::string pid = ReadFile(folder / "pid");
    if (!pid.empty()) kill(std::stoi(pid), number);
}

// ---- papyra

Papyra::Papyra() {
    for (const char* sub : {"program", "home", "pdf", "drive_c", "run", "logs"})
        fs::create_directories(folder / sub);
    fs::permissions(folder / "run", fs::perms::owner_all);
    fs::copy_file(PAPYRA_BINARY, Program() + "/papyra");
    env["CUPS_SERVER"] = "localhost:9"; // nothing listens there: no printer but the built-in one
}

std::string Papyra::Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = folder / relative;
    WriteFile(path, bytes);
    return path;
}

void Papyra::Configure(const std::string& deviceName) const {
    Write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]"
                          "\r\n\"DeviceName\"=\"" +
                              deviceName + "\"\r\n");
}

void Papyra::Install(const std::string& binary) const {
    fs::copy_file(binary, Program() + "/" + fs::path(binary).filename().string(),
                  fs::copy_options::overwrite_existing);
}

pid_t Papyra::Start(const std::vector<std::string>& words, const std::string& tag,
                    const std::string& program) const {
    std::map<std::string, std::string> all = {
        {"HOME", folder / "home"},
        {"PATH", "/usr/local/bin:/usr/bin:/bin"},
        {"LANG", "C.UTF-8"},
        {"LC_PAPER", "en_GB.UTF-8"},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"XDG_RUNTIME_DIR", folder / "run"},
        {"TMPDIR", folder / "run"},
        {"PAPYRA_PDF_DIR", PdfFolder()},
        {"PAPYRA_HKCU", folder / "registry.reg"},
        {"PAPYRA_DRIVE_C", folder / "drive_c"},
    };
    // A sanitizer build's settings reach the program too.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) all[name] = value;
    for (const auto& [name, value] : env)
        all[name] = value;
    std::vector<std::string> entries;
    for (const auto& [name, value] : all)
        entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::vector<std::string> args = {Program() + "/" + program};
    if (user >= 0)
        args.insert(args.begin(), {"/usr/bin/setpriv", "--reuid=" + std::to_string(user),
                                   "--regid=" + std::to_string(user), "--clear-groups"});
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = folder / ("logs/" + tag + ".out"),
                      err = folder / ("logs/" + tag + ".err");
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + program);
    return pid;
}

Outcome Papyra::Wait(pid_t pid, const std::string& tag, std::chrono::seconds limit) const {
    int status = 0;
    if (!Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        status = -1;
    }
    Outcome outcome;
    if (status != -1 && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    outcome.out = ReadFile(folder / ("logs/" + tag + ".out"));
    outcome.err = ReadFile(folder / ("logs/" + tag + ".err"));
    return outcome;
}

Outcome Papyra::Run(const std::vector<std::string>& words, std::chrono::seconds limit) const {
    return Wait(Start(words), "run", limit);
}

Outcome Papyra::RunProgram(const std::string& program, const std::vector<std::string>& words,
                           std::chrono::seconds limit) const {
    return Wait(Start(words, program, program), program, limit);
}

std::vector<std::string> Papyra::Pdfs() const {
    std::vector<std::string> pdfs;
    for (const auto& entry : fs::directory_iterator(PdfFolder()))
        pdfs.push_back(entry.path());
    std::sort(pdfs.begin(), pdfs.end());
    return pdfs;
}

// ---- X

Display::Display() {
    for (int number = 71; number < 200; ++number) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock") || fs::exists(socket))
            continue;
        name = ":" + std::to_string(number);
        // -noreset: the server would start over when its last client leaves, turning the next
        // one away. Its output goes nowhere, so a server left behind holds no test's pipes.
        std::string args[] = {"Xvfb",        name,        "-screen", "0",
                              "1024x768x24", "-nolisten", "tcp",     "-noreset"};
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        for (int fd : {1, 2})
            posix_spawn_file_actions_addopen(&quiet, fd, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid, "Xvfb", &quiet, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0) throw std::runtime_error("cannot start Xvfb");
        // Two tests may pick one number at once: the server whose pid the lock holds has it.
        pid_t owner = 0;
        if (Eventually([&] { return fs::exists(socket); }, 5s))
            std::ifstream("/tmp/.X" + std::to_string(number) + "-lock") >> owner;
        if (owner == pid) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    throw std::runtime_error("no free display");
}

Display::~Display() {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// ---- PDF

std::string PdfText(const std::string& pdf) {
    return Shell("pdftotext -layout " + Quoted(pdf) + " - 2>/dev/null");
}

int PdfPages(const std::string& pdf) {
    std::smatch found;
    const std::string info = Shell("pdfinfo " + Quoted(pdf) + " 2>/dev/null");
    return std::regex_search(info, found, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(found[1])
                                                                          : -1;
}

std::vector<Word> PdfWords(const std::string& pdf) {
    const std::string html = Shell("pdftotext -bbox " + Quoted(pdf) + " - 2>/dev/null");
    const std::regex word(R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" )re"
                          R"re(yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        words.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return words;
}

} // namespace papyra::test
