#pragma once
// Papyra's own engine run on one printer object, outside papyra: the page laid out as
// SetupPrinter lays it out and the report printed as PrintReportFile prints it, with the logic's
// own code. Nothing else of papyra runs: no registry lookup, no lock, no window, no job log. What
// papyra would tell on stderr is told on stderr; a message box is answered as headless papyra
// answers it (a question: Cancel), so a failure ends the run.
#include "platform/Printer.h"
#include "platform/RawPort.h"

#include <memory>
#include <string>

namespace papyra::admin {

struct EngineRun {
    bool done = false;
    // The layout, when it was made.
    float fontSize = 0, lineHeight = 0;
    int lineSlots = 0; // LineBuf's size
};

// landscape: the orientation word "L", else "P", as papyra's command line gives it. layOut: the
// drawn path needs the page laid out; the raw path does not look at it.
EngineRun RunPapyraEngine(Printer& printer, RawPort& port, const std::string& report,
                          bool landscape, bool layOut);

// A raw-path printer for RunPapyraEngine: its PaperBin is 8, so the engine sends bytes, never
// pages. Any drawing is a printer error.
std::unique_ptr<Printer> MakeRawPathPrinter();

// A port that keeps what it is sent.
class CapturedPort : public RawPort {
public:
    void Open(const std::string&) override { bytes.clear(); }
    void Write(const std::string& more) override { bytes += more; }
    void Close() override {}
    std::string bytes;
};

// A port that never opens: whatever takes the raw path here must not reach a printer.
class NoPort : public RawPort {
public:
    void Open(const std::string& port) override;
    void Write(const std::string&) override;
    void Close() override {}
};

} // namespace papyra::admin
