#pragma once
// One run of the program: the platform it works through, its windows, the module-wide state that
// start-up owns and re-sets on each pass of Main, and what the job log will say of the run.
#include "platform/Platform.h"

#include <optional>
#include <string>
#include <vector>

namespace papyra {

class Forms;

struct ModuleState {
    std::string ProfilePath;     // program folder + "\RNTME.INI"
    bool HostNotRunning = false; // SETUP mode found no "Harvex" window
    std::vector<std::string> CommandArgs;
    std::string PageOrientation;      // "P" portrait to the engine and test pages
    std::vector<std::string> LineBuf; // one drawn page; an empty slot prints nothing
    float LineHeight = 0.0f;          // twips between drawn lines
};

struct Program {
    Platform& platform;
    Forms& forms;
    ModuleState state;
    JobEntry job;
    // An end of the program raised inside a window event, on its way out of the event loops
    // (WindowHandler.h).
    std::optional<ProgramEnd> pendingEnd;
};

// The failure that is about to end the run, for the job log; shown tells whether the user saw
// it, in which case stderr gets a line naming what failed.
void NoteFailure(Program& program, const RuntimeError& failure, bool shown);
// The current printer and its port, for the job log; a printer that cannot say is left unnamed.
void NoteJobPrinter(Program& program) noexcept;

} // namespace papyra
