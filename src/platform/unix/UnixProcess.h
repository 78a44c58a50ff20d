#pragma once
#include "platform/Process.h"

#include <vector>

namespace papyra {

class UnixProcess : public Process {
public:
    // args: the words after the program's name, as the shell handed them over.
    explicit UnixProcess(std::vector<std::string> args);
    ~UnixProcess() override;

    std::string CommandLine() override;
    bool AnotherInstanceRunning() override;
    void Sleep(int milliseconds) override;
    void DoEvents() override;
    [[noreturn]] void End() override;
    std::string ProgramFolder() override;

private:
    std::vector<std::string> args;
    int lockFd = -1;
};

} // namespace papyra
