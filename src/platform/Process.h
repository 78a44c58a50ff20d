#pragma once
// Process services: the command line, the single-instance test, waiting, the event loop, ending.
#include <string>

namespace papyra {

class Process {
public:
    virtual ~Process() = default;
    // The command line as one string, as the program received it (program name not included).
    virtual std::string CommandLine() = 0;
    // True when another instance of the program runs for this user. The first call makes this
    // process the instance others see; later calls in the same process keep answering false.
    virtual bool AnotherInstanceRunning() = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Runs pending window events before it returns.
    virtual void DoEvents() = 0;
    // Ends the process at once by throwing ProgramEnd, which unwinds to main(); nothing after the
    // call runs. Unended documents and open files are dropped on the way.
    [[noreturn]] virtual void End() = 0;
    // The folder of the program's executable, without a trailing separator. Profile and test
    // files are named by appending "\NAME", which the file services accept.
    virtual std::string ProgramFolder() = 0;
};

} // namespace papyra
