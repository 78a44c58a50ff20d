#include "startup/Program.h"

namespace papyra {

void NoteFailure(Program& program, const RuntimeError& failure, bool shown) {
    JobEntry& job = program.job;
    job.error = failure.number;
    job.errorText = failure.description();
    job.subject = failure.subject;
    if (!shown) return;
    // The message box says what the system says; this line says what it was about.
    std::string line = "papyra: run-time error " + std::to_string(failure.number) + " (" +
                       failure.description() + ")";
    if (!failure.subject.empty())
        line += ": " + failure.subject;
    else if (!job.report.empty())
        line += ": report " + job.report;
    if (!job.printer.empty() && line.find(job.printer) == std::string::npos)
        line += ", printer \"" + job.printer + "\" on " + job.port;
    program.platform.journal.Tell(line);
}

void NoteJobPrinter(Program& program) noexcept {
    try {
        Printer& printer = program.platform.printers.Current();
        program.job.printer = printer.DeviceName();
        program.job.port = printer.Port();
    } catch (...) {
        // The log is no reason to fail a job.
    }
}

} // namespace papyra
