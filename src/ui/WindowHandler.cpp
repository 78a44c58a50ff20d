#include "ui/WindowHandler.h"

#include <QApplication>
#include <QEventLoop>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace papyra {

namespace {

// The single user-interface thread owns these; no lock.
std::optional<ProgramEnd> pendingEnd;
std::vector<ModalLoop*> modalLoops;
bool mainLoopRunning = false;

RuntimeError Describe(std::exception_ptr failure) {
    try {
        return AsRuntimeError(failure);
    } catch (...) {
        return RuntimeError(51, "Internal error"); // something that is not even an exception
    }
}

// The program ends from inside a window event: everything on screen goes, every loop returns,
// and whoever started a loop carries the end on.
void EndFromHandler(const ProgramEnd& end) {
    pendingEnd = end;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->close();
    for (ModalLoop* loop : modalLoops)
        loop->Quit();
    if (mainLoopRunning) QCoreApplication::exit(end.exitCode);
}

} // namespace

void RethrowPendingEnd() {
    if (!pendingEnd) return;
    const ProgramEnd end = *pendingEnd;
    pendingEnd.reset();
    throw end;
}

void ShowRunTimeErrorReport(Dialogs& dialogs, const RuntimeError& failure) {
    dialogs.MessageBox("Run-time error '" + std::to_string(failure.number) + "':\n\n" +
                           failure.description(),
                       MsgButtons::OK, MsgIcon::Critical);
}

void RunWindowHandler(Platform& platform, const std::function<void()>& handler) noexcept {
    try {
        try {
            handler();
        } catch (const ProgramEnd&) {
            throw;
        } catch (...) {
            ShowRunTimeErrorReport(platform.dialogs, Describe(std::current_exception()));
            platform.process.End();
        }
    } catch (const ProgramEnd& end) {
        EndFromHandler(end);
    } catch (...) {
        EndFromHandler(ProgramEnd{}); // the report itself failed: end all the same
    }
}

ModalLoop::ModalLoop() : loop(new QEventLoop) {}

ModalLoop::~ModalLoop() {
    delete loop;
}

void ModalLoop::Exec() {
    RethrowPendingEnd();
    modalLoops.push_back(this);
    running = true;
    loop->exec(QEventLoop::DialogExec);
    running = false;
    modalLoops.erase(std::find(modalLoops.begin(), modalLoops.end(), this));
    RethrowPendingEnd();
}

void ModalLoop::Quit() {
    loop->exit();
}

int RunMainEventLoop() {
    mainLoopRunning = true;
    int code = QApplication::exec();
    mainLoopRunning = false;
    if (pendingEnd) {
        code = pendingEnd->exitCode;
        pendingEnd.reset();
    }
    return code;
}

std::optional<ProgramEnd> PendingProgramEnd() {
    return pendingEnd;
}

} // namespace papyra
