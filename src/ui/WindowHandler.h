#pragma once
// The failure style of window event handlers.
//
// A window event handler catches nothing itself: a run-time failure in it shows the standard
// run-time error report ("Run-time error 'N':" and the description) and ends the program. Ending
// the program (Process::End throws ProgramEnd) must never unwind through a toolkit's event loop,
// so the wrapper stops it there, parks it in the Program, closes every window and leaves the
// event loops; whoever started a loop, or yielded to one, carries the end on with
// RethrowPendingEnd.
#include "platform/RuntimeError.h"
#include "startup/Program.h"

#include <functional>

namespace papyra {

// Runs handler in the window-event failure style. Never throws.
void RunWindowHandler(Program& program, const std::function<void()>& handler) noexcept;

// The standard run-time error report: a message box with the error's number and description, OK
// only, the critical-stop icon, under the program's title.
void ShowRunTimeErrorReport(Dialogs& dialogs, const RuntimeError& failure);

// Throws the end a window handler parked, once; returns when there is none.
void RethrowPendingEnd(Program& program);

} // namespace papyra
