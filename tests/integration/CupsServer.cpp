#include "integration/CupsServer.h"

#include <cups/cups.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace papyra::testing {
namespace {

// Runs as lp when cupsd runs as root. Without arguments it introduces itself to cupsd's device
// listing; with them it copies the job (stdin, or the file in $6) to the path in its URI. The
// bytes land under a temporary name first so a reader never sees half a job.
const char* kCaptureBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
    echo 'direct capture "Unknown" "Papyra capture"'
    exit 0
fi
target="${DEVICE_URI#capture:}"
if [ -n "$6" ]; then
    cat "$6" > "$target.part" || exit 1
else
    cat > "$target.part" || exit 1
fi
mv "$target.part" "$target"
)";

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string SystemServerBin() {
    for (const char* candidate : {"/usr/lib/cups", "/usr/libexec/cups"})
        if (fs::exists(fs::path(candidate) / "backend")) return candidate;
    throw std::runtime_error("no CUPS server binaries (is the cups package installed?)");
}

// cupsd and the admin tools live in sbin, which an ordinary user's PATH often leaves out.
std::string FindTool(const std::string& name) {
    std::string dirs = getenv("PATH") ? getenv("PATH") : "";
    dirs += ":/usr/sbin:/usr/local/sbin:/sbin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return name;
}

void SetOrUnset(const char* name, bool had, const std::string& value) {
    if (had)
        setenv(name, value.c_str(), 1);
    else
        unsetenv(name);
}

} // namespace

CupsServer::CupsServer() {
    std::string pattern = (fs::temp_directory_path() / "papyra-cups-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    const int port = ClosedPort();
    address = "localhost:" + std::to_string(port);
    try {
        WriteConfiguration(port);
        const std::string conf = root + "/conf";
        const std::string log = root + "/log/cupsd.out";
        std::vector<std::string> args = {
            "cupsd", "-f", "-c", conf + "/cupsd.conf", "-s", conf + "/cups-files.conf"};
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int failed =
            posix_spawn(&pid, FindTool("cupsd").c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed) {
            pid = -1;
            throw std::runtime_error("cannot start cupsd (is the cups package installed?)");
        }
        WaitUntilAnswering();
    } catch (...) {
        Kill();
        std::error_code ignored;
        fs::remove_all(root, ignored);
        throw;
    }

    if (const char* server = getenv("CUPS_SERVER")) hadServer = true, savedServer = server;
    if (const char* home = getenv("HOME")) hadHome = true, savedHome = home;
    setenv("CUPS_SERVER", address.c_str(), 1);
    setenv("HOME", (root + "/home").c_str(), 1);
    cupsSetServer(nullptr); // libcups caches the server it last used
}

CupsServer::~CupsServer() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Kill();
    }
    SetOrUnset("CUPS_SERVER", hadServer, savedServer);
    SetOrUnset("HOME", hadHome, savedHome);
    cupsSetServer(nullptr);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void CupsServer::WriteConfiguration(int port) {
    for (const char* dir :
         {"conf/ppd", "spool/tmp", "cache", "state", "log", "bin/backend", "out", "home"})
        fs::create_directories(fs::path(root) / dir);
    const std::string systemBin = SystemServerBin();
    for (const char* dir : {"filter", "daemon", "cgi-bin", "notifier", "monitor"})
        if (fs::exists(fs::path(systemBin) / dir))
            fs::create_directory_symlink(fs::path(systemBin) / dir, fs::path(root) / "bin" / dir);
    for (const auto& backend : fs::directory_iterator(fs::path(systemBin) / "backend"))
        fs::create_symlink(backend.path(),
                           fs::path(root) / "bin/backend" / backend.path().filename());
    const fs::path capture = fs::path(root) / "bin/backend/capture";
    WriteFile(capture, kCaptureBackend);
    fs::permissions(capture, fs::perms(0755));

    std::ostringstream files;
    files << "ServerRoot " << root << "/conf\n"
          << "RequestRoot " << root << "/spool\n"
          << "TempDir " << root << "/spool/tmp\n"
          << "CacheDir " << root << "/cache\n"
          << "StateDir " << root << "/state\n"
          << "ServerBin " << root << "/bin\n"
          << "DataDir /usr/share/cups\n"
          << "ErrorLog " << root << "/log/error_log\n"
          << "AccessLog " << root << "/log/access_log\n"
          << "PageLog " << root << "/log/page_log\n"
          << "Printcap " << root << "/state/printcap\n"
          << "FileDevice Yes\n";
    // As root, cupsd hands filters and backends to an unprivileged user, which must reach the
    // tree: the spool, the cache and the capture folder become its own.
    if (geteuid() == 0) {
        const passwd* lp = getpwnam("lp");
        const group* lpGroup = getgrnam("lp");
        if (!lp || !lpGroup)
            throw std::runtime_error("running as root needs the lp user and group");
        files << "User lp\nGroup lp\n";
        fs::permissions(root, fs::perms(0755));
        for (const char* dir : {"spool", "spool/tmp", "cache", "out"})
            if (chown((fs::path(root) / dir).c_str(), lp->pw_uid, lpGroup->gr_gid) != 0)
                throw std::runtime_error("cannot hand the spool to lp");
    }
    WriteFile(fs::path(root) / "conf/cups-files.conf", files.str());

    // Loopback TCP rather than a local socket: the printer URIs cupsd advertises must be
    // reachable for the destination API. Everyone may do everything: it is our own server.
    std::ostringstream conf;
    conf << "LogLevel info\n"
         << "Listen localhost:" << port << "\n"
         << "ServerName localhost\n"
         << "Browsing No\n"
         << "WebInterface No\n"
         << "DefaultAuthType None\n"
         << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
         << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    WriteFile(fs::path(root) / "conf/cupsd.conf", conf.str());
}

