#pragma once
// A run-time failure with the familiar number and description. Every platform service reports
// failure by throwing one; the three failure-handling styles (silent end under Main, the print
// engine's handler, window event handlers) are the only places that catch it.
#include <stdexcept>
#include <string>

namespace papyra {

// The standard description of a run-time error number ("Application-defined or object-defined
// error" for a number this program never raises).
std::string StandardDescription(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number) : RuntimeError(number, StandardDescription(number)) {}
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), number(number) {}
    std::string description() const { return what(); }
    // Names what failed, for the people who look after the program: the file's path, the queue
    // and its port, the program that could not be started. Never shown in a message box.
    RuntimeError& About(std::string what) {
        subject = std::move(what);
        return *this;
    }

    int number;
    std::string subject;
    // The platform has told the user already (a document lost at its end is reported by the
    // printer, as a spooler would): no handler needs to show it again.
    bool reported = false;
};

// How a run ended, as its exit status tells Harvex and scripts.
enum class ExitStatus {
    Done = 0,           // the job reached its printer or file, or the mode finished
    Failed = 1,         // a failure was shown to the user (a message box, or stderr headless)
    EndedSilently = 2,  // a failure ended the run without a word on screen (bad command line...)
    AnotherRunning = 3, // another instance was running: nothing was done
};

// Thrown by Process::End: the process ends at once, unwinding to main(). It is deliberately not
// a std::exception, so no handler meant for run-time failures can swallow it.
struct ProgramEnd {
    ExitStatus status = ExitStatus::Done;
    bool operator==(const ProgramEnd&) const = default;
};

// Maps anything thrown below a failure handler to the run-time error that handler deals with.
// ProgramEnd passes through untouched.
RuntimeError AsRuntimeError(std::exception_ptr failure);

} // namespace papyra
