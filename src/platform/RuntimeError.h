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

    int number;
};

// Thrown by Process::End: the process ends at once, unwinding to main(). It is deliberately not
// a std::exception, so no handler meant for run-time failures can swallow it.
struct ProgramEnd {
    int exitCode = 0;
};

// Maps anything thrown below a failure handler to the run-time error that handler deals with.
// ProgramEnd passes through untouched.
RuntimeError AsRuntimeError(std::exception_ptr failure);

} // namespace papyra
