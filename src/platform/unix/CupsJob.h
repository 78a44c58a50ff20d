#pragma once
// One job on a CUPS queue with one document streamed into it: the way both printed pages and raw
// port bytes reach a queue.
//
// Contract:
// - The constructor checks the queue first: missing, stopped or not accepting jobs (or no server
//   to ask) is run-time error 52. A refusal after that is `failure`. Errors name the queue.
// - No step waits long on a server that stopped answering (CupsConnection.h).
// - Write streams bytes straight to the server; Finish ends the document and the job is then the
//   server's. A broken transfer in either is run-time error `failure`; the job is cancelled.
// - A job destroyed before Finish is cancelled: nothing half-sent ever prints.
#include "platform/unix/CupsConnection.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace papyra::cups {

class CupsJob {
public:
    using Options = std::vector<std::pair<std::string, std::string>>;

    // title must be UTF-8; format is a MIME type such as CUPS_FORMAT_PDF or CUPS_FORMAT_RAW.
    CupsJob(const std::string& queue, const std::string& title, const Options& options,
            const char* format, int failure);
    ~CupsJob();
    CupsJob(const CupsJob&) = delete;
    CupsJob& operator=(const CupsJob&) = delete;

    void Write(const char* data, std::size_t size);
    void Finish();
    int Id() const { return jobId; }

private:
    [[noreturn]] void Fail(int number);
    void Cancel() noexcept;

    Http http;
    Dest dest;
    DestInfo info;
    int jobId = 0;
    int failure;
    std::string subject; // what a failure names
    bool open = false;
};

} // namespace papyra::cups
