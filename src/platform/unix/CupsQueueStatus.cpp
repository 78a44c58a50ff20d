#include "platform/unix/CupsQueueStatus.h"

#include "platform/unix/CupsConnection.h"

#include <cstdlib>
#include <string>

namespace papyra {

using namespace cups;

ServerStatus ReadServerStatus() {
    ServerStatus status;
    // A socket's path, or the host and the port it is asked on.
    status.server = cupsServer();
    if (!status.server.starts_with("/")) {
        status.server += ':';
        status.server += std::to_string(ippPort());
    }
    const Http http = Connect();
    if (!http) return status;
    status.reachable = true;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        if (dest.instance) continue; // as CupsPrinters: each queue once
        QueueStatus queue;
        queue.name = dest.name;
        if (const std::string state = DestOption(&dest, "printer-state"); !state.empty())
            queue.state = std::atoi(state.c_str());
        queue.accepting = DestOption(&dest, "printer-is-accepting-jobs") != "false";
        queue.reasons = DestOption(&dest, "printer-state-reasons");
        queue.message = DestOption(&dest, "printer-state-message");
        status.queues.push_back(std::move(queue));
    }
    cupsFreeDests(count, dests);
    return status;
}

} // namespace papyra
