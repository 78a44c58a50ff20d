#pragma once
// One run of the program: the platform it works through, its windows and the module-wide state
// that start-up owns and re-sets on each pass of Main.
#include "platform/Platform.h"

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
};

} // namespace papyra
