#pragma once
// The journal on Windows: lines on the standard error handle when the process has one (a GUI
// program started from a console or a script with it redirected), and the job log in
// %LOCALAPPDATA%\Papyra\papyra.log, else papyra.log in the program's folder.
#include "platform/Journal.h"

namespace papyra {

class Win32Journal : public Journal {
public:
    void Tell(const std::string& line) override;
    void Record(const JobEntry& entry) override;

    static std::string LogPath();
};

} // namespace papyra
