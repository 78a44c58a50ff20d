#pragma once
// Process services on Windows. The single instance is a named mutex in the user's session,
// "Local\Papyra.Instance", held from the first AnotherInstanceRunning until the process ends:
// the system drops it with the process however that ends. A mutex that cannot be made is no
// reason to drop a job: the program then runs as though alone. DoEvents treats every window
// made with WS_EX_CONTROLPARENT as a dialog, as the windows' own loops do, so the keyboard keeps
// working in a window while a job yields.
#include "platform/Process.h"

#include <cstdint>

namespace papyra {

class Win32Process : public Process {
public:
    static constexpr const char* InstanceMutexName = "Local\\Papyra.Instance";

    Win32Process() = default;
    Win32Process(const Win32Process&) = delete;
    Win32Process& operator=(const Win32Process&) = delete;
    ~Win32Process() override;

    std::string CommandLine() override;
    bool AnotherInstanceRunning() override;
    void Sleep(int milliseconds) override;
    void DoEvents() override;
    void DoEventsIfDue() override;
    [[noreturn]] void End(ExitStatus status) override;
    std::string ProgramFolder() override;

    // What follows the program's name in a command line as Windows hands it over: the name,
    // quoted or not, and the one blank after it are cut; the rest stays exactly as it came.
    static std::string ArgumentsOf(const std::string& commandLine);

private:
    void* mutex_ = nullptr;
    uint64_t lastEventsMs_ = 0;
    bool eventsRan_ = false;
};

// The folder of the running executable, without a trailing backslash; run-time error 76 when the
// system cannot tell.
std::string ExecutableFolder();

} // namespace papyra
