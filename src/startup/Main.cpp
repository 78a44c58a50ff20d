#include "startup/Main.h"

#include "platform/RuntimeError.h"
#include "printer/SetupPrinter.h"
#include "printing/PrintReportFile.h"
#include "printing/TestPages.h"
#include "profile/SettingsNames.h"
#include "ui/Forms.h"

namespace papyra {

namespace {

const std::string& Word(const ModuleState& state, size_t index) {
    if (index >= state.CommandArgs.size()) throw RuntimeError(9);
    return state.CommandArgs[index];
}

// Everything after the instance check: any failure here ends the program without a word.
void Dispatch(Program& program, const std::string& commandLine) {
    Platform& platform = program.platform;
    ModuleState& state = program.state;
    if (commandLine.empty()) platform.process.End(ExitStatus::EndedSilently);

    const std::string mode = Word(state, 0);
    program.job.mode = mode == "TEST" || mode == "SETUP" || mode == "UPDATE" ? mode : "print";
    if (program.job.mode == "print") program.job.report = mode;
    state.PageOrientation = mode == "TEST" ? Word(state, 1) : Word(state, 2);
    state.ProfilePath = platform.process.ProgramFolder() + names::ProfileFile;
    SetupPrinter(program);

    if (mode == "SETUP") {
        if (!platform.windows.TopLevelWindowExists(names::HostWindowTitle))
            state.HostNotRunning = true;
        program.forms.OpenReviewWindow();
        return;
    }
    if (mode == "TEST") {
        state.PageOrientation = Word(state, 1);
        PrintTestPage(program);
        platform.process.End(ExitStatus::Done);
    }
    PrintReportFile(program, mode);
    platform.printers.Current().EndDoc();
    platform.process.End(ExitStatus::Done);
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    if (line.empty()) return words;
    size_t start = 0;
    for (;;) {
        const size_t space = line.find(' ', start);
        words.push_back(line.substr(start, space - start));
        if (space == std::string::npos) return words;
        start = space + 1;
    }
}

void Main(Program& program, MainPass pass) {
    Platform& platform = program.platform;
    ModuleState& state = program.state;
    platform.printers.Current().SetScaleMode(1); // twips: every page measure in one unit
    platform.process.Sleep(500);
    state.HostNotRunning = false;
    const std::string commandLine = platform.process.CommandLine();
    state.CommandArgs = SplitCommandLine(commandLine);
    if (pass == MainPass::First && platform.process.AnotherInstanceRunning())
        platform.process.End(ExitStatus::AnotherRunning);

    try {
        Dispatch(program, commandLine);
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
        const RuntimeError failure = AsRuntimeError(std::current_exception());
        NoteFailure(program, failure, failure.reported);
        platform.process.End(failure.reported ? ExitStatus::Failed : ExitStatus::EndedSilently);
    }
}

} // namespace papyra
