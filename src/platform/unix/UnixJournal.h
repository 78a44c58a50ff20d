#pragma once
// The journal on Unix: lines on stderr, and the job log in the user's state folder,
// $XDG_STATE_HOME/papyra/papyra.log, else ~/.local/state/papyra/papyra.log.
#include "platform/Journal.h"

namespace papyra {

class UnixJournal : public Journal {
public:
    void Tell(const std::string& line) override;
    void Record(const JobEntry& entry) override;

    static std::string LogPath();
};

} // namespace papyra
