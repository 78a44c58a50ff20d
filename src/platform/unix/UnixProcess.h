#pragma once
#include "platform/Process.h"

#include <vector>

namespace papyra {

// The single-instance lock is an flock on papyra.lock in LockFolder() (UserFolders.h), opened
// without following links. A lock that is not this user's own (a folder or file someone else
// made) is no reason to drop a job: the program then runs as though alone.
class UnixProcess : public Process {
public:
    // args: the words after the program's name, as the shell handed them over.
    explicit UnixProcess(std::vector<std::string> args);
    ~UnixProcess() override;

    std::string CommandLine() override;
    bool AnotherInstanceRunning() override;
    void Sleep(int milliseconds) override;
    void DoEvents() override;
    void DoEventsIfDue() override;
    [[noreturn]] void End(ExitStatus status) override;
    std::string ProgramFolder() override;

private:
    std::vector<std::string> args;
    int lockFd = -1;
    long long lastEventsMs = -1000;
};

} // namespace papyra
