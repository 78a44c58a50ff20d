#include "integration/PapyraProcess.h"

#include "integration/CupsServer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace papyra::testing {

namespace fs = std::filesystem;

PapyraProcess::PapyraProcess() {
    char pattern[] = "/tmp/papyra-e2e-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no temp folder");
    root = pattern;
    for (const char* folder : {"program", "home", "pdf", "drive_c", "run", "logs"})
        fs::create_directories(root + "/" + folder);
    fs::permissions(root + "/run", fs::perms::owner_all);
    fs::copy_file(PAPYRA_BINARY, ProgramFolder() + "/papyra");
    cupsServer = "localhost:" + std::to_string(CupsServer::ClosedPort());
}

PapyraProcess::~PapyraProcess() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string PapyraProcess::Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = root + "/" + relative;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void PapyraProcess::ConfigurePrinter(const std::string& deviceName) const {
    Write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tillwren\\Ver36\\Printer]"
                          "\r\n\"DeviceName\"=\"" +
                              deviceName + "\"\r\n");
}

pid_t PapyraProcess::Start(const std::vector<std::string>& words, const std::string& tag) const {
    std::vector<std::string> environment = {
        "HOME=" + root + "/home",
        "PATH=/usr/local/bin:/usr/bin:/bin",
        "LANG=C.UTF-8",
        "LC_PAPER=en_GB.UTF-8",
        "QT_QPA_PLATFORM=offscreen",
        "XDG_RUNTIME_DIR=" + root + "/run",
        "PAPYRA_PDF_DIR=" + PdfFolder(),
        "PAPYRA_HKCU=" + root + "/registry.reg",
        "PAPYRA_DRIVE_C=" + root + "/drive_c",
        "CUPS_SERVER=" + cupsServer,
    };
    for (const auto& [name, value] : extraEnvironment) {
        std::erase_if(environment,
                      [&](const std::string& entry) { return entry.rfind(name + "=", 0) == 0; });
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::string program = ProgramFolder() + "/papyra";
    std::vector<std::string> argStrings = {program};
    argStrings.insert(argStrings.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = root + "/logs/" + tag + ".out", err = root + "/logs/" + tag + ".err";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start papyra");
    return pid;
}

Outcome PapyraProcess::Wait(pid_t pid, const std::string& tag, std::chrono::seconds limit) const {
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (status != -1 && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    outcome.out = ReadFile(root + "/logs/" + tag + ".out");
    outcome.err = ReadFile(root + "/logs/" + tag + ".err");
    return outcome;
}

Outcome PapyraProcess::Run(const std::vector<std::string>& words,
                           std::chrono::seconds limit) const {
    return Wait(Start(words, "run"), "run", limit);
}

std::vector<std::string> PapyraProcess::Pdfs() const {
    std::vector<std::string> pdfs;
    for (const auto& entry : fs::directory_iterator(PdfFolder()))
        pdfs.push_back(entry.path());
    std::sort(pdfs.begin(), pdfs.end());
    return pdfs;
}

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace papyra::testing
