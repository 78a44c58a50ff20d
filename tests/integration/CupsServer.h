#pragma once
// A private cupsd for tests: its own configuration, spool, cache, state and logs in a temp
// folder, listening on a free loopback port, with a "capture" backend that writes each job's
// bytes to the file its device URI names. While it lives, CUPS_SERVER and HOME of this process
// point at it and at a temp home, so the machine's own CUPS and home are never touched.
#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace papyra::testing {

class CupsServer {
public:
    // Starts cupsd and waits until it answers; throws std::runtime_error when it does not.
    CupsServer();
    // SIGTERM, then the temp folder goes and the environment is restored.
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // "localhost:PORT".
    const std::string& Address() const { return address; }
    // Creates an enabled queue that accepts jobs; an empty ppd makes a raw queue.
    void AddQueue(const std::string& name, const std::string& uri, const std::string& ppd);
    // The capture URI of a queue named name, and the file its jobs arrive in.
    std::string CaptureUri(const std::string& name) const { return "capture:" + CapturePath(name); }
    std::string CapturePath(const std::string& name) const { return root + "/out/" + name; }
    // An empty folder of the given name inside the server's temp folder, gone with the server.
    std::string Folder(const std::string& name) const;
    // Runs a CUPS command-line tool against this server; the exit status.
    int Run(std::vector<std::string> command) const;
    // Ends cupsd at once, as a crash would.
    void Kill();
    // The file's bytes once it exists, or "" when it has not appeared within timeout.
    static std::string WaitForFile(const std::string& path,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // A port on which nothing listens.
    static int ClosedPort();

private:
    void WriteConfiguration(int port);
    void WaitUntilAnswering();
    std::string Log() const;

    std::string root;
    std::string address;
    pid_t pid = -1;
    std::string savedServer, savedHome;
    bool hadServer = false, hadHome = false;
};

} // namespace papyra::testing
