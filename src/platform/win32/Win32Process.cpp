#include "platform/win32/Win32Process.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Windows.h"

#include <algorithm>
#include <vector>

namespace papyra {

Win32Process::~Win32Process() {
    if (mutex_) CloseHandle(mutex_);
}

std::string Win32Process::ArgumentsOf(const std::string& line) {
    size_t end = 0;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        if (end == std::string::npos) return "";
        ++end;
    } else {
        end = std::min(line.find_first_of(" \t"), line.size());
    }
    if (end < line.size() && (line[end] == ' ' || line[end] == '\t')) ++end;
    return line.substr(end);
}

std::string Win32Process::CommandLine() {
    const char* line = GetCommandLineA();
    return ArgumentsOf(line ? line : "");
}

bool Win32Process::AnotherInstanceRunning() {
    if (mutex_) return false;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    const DWORD error = GetLastError();
    if (!mutex) return false;
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return true;
    }
    mutex_ = mutex;
    return false;
}

void Win32Process::Sleep(int milliseconds) {
    ::Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

void Win32Process::DoEvents() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The quit belongs to the loop that runs the windows: put it back for that loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        // A window that lays its controls out for the keyboard stays a dialog while a job yields:
        // Tab, the arrow keys and the access keys move about it as they do in its own loop.
        HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (top && (GetWindowLongPtrA(top, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
            IsDialogMessageA(top, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    lastEventsMs_ = GetTickCount64();
    eventsRan_ = true;
}

void Win32Process::DoEventsIfDue() {
    if (!eventsRan_ || GetTickCount64() - lastEventsMs_ >= 10) DoEvents();
}

void Win32Process::End(ExitStatus status) {
    throw ProgramEnd{status};
}

std::string Win32Process::ProgramFolder() {
    return ExecutableFolder();
}

std::string ExecutableFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw RuntimeError(76);
        if (length < path.size()) {
            const std::string file(path.data(), length);
            const size_t separator = file.find_last_of("\\/");
            return separator == std::string::npos ? file : file.substr(0, separator);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace papyra
