#include "platform/unix/SignalCleanup.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace papyra {

namespace {

// Fixed slots: the handler may only touch memory that never moves. A process has a handful of
// temporary files at a time (a document, a profile write).
constexpr int Slots = 16;
char paths[Slots][PATH_MAX];
volatile sig_atomic_t used[Slots];
bool installed = false;

void RemoveAndEnd(int signal) {
    for (int i = 0; i < Slots; ++i)
        if (used[i]) unlink(paths[i]);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void Install() {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction previous {};
        // A signal the parent set to be ignored stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
    installed = true;
}

} // namespace

void RemoveOnSignal(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    if (!installed) Install();
    for (int i = 0; i < Slots; ++i) {
        if (used[i]) continue;
        std::memcpy(paths[i], path.c_str(), path.size() + 1);
        used[i] = 1; // only now may the handler look at the slot
        return;
    }
}

void ForgetOnSignal(const std::string& path) {
    for (int i = 0; i < Slots; ++i)
        if (used[i] && path == paths[i]) used[i] = 0;
}

} // namespace papyra