void CupsServer::WaitUntilAnswering() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    const int port = std::stoi(address.substr(address.find(':') + 1));
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            throw std::runtime_error("cupsd ended at start:\n" + Log());
        }
        if (http_t* http = httpConnect2("localhost", port, nullptr, AF_UNSPEC,
                                        HTTP_ENCRYPTION_NEVER, 1, 200, nullptr)) {
            httpClose(http);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("cupsd does not answer:\n" + Log());
}

void CupsServer::AddQueue(const std::string& name, const std::string& uri, const std::string& ppd) {
    std::vector<std::string> command = {"lpadmin", "-h", address, "-p", name, "-v", uri, "-E"};
    if (ppd.empty()) {
        command.insert(command.end(), {"-m", "raw"});
    } else {
        command.insert(command.end(), {"-P", ppd});
    }
    if (Run(command) != 0) throw std::runtime_error("lpadmin failed for " + name + ":\n" + Log());
}

std::string CupsServer::Folder(const std::string& name) const {
    const fs::path folder = fs::path(root) / "scratch" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

int CupsServer::Run(std::vector<std::string> command) const {
    std::vector<char*> argv;
    for (auto& arg : command)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string log = root + "/log/commands.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t child = -1;
    const int failed = posix_spawn(&child, FindTool(command.front()).c_str(), &actions, nullptr,
                                   argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return 127;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void CupsServer::Kill() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string CupsServer::WaitForFile(const std::string& path, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(path)) {
            std::ifstream in(path, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "";
}

int CupsServer::ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        if (fd >= 0) close(fd);
        throw std::runtime_error("no free loopback port");
    }
    close(fd);
    return ntohs(addr.sin_port);
}

std::string CupsServer::Log() const {
    std::string text;
    for (const char* name : {"log/cupsd.out", "log/error_log", "log/commands.log"}) {
        std::ifstream in(root + "/" + name);
        text += std::string(std::istreambuf_iterator<char>(in), {});
    }
    return text;
}

} // namespace papyra::testing
