#pragma once
// The failure style of window event handlers, and the event loops they run under.
//
// A window event handler catches nothing itself: a run-time failure in it shows the standard
// run-time error report ("Run-time error 'N':" and the description) and ends the program. Ending
// the program (Process::End throws ProgramEnd) must never unwind through Qt's event loop, so the
// wrapper stops it there, closes every window and leaves the event loops; the code that started
// the loop then carries the end on: a modal loop rethrows the ProgramEnd, the main loop returns
// its exit code.
#include "platform/Platform.h"
#include "platform/RuntimeError.h"

#include <functional>
#include <optional>

class QEventLoop;

namespace papyra {

// Runs handler in the window-event failure style. Never throws.
void RunWindowHandler(Platform& platform, const std::function<void()>& handler) noexcept;

// The standard run-time error report: a message box with the error's number and description, OK
// only, under the program's title.
void ShowRunTimeErrorReport(Dialogs& dialogs, const RuntimeError& failure);

// A modal event loop that a handler's ProgramEnd can leave. Exec returns when Quit is called, or
// rethrows the ProgramEnd a handler raised while it ran.
class ModalLoop {
public:
    ModalLoop();
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    void Exec();
    void Quit();
    bool Running() const { return running; }

private:
    QEventLoop* loop;
    bool running = false;
};

// The program's main event loop (QApplication::exec): returns its exit code, which is the
// ProgramEnd's when a window handler ended the program.
int RunMainEventLoop();

// Carries on an end that a window handler raised outside any loop (for example while a window
// was being created): throws it, once.
void RethrowPendingEnd();

// Whether a window handler has ended the program and the end has not been carried on yet.
std::optional<ProgramEnd> PendingProgramEnd();

} // namespace papyra
