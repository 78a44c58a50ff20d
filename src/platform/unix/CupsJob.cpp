#include "platform/unix/CupsJob.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"

#include <csignal>
#include <ctime>
#include <pthread.h>

namespace papyra::cups {
namespace {

// Writing to a server that has gone away raises SIGPIPE, which would end the whole program; the
// failed write itself is the report we want. The signal is held back for this thread while the
// guard lives and any SIGPIPE it caused is taken off the pending set before unblocking.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    }
    ~SigpipeGuard() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending && sigismember(&pending, SIGPIPE) == 1) {
            timespec noWait{};
            sigtimedwait(&pipeOnly, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t pipeOnly{}, previous{};
    bool wasPending = false;
};

} // namespace

CupsJob::CupsJob(const std::string& queue, const std::string& title, const Options& options,
                 const char* format, int failure)
    : failure(failure), subject("queue " + Utf8ToAnsi(queue)) {
    SigpipeGuard guard;
    http = Connect();
    dest = NamedDest(http.get(), queue);
    if (!TakesJobs(dest.get())) throw RuntimeError(52).About(subject);
    info.reset(cupsCopyDestInfo(http.get(), dest.get()));
    if (!info) Fail(cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND ? 52 : failure);

    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &list);
    ipp_status_t created =
        cupsCreateDestJob(http.get(), dest.get(), info.get(), &jobId, title.c_str(), count, list);
    cupsFreeOptions(count, list);
    if (created == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS || created == IPP_STATUS_ERROR_NOT_FOUND)
        Fail(52);
    if (created != IPP_STATUS_OK || jobId <= 0) Fail(failure);

    if (cupsStartDestDocument(http.get(), dest.get(), info.get(), jobId, title.c_str(), format, 0,
                              nullptr, 1) != HTTP_STATUS_CONTINUE)
        Fail(failure);
    open = true;
}

CupsJob::~CupsJob() {
    if (open) Cancel();
}

void CupsJob::Write(const char* data, std::size_t size) {
    if (!open) Fail(failure);
    SigpipeGuard guard;
    if (size > 0 && cupsWriteRequestData(http.get(), data, size) != HTTP_STATUS_CONTINUE)
        Fail(failure);
}

void CupsJob::Finish() {
    if (!open) Fail(failure);
    SigpipeGuard guard;
    ipp_status_t status = cupsFinishDestDocument(http.get(), dest.get(), info.get());
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE) Fail(failure);
    open = false;
}

void CupsJob::Fail(int number) {
    if (open || jobId > 0) Cancel();
    throw RuntimeError(number).About(subject);
}

// The streaming connection is mid-request and cannot carry a cancel; dropping it stops the
// document, and a fresh connection cancels what the server holds of the job.
void CupsJob::Cancel() noexcept {
    SigpipeGuard guard;
    open = false;
    http.reset();
    if (jobId <= 0) return;
    // A short try: a server that froze will not answer this either, and the user is waiting.
    if (Http again = Connect(1000, 0.5)) {
        if (dest) cupsCancelDestJob(again.get(), dest.get(), jobId);
    }
    jobId = 0;
}

} // namespace papyra::cups
