#include "platform/unix/UnixJournal.h"

#include "platform/joblog/JobLog.h"
#include "platform/unix/UserFolders.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace papyra {

void UnixJournal::Tell(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void UnixJournal::Record(const JobEntry& entry) {
    AppendJobLine(LogPath(), FormatJobLine(entry, std::time(nullptr)));
}

std::string UnixJournal::LogPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string folder =
        state && *state == '/' ? std::string(state) : HomeFolder() + "/.local/state";
    return folder + "/papyra/papyra.log";
}

} // namespace papyra
