#include "platform/unix/CupsConnection.h"

#include <sys/socket.h>

namespace papyra::cups {
namespace {

int GiveUp(http_t*, void*) {
    return 0;
}

} // namespace

Http Connect(int connectMs, double stallSeconds) {
    Http http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           connectMs, nullptr));
    if (http) httpSetTimeout(http.get(), stallSeconds, GiveUp, nullptr);
    return http;
}

Dest NamedDest(http_t* http, const std::string& queue) {
    if (!http || queue.empty()) return nullptr;
    return Dest(cupsGetNamedDest(http, queue.c_str(), nullptr));
}

bool TakesJobs(const cups_dest_t* dest) {
    if (!dest) return false;
    const std::string state = DestOption(dest, "printer-state");
    const std::string accepting = DestOption(dest, "printer-is-accepting-jobs");
    return state != "5" && accepting != "false";
}

std::string DestOption(const cups_dest_t* dest, const char* name) {
    const char* value = cupsGetOption(name, dest->num_options, dest->options);
    return value ? value : "";
}

} // namespace papyra::cups
