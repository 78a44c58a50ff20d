#pragma once
// What the program tells the people who look after it, besides what the user sees: one line on
// stderr for each failure shown to the user, naming what failed, and one line a run in the job
// log. Neither ever stops a job: output that cannot be written is dropped.
#include <string>

namespace papyra {

// One run of the program, as the job log keeps it.
struct JobEntry {
    std::string mode;   // "print", "TEST", "UPDATE", "SETUP"; "" when the command line named none
    std::string report; // the file printed, as named
    std::string printer, port;
    std::string path;      // "raw", "drawn"; "" when nothing went to a printer
    long long pages = -1;  // drawn: pages drawn
    long long bytes = -1;  // raw: bytes sent to the port
    std::string outcome;   // "done", "failed", "ended", "not run"
    int error = 0;         // the run-time error that ended the run, 0 for none
    std::string errorText; // its description
    std::string subject;   // what failed (RuntimeError::subject)
};

class Journal {
public:
    virtual ~Journal() = default;
    // One line on stderr, for an administrator or a script; never a window.
    virtual void Tell(const std::string& line) = 0;
    // Appends the run to the job log.
    virtual void Record(const JobEntry& entry) = 0;
};

} // namespace papyra
