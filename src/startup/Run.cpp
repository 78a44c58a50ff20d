#include "startup/Run.h"

#include "startup/Main.h"
#include "ui/WindowHandler.h"
#include "ui/WindowSet.h"

namespace papyra {

namespace {

const char* OutcomeOf(ExitStatus status) {
    switch (status) {
    case ExitStatus::Done:
        return "done";
    case ExitStatus::Failed:
        return "failed";
    case ExitStatus::EndedSilently:
        return "ended";
    case ExitStatus::AnotherRunning:
        return "not run";
    }
    return "ended";
}

} // namespace

int RunProgram(Platform& platform, Toolkit& toolkit) {
    WindowSet windows(toolkit);
    Program program{platform, windows, {}, {}, {}};
    windows.Attach(program);

    // Anything escaping Main is reported as a window handler reports it; only SETUP returns with
    // a window open, and the program then lives in it.
    RunWindowHandler(program, [&] { Main(program); });
    if (!program.pendingEnd) toolkit.RunEventLoop();
    const ExitStatus status = program.pendingEnd ? program.pendingEnd->status : ExitStatus::Done;

    JobEntry& job = program.job;
    job.outcome = OutcomeOf(status);
    if (status == ExitStatus::Done) job.error = 0, job.errorText.clear(), job.subject.clear();
    platform.journal.Record(job);
    return static_cast<int>(status);
}

} // namespace papyra
