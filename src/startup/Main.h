#pragma once
#include "startup/Program.h"

#include <string>
#include <vector>

namespace papyra {

enum class MainPass {
    First, // at start: another running instance ends this one
    Again, // after the setup window: the same process, so no instance check
};

// The entry procedure: splits the command line, refuses a second instance, fixes the profile
// path and orientation, has the printer selected and laid out, and dispatches to SETUP, TEST,
// UPDATE or printing a report file. Any failure under it that nothing else handles ends the
// program silently; print, TEST and UPDATE end the program when done (Process::End throws
// ProgramEnd). Returns only in SETUP mode, with the review window open.
void Main(Program& program, MainPass pass = MainPass::First);

// The command line split at every single space; empty words stay. An empty line has no words.
std::vector<std::string> SplitCommandLine(const std::string& line);

} // namespace papyra
