#pragma once
// Process services: the command line, the single-instance test, waiting, the event loop, ending.
#include "platform/RuntimeError.h"

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
    // Runs every pending window event before it returns (none: returns at once).
    virtual void DoEvents() = 0;
    // For loops that yield once per line: as DoEvents, but when events last ran less than 10 ms
    // ago it returns at once without looking. An event that arrives during a long loop so waits
    // at most about 10 ms, and a loop of a million lines does not spend its time polling.
    virtual void DoEventsIfDue() = 0;
    // Ends the process at once by throwing ProgramEnd{status}, which unwinds to main(); nothing
    // after the call runs. Unended documents and open files are dropped on the way.
    [[noreturn]] virtual void End(ExitStatus status) = 0;
    // The program's folder, without a trailing separator: the folder of its executable, unless
    // the platform keeps an installed program's files elsewhere (a folder its users can write).
    // Profile and test files are named by appending "\NAME", which the file services accept.
    virtual std::string ProgramFolder() = 0;
};

} // namespace papyra
