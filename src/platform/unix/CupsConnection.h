#pragma once
// libcups handles with their owners, and the one way this program reaches the CUPS server: a
// connection of its own per task, so a job being streamed never shares a socket with a query.
#include <cups/cups.h>

#include <memory>
#include <string>

namespace papyra::cups {

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpCloser>;

struct DestFreer {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFreer>;

struct DestInfoFreer {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestInfo = std::unique_ptr<cups_dinfo_t, DestInfoFreer>;

// A new connection to the server libcups is configured for (CUPS_SERVER, client.conf); null when
// it cannot be reached within connectMs. A request that then stalls for longer than stallSeconds
// fails instead of waiting for ever. With the defaults a frozen spooler holds the user at most
// 9 s: a stalled request, which libcups tries twice, and a short try to cancel what it holds.
Http Connect(int connectMs = 2000, double stallSeconds = 2.0);

// The queue as the server describes it now; null when there is no such queue.
Dest NamedDest(http_t* http, const std::string& queue);

// A queue takes jobs only when it is not stopped and accepts them.
bool TakesJobs(const cups_dest_t* dest);

// The value of a destination option, or "" when the destination has none.
std::string DestOption(const cups_dest_t* dest, const char* name);

} // namespace papyra::cups
