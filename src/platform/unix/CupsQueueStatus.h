#pragma once
// The CUPS server and its queues as an administrator looks at them: is the server there, and is
// each queue taking jobs.
#include <optional>
#include <string>
#include <vector>

namespace papyra {

struct QueueStatus {
    std::string name; // as CUPS keeps it (UTF-8)
    int state = 3;    // IPP printer-state: 3 idle, 4 processing, 5 stopped
    bool accepting = true;
    std::string reasons; // printer-state-reasons, "none" when all is well
    std::string message; // printer-state-message, what the printer last said
};

struct ServerStatus {
    std::string server; // as libcups resolves it (CUPS_SERVER, client.conf): socket or host:port
    bool reachable = false;
    std::vector<QueueStatus> queues; // in the order Papyra lists them
};

ServerStatus ReadServerStatus();

} // namespace papyra
