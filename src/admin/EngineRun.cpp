#include "admin/EngineRun.h"

#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include "platform/ini/IniProfile.h"
#include "platform/unix/RegistryFile.h"
#include "platform/unix/UnixProcess.h"
#include "platform/unix/UnixTextFiles.h"
#include "printer/SetupPrinter.h"
#include "printing/PrintReportFile.h"
#include "startup/Program.h"
#include "ui/Forms.h"

#include <cstdio>
#include <memory>

namespace papyra::admin {

namespace {

class OnePrinter : public Printers {
public:
    explicit OnePrinter(Printer& printer) : printer(printer) {}
    int Count() override { return 1; }
    Printer& Item(int index) override {
        if (index != 0) throw RuntimeError(9);
        return printer;
    }
    void SetCurrent(int index) override { Item(index); }
    Printer& Current() override { return printer; }

private:
    Printer& printer;
};

class HeadlessDialogs : public Dialogs {
public:
    MsgAnswer MessageBox(const std::string&, MsgButtons buttons, MsgIcon,
                         const std::optional<std::string>&) override {
        // What the box said is told on stderr by the journal, with what it was about.
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
    PrinterDialogResult PrinterDialog(Printer&, const std::string&) override { return {}; }
};

class StderrJournal : public Journal {
public:
    void Tell(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
    void Record(const JobEntry&) override {}
};

class NoSettings : public SettingsStore {
public:
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {
        throw RuntimeError(70);
    }
};

class NoWindows : public WindowFinder {
public:
    bool TopLevelWindowExists(const std::string&) override { return false; }
};

class NoLauncher : public Launcher {
public:
    void Launch(const std::string&) override { throw RuntimeError(53); }
};

class NoForms : public Forms {
public:
    void ShowSetupWindowModal() override {}
    void OpenReviewWindow() override {}
    void CloseAll() override {}
};

class RawPathPrinter : public Printer {
public:
    std::string DeviceName() override { return "raw path"; }
    std::string DriverName() override { return ""; }
    std::string Port() override { return "raw"; }
    int16_t Orientation() override { return orientation; }
    void SetOrientation(int16_t value) override { orientation = value; }
    int16_t PaperSize() override { return 0; }
    int16_t PaperBin() override { return 8; }
    int16_t Copies() override { return 1; }
    void SetCopies(int16_t) override {}
    int16_t ColorMode() override { return 1; }
    int16_t PrintQuality() override { return -1; }
    void SetTrackDefault(bool) override {}
    void SetScaleMode(int16_t) override {}
    float ScaleWidth() override { return Drawn(); }
    float ScaleHeight() override { return Drawn(); }
    void SetFontName(const std::string&) override { Drawn(); }
    float FontSize() override { return Drawn(); }
    void SetFontSize(float) override { Drawn(); }
    void SetFontBold(bool) override { Drawn(); }
    void SetFontUnderline(bool) override { Drawn(); }
    float TextWidth(const std::string&) override { return Drawn(); }
    void SetCurrentX(float) override { Drawn(); }
    void SetCurrentY(float) override { Drawn(); }
    void Print(const std::string&, bool) override { Drawn(); }
    void NewPage() override { Drawn(); }
    void EndDoc() override {}
    void SetDocumentName(const std::string&) override {}

private:
    [[noreturn]] float Drawn() { throw RuntimeError(482).About("the raw path draws nothing"); }
    int16_t orientation = 1;
};

} // namespace

void NoPort::Open(const std::string& port) {
    throw RuntimeError(52).About("port " + port + ": papyra-admin never prints");
}

void NoPort::Write(const std::string&) {
    throw RuntimeError(52);
}

std::unique_ptr<Printer> MakeRawPathPrinter() {
    return std::make_unique<RawPathPrinter>();
}

EngineRun RunPapyraEngine(Printer& printer, RawPort& port, const std::string& report,
                          bool landscape, bool layOut) {
    OnePrinter printers(printer);
    RegistryFile registry(""); // never read: the printer is chosen already
    IniProfile profile;
    NoSettings settings;
    NoWindows windows;
    NoLauncher launcher;
    HeadlessDialogs dialogs;
    UnixProcess process({});
    UnixTextFiles files;
    StderrJournal journal;
    Platform platform{printers, port,    registry, profile, settings, windows,
                      launcher, dialogs, process,  files,   journal};
    NoForms forms;
    Program program{platform, forms, {}, {}, {}};
    const std::string orientation = landscape ? "L" : "P";
    program.state.CommandArgs = {report, "x", orientation};
    program.state.PageOrientation = orientation;

    EngineRun run;
    try {
        printer.SetScaleMode(1); // twips, as Main sets them
        if (layOut) {
            LayOutPage(program);
            run.fontSize = printer.FontSize();
            run.lineHeight = program.state.LineHeight;
            run.lineSlots = static_cast<int>(program.state.LineBuf.size());
        }
        PrintReportFile(program, report);
        printer.EndDoc();
        run.done = true;
    } catch (const ProgramEnd&) {
        // The engine's handler has told what failed and ended the run.
    } catch (...) {
        const RuntimeError failure = AsRuntimeError(std::current_exception());
        NoteFailure(program, failure, true);
    }
    return run;
}

} // namespace papyra::admin
