// The print-file engine on the fakes: whatever a report holds, the raw path sends the set-up
// bytes, every line (em dash as the box line, a form feed alone as itself) and the closing
// bytes; the drawn path draws every character that is no emphasis code, and both end normally.
#include "fakes/FakePlatform.h"
#include "printing/PrintReportFile.h"

#include <cstdio>
#include <cstdlib>

using namespace papyra;
using namespace papyra::fakes;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string report(reinterpret_cast<const char*>(data), size);
    for (bool raw : {true, false}) {
        World world;
        FakePrinter& printer = world.printers.CurrentFake();
        printer.paperBin = raw ? 8 : 7;
        world.program.state.PageOrientation = size % 2 ? "P" : "L";
        world.program.state.LineBuf.assign(size % 2 ? 83 : 67, "");
        world.program.state.LineHeight = 100;
        world.files.contents["r.prt"] = report;
        PrintReportFile(world.program, "r.prt");
        for (const auto& box : world.dialogs.boxes) {
            std::fprintf(stderr, "box: %s\n", box.text.c_str());
            std::abort();
        }
        if (raw) {
            const std::string& sent = world.rawPort.bytes;
            if (sent.rfind("\x12\x1BP\x1Bt\x01", 0) != 0 || !world.rawPort.closed) std::abort();
            if (!sent.ends_with("\x12\x1BP\x1B" "2\x1B" "CB")) std::abort();
            if (sent.find('\x97') != std::string::npos) std::abort();
            continue;
        }
        size_t drawn = 0; // a form feed fills its page with blanks: those are not counted
        for (const DrawEvent& event : printer.events) {
            if (event.kind != DrawEvent::Text || event.text == "\r\n" || event.text == " ") continue;
            if (event.text == "\x0E" || event.text == "\x14" || event.text == "\xC4") std::abort();
            drawn += event.text.size();
        }
        if (drawn > report.size()) std::abort();
    }
    return 0;
}
