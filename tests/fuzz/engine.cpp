// The print-file engine on the fakes (whose files are the real line reader over memory): whatever
// a report holds, the raw path sends the set-up bytes, every line as Line Input splits it (CR LF
// or a lone CR ends a line, a lone LF stays inside it; em dash sent as the box line, a form feed
// alone as itself) and the closing bytes; the drawn path draws every character that is no
// emphasis code; both end normally.
#include "fakes/FakePlatform.h"
#include "printing/PrintReportFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace papyra;
using namespace papyra::fakes;

namespace {

std::string RawStream(const std::string& report, bool portrait) {
    std::string sent =
        portrait ? "\022\033P\033t\001\0330\033CX\033g" : "\022\033P\033t\001\0332\033CB\033\017";
    for (size_t at = 0; at < report.size();) {
        const size_t cr = std::min(report.find('\r', at), report.size());
        std::string line = report.substr(at, cr - at);
        std::replace(line.begin(), line.end(), '\x97', '\xC4');
        sent += line == "\x0C" ? line : line + "\r\n";
        at = cr + 1;
        if (at < report.size() && report[at] == '\n') ++at;
    }
    return sent + "\022\033P\0332\033CB";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string report(reinterpret_cast<const char*>(data), size);
    const bool portrait = size % 2;
    for (bool raw : {true, false}) {
        World world;
        FakePrinter& printer = world.printers.CurrentFake();
        printer.paperBin = raw ? 8 : 7;
        world.program.state.PageOrientation = portrait ? "P" : "L";
        world.program.state.LineBuf.assign(portrait ? 83 : 67, "");
        world.program.state.LineHeight = 100;
        world.files.contents["r.prt"] = report;
        PrintReportFile(world.program, "r.prt");
        for (const auto& box : world.dialogs.boxes) {
            std::fprintf(stderr, "box: %s\n", box.text.c_str());
            std::abort();
        }
        if (raw) {
            if (world.rawPort.bytes != RawStream(report, portrait) || !world.rawPort.closed)
                std::abort();
            continue;
        }
        size_t drawn = 0; // a form feed fills its page with blanks: those are not counted
        for (const DrawEvent& event : printer.events) {
            if (event.kind != DrawEvent::Text || event.text == "\r\n" || event.text == " ")
                continue;
            if (event.text == "\x0E" || event.text == "\x14" || event.text == "\xC4") std::abort();
            drawn += event.text.size();
        }
        if (drawn > report.size()) std::abort();
    }
    return 0;
}
