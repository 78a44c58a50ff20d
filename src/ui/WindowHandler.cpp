#include "ui/WindowHandler.h"

#include "ui/Forms.h"

namespace papyra {

namespace {

RuntimeError Describe(std::exception_ptr failure) {
    try {
        return AsRuntimeError(failure);
    } catch (...) {
        return RuntimeError(51, "Internal error"); // something that is not even an exception
    }
}

// The program ends from inside a window event: everything on screen goes, every loop returns,
// and whoever started a loop carries the end on.
void EndFromHandler(Program& program, const ProgramEnd& end) noexcept {
    if (!program.pendingEnd) program.pendingEnd = end;
    try {
        program.forms.CloseAll();
    } catch (...) {
        // Closing is best effort; the end itself is parked.
    }
}

} // namespace

void RethrowPendingEnd(Program& program) {
    if (!program.pendingEnd) return;
    const ProgramEnd end = *program.pendingEnd;
    program.pendingEnd.reset();
    throw end;
}

void ShowRunTimeErrorReport(Dialogs& dialogs, const RuntimeError& failure) {
    dialogs.MessageBox("Run-time error '" + std::to_string(failure.number) + "':\n\n" +
                           failure.description(),
                       MsgButtons::OK, MsgIcon::Critical);
}

void RunWindowHandler(Program& program, const std::function<void()>& handler) noexcept {
    Platform& platform = program.platform;
    try {
        try {
            handler();
        } catch (const ProgramEnd&) {
            throw;
        } catch (...) {
            const RuntimeError failure = Describe(std::current_exception());
            if (!failure.reported) ShowRunTimeErrorReport(platform.dialogs, failure);
            NoteFailure(program, failure, true);
            platform.process.End(ExitStatus::Failed);
        }
    } catch (const ProgramEnd& end) {
        EndFromHandler(program, end);
    } catch (...) {
        EndFromHandler(program, ProgramEnd{ExitStatus::Failed}); // the report itself failed
    }
}

} // namespace papyra
