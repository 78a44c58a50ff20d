#include "platform/unix/CupsConnection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
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
    // Asked on this connection only: cupsGetNamedDest falls back to the default connection,
    // which waits a minute on a server that stopped answering.
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {
        "printer-state", "printer-is-accepting-jobs", "printer-type", "printer-uri-supported",
        "device-uri",    "printer-make-and-model",    "printer-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(wanted)), nullptr, wanted);
    std::unique_ptr<ipp_t, void (*)(ipp_t*)> response(cupsDoRequest(http, request, "/"), ippDelete);
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING) return nullptr;

    cups_dest_t* dest = nullptr; // made by libcups, so cupsFreeDests frees all of it
    if (cupsAddDest(queue.c_str(), nullptr, 0, &dest) != 1 || !dest) return nullptr;
    for (ipp_attribute_t* attr = ippFirstAttribute(response.get()); attr;
         attr = ippNextAttribute(response.get())) {
        const char* name = ippGetName(attr);
        if (!name || ippGetGroupTag(attr) != IPP_TAG_PRINTER) continue;
        // As libcups keeps a destination's options: numbers for enums, the first of a list.
        char value[1024];
        const ipp_tag_t tag = ippGetValueTag(attr);
        if (tag == IPP_TAG_ENUM || tag == IPP_TAG_INTEGER)
            std::snprintf(value, sizeof value, "%d", ippGetInteger(attr, 0));
        else
            ippAttributeString(attr, value, sizeof value);
        if (char* comma = std::strchr(value, ','); comma && ippGetCount(attr) > 1) *comma = '\0';
        dest->num_options = cupsAddOption(name, value, dest->num_options, &dest->options);
    }
    return Dest(dest);
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
