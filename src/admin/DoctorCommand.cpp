// papyra-admin doctor: every place papyra reads or writes, resolved as papyra resolves it, and
// checked the way papyra will use it.
#include "admin/Commands.h"
#include "admin/Configured.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"
#include "platform/pdf/TrueTypeFont.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/CupsQueueStatus.h"
#include "platform/unix/PathCheck.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/ProgramFolder.h"
#include "platform/unix/RegistryText.h"
#include "platform/unix/UnixJournal.h"
#include "platform/unix/UserFolders.h"
#include "platform/unix/WindowsPath.h"
#include "profile/SettingsNames.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <iostream>
#include <vector>

namespace papyra::admin {

namespace {

using Json = nlohmann::ordered_json;
using Kind = PathState::Kind;

enum class Level { Ok, Note, Warning, Problem };

struct Finding {
    std::string check, where;
    Level level = Level::Ok;
    std::string detail, fix;
};

class Findings {
public:
    void Add(std::string check, std::string where, Level level, std::string detail,
             std::string fix = "") {
        list.push_back(
            {std::move(check), std::move(where), level, std::move(detail), std::move(fix)});
    }
    const std::vector<Finding>& All() const { return list; }

private:
    std::vector<Finding> list;
};

const char* Name(Level level) {
    switch (level) {
    case Level::Ok:
        return "ok";
    case Level::Note:
        return "note";
    case Level::Warning:
        return "warning";
    case Level::Problem:
        break;
    }
    return "PROBLEM";
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Quote(const std::string& path) {
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A file papyra replaces whole (RNTME.INI, PrinterTest.prt): a link, a FIFO or a folder there,
// or a read-only file, makes its writer fail; failing says whether that stops a job.
void CheckReplacedFile(Findings& findings, const std::string& check, const std::string& path,
                       const std::string& writer, Level failing, const std::string& missing,
                       Level missingLevel = Level::Ok) {
    const PathState state = InspectPath(path);
    switch (state.kind) {
    case Kind::Missing:
        return findings.Add(
            check, path, missingLevel, missing,
            missingLevel == Level::Ok ? "" : "mkdir -p " + Quote(path.substr(0, path.rfind('/'))));
    case Kind::Link:
        return findings.Add(check, path, failing,
                            "a link (to " + state.linkTarget + "): " + writer +
                                " never writes through a link, so it fails",
                            "rm " + Quote(path) + " (" + writer + " writes a new file)");
    case Kind::File:
        if (state.writable) return findings.Add(check, path, Level::Ok, "a file papyra can write");
        return findings.Add(check, path, failing, "read-only: " + writer + " fails",
                            "chmod u+w " + Quote(path));
    default:
        return findings.Add(check, path, failing,
                            "not a regular file (a FIFO, folder or device): " + writer + " fails",
                            "rm -r " + Quote(path) + " (" + writer + " writes a new file)");
    }
}

void CheckRegistry(Findings& findings, const Configured& configured) {
    const std::string& path = configured.registryFile;
    const std::string check = "registry file";
    const std::string where = path + " (" + configured.registryRule + ")";
    const PathState state = InspectPath(path);
    if (state.kind == Kind::Missing)
        return findings.Add(check, where, Level::Note, "missing: nothing configured",
                            "papyra-admin use NAME");
    if (state.kind == Kind::Link)
        findings.Add(check, where, Level::Note,
                     "a link (to " + state.linkTarget +
                         "): papyra reads through it; papyra-admin use does not write through it");
    const std::optional<std::string> bytes = ReadPlainFile(path, size_t{256} << 20);
    if (!bytes) // as papyra reads it, links followed
        return findings.Add(check, where, Level::Warning,
                            "cannot be read as a file: papyra finds nothing configured",
                            "chmod u+r " + Quote(path) + ", or papyra-admin use NAME");
    const auto format = regtext::FormatOfFile(*bytes);
    if (!format)
        return findings.Add(check, where, Level::Warning,
                            "not a registry export: papyra finds nothing configured",
                            "move it away, then papyra-admin use NAME");
    findings.Add(check, where, Level::Ok, regtext::FormatName(*format));
}

// The configured printer, and whether papyra can print to it now. Returns its name (ANSI).
std::string CheckConfigured(Findings& findings, Printers& printers, const Configured& configured) {
    const std::string check = "configured printer";
    const std::string value = "DeviceName \"" + Shown(configured.value) + "\"";
    if (!configured.choice) {
        findings.Add(check, value, Level::Problem, configured.failure,
                     "papyra-admin use NAME|POSITION");
        return "";
    }
    const PrinterChoice& choice = *configured.choice;
    Printer& printer = printers.Item(choice.index);
    const std::string chosen = std::to_string(choice.index) + " " + Shown(printer.DeviceName());
    if (choice.by == PrinterChoice::By::Nothing)
        findings.Add(check, "DeviceName", Level::Note,
                     "nothing configured: papyra prints to " + chosen, "papyra-admin use NAME");
    else if (choice.by == PrinterChoice::By::Position && !IsPosition(configured.value))
        findings.Add(check, value, Level::Warning,
                     "names no printer: papyra prints to " + chosen + ", " + Why(choice),
                     "papyra-admin use NAME");
    else
        findings.Add(check, value, Level::Ok, "papyra prints to " + chosen + ", " + Why(choice));
    try {
        printer.PaperBin();
    } catch (const RuntimeError& failure) {
        findings.Add(check, chosen, Level::Problem,
                     "cannot be asked for its settings: run-time error " +
                         std::to_string(failure.number) + " (" + failure.description() + ")",
                     "lpstat -h \"$CUPS_SERVER\" -l -p " + Shown(printer.DeviceName()));
    }
    return printer.DeviceName();
}

void CheckCups(Findings& findings, const std::string& configuredName) {
    const ServerStatus server = ReadServerStatus();
    if (!server.reachable)
        return findings.Add("CUPS server", server.server, Level::Warning,
                            "does not answer: papyra lists only \"Papyra PDF\"",
                            "start CUPS (systemctl start cups), or set CUPS_SERVER");
    findings.Add("CUPS server", server.server, Level::Ok,
                 std::to_string(server.queues.size()) + " queue(s)");
    for (const QueueStatus& queue : server.queues) {
        const bool configured = Utf8ToAnsi(queue.name) == configuredName;
        const Level failing = configured ? Level::Problem : Level::Warning;
        const std::string check = configured ? "queue (configured)" : "queue";
        const std::string reasons =
            queue.reasons.empty() || queue.reasons == "none" ? "" : " (" + queue.reasons + ")";
        if (queue.state == 5)
            findings.Add(check, queue.name, failing,
                         "stopped" + reasons + ": papyra will not send it a job",
                         "cupsenable " + Quote(queue.name));
        if (!queue.accepting)
            findings.Add(check, queue.name, failing,
                         "rejecting jobs" + reasons + ": papyra will not send it a job",
                         "cupsaccept " + Quote(queue.name));
        if (queue.state != 5 && queue.accepting)
            findings.Add(check, queue.name, Level::Ok,
                         std::string(queue.state == 4 ? "printing" : "idle") + ", accepting jobs" +
                             reasons);
    }
}

void CheckDriveC(Findings& findings) {
    const std::string root = DriveCRoot();
    const std::string rule = !Env("PAPYRA_DRIVE_C").empty() ? "$PAPYRA_DRIVE_C"
                             : !Env("WINEPREFIX").empty()   ? "$WINEPREFIX/drive_c"
                                                            : "the default";
    const PathState state = InspectPath(root);
    if (state.kind == Kind::Folder || (state.kind == Kind::Link && FolderCanBeWritten(root)))
        findings.Add("drive C:", root + " (" + rule + ")", Level::Ok, "a folder");
    else
        findings.Add("drive C:", root + " (" + rule + ")", Level::Warning,
                     "not a folder: harvex.ini and Harvex cannot be found",
                     "set PAPYRA_DRIVE_C to the folder that stands for C:");

    const std::string ini = NativePath(names::HostSettingsFile);
    const bool folderThere = InspectPath(ini.substr(0, ini.rfind('/'))).kind != Kind::Missing;
    CheckReplacedFile(findings, "harvex.ini", ini, "the setup window's save", Level::Warning,
                      folderThere ? "missing: the setup window's save makes it"
                                  : "missing, with its folder: the setup window cannot save "
                                    "the code set for Harvex",
                      folderThere ? Level::Ok : Level::Warning);
}

std::string RuleText(ProgramFolderRule rule) {
    switch (rule) {
    case ProgramFolderRule::Executable:
        return "not installed: the executable's folder";
    case ProgramFolderRule::PapyraHome:
        return "installed papyra: $PAPYRA_HOME";
    case ProgramFolderRule::HarvexFolder:
        return "installed papyra: the Harvex folder on drive C:";
    case ProgramFolderRule::DataHome:
        break;
    }
    return "installed papyra: the user's data folder";
}

void CheckProgramFolder(Findings& findings) {
    const ProgramFolderChoice choice =
        ChooseProgramFolder(ExecutableFolder(), InstalledProgramFolder());
    const std::string& folder = choice.folder;
    const std::string where = folder + " (" + RuleText(choice.rule) + ")";
    const PathState state = InspectPath(folder);
    if (state.kind == Kind::Missing && choice.rule == ProgramFolderRule::DataHome &&
        FolderCanBeWritten(folder))
        findings.Add("program folder", where, Level::Note, "made on papyra's first run");
    else if (FolderCanBeWritten(folder) && state.kind != Kind::Missing)
        findings.Add("program folder", where, Level::Ok, "RNTME.INI and PrinterTest.prt go here");
    else
        findings.Add("program folder", where, Level::Problem,
                     "cannot be written: TEST and UPDATE fail",
                     choice.rule == ProgramFolderRule::Executable
                         ? "chmod u+w " + Quote(folder) + ", or install papyra"
                         : "mkdir -p " + Quote(folder) + " && chmod u+w " + Quote(folder) +
                               ", or set PAPYRA_HOME to a folder you can write");

    CheckReplacedFile(findings, "RNTME.INI", NativePath(folder + names::ProfileFile), "UPDATE",
                      Level::Problem, "missing: papyra UPDATE makes it");
    CheckReplacedFile(findings, "PrinterTest.prt", NativePath(folder + names::TestPrintFile),
                      "TEST", Level::Problem, "missing: papyra TEST makes it");
}

void CheckPdfFolder(Findings& findings) {
    const std::string set = Env("PAPYRA_PDF_DIR");
    const std::string folder = set.empty() ? HomeFolder() + "/Documents/Papyra" : set;
    const std::string where = folder + (set.empty() ? " (the default)" : " ($PAPYRA_PDF_DIR)");
    const PathState state = InspectPath(folder);
    if (!FolderCanBeWritten(folder))
        findings.Add("PDF folder", where, Level::Problem,
                     "cannot be written: \"Papyra PDF\" fails every job",
                     (state.kind == Kind::Missing ? "mkdir -p " : "chmod u+w ") + Quote(folder) +
                         ", or set PAPYRA_PDF_DIR to a folder you can write");
    else if (state.kind == Kind::Missing)
        findings.Add("PDF folder", where, Level::Note, "made with the first PDF");
    else
        findings.Add("PDF folder", where, Level::Ok, "\"Papyra PDF\" writes here");
}

void CheckUserFiles(Findings& findings) {
    const std::string settings = QtSettingsStore::FilePath(names::SettingApplication);
    if (FileCanBeReplaced(settings) ||
        (InspectPath(settings).kind == Kind::Missing &&
         FolderCanBeWritten(settings.substr(0, settings.rfind('/')))))
        findings.Add("settings store", settings, Level::Ok, "the setup window's choice goes here");
    else
        findings.Add("settings store", settings, Level::Warning,
                     "cannot be written: the setup window cannot save the chosen printer",
                     "chmod u+w " + Quote(settings) + " and its folder");

    const std::optional<std::string> lock = LockFolder();
    if (!lock)
        findings.Add("lock folder", "$XDG_RUNTIME_DIR, else ${TMPDIR:-/tmp}/papyra-UID",
                     Level::Warning,
                     "no private folder of this user's: two papyras may run at once",
                     "make $XDG_RUNTIME_DIR a folder of yours with mode 0700");
    else if (InspectPath(*lock + "/papyra.lock").kind == Kind::Link)
        findings.Add("lock folder", *lock, Level::Warning,
                     "papyra.lock is a link: papyra runs without its single-instance lock",
                     "rm " + Quote(*lock + "/papyra.lock"));
    else
        findings.Add("lock folder", *lock, Level::Ok, "private");

    const std::string log = UnixJournal::LogPath();
    const std::string folder = log.substr(0, log.rfind('/'));
    if ((InspectPath(log).kind == Kind::Missing && FolderCanBeWritten(folder)) ||
        (InspectPath(log).kind == Kind::File && InspectPath(log).writable &&
         FolderCanBeWritten(folder)))
        findings.Add("job log", log, Level::Ok, "papyra-admin log reads it");
    else
        findings.Add("job log", log, Level::Warning, "cannot be written: jobs go unlogged",
                     "chmod u+w " + Quote(folder) + " " + Quote(log));
}

void CheckScreenAndFont(Findings& findings) {
    const std::string x = Env("DISPLAY"), wayland = Env("WAYLAND_DISPLAY");
    if (!x.empty() || !wayland.empty())
        findings.Add("display", !x.empty() ? "DISPLAY=" + x : "WAYLAND_DISPLAY=" + wayland,
                     Level::Ok, "papyra shows its messages and windows");
    else
        findings.Add("display", "none", Level::Note,
                     "headless: messages go to stderr, questions are answered Cancel; SETUP "
                     "needs a display");

    try {
        const auto font = ResolveTrueTypeFont("Courier New", false);
        const bool metrics = font->postScriptName.starts_with("LiberationMono") ||
                             font->postScriptName.starts_with("CourierNew");
        findings.Add("font", font->path, metrics ? Level::Ok : Level::Warning,
                     "\"Courier New\" is drawn as " + font->postScriptName +
                         (metrics ? "" : ", whose widths differ: lines may not fit as on Windows"),
                     metrics ? "" : "apt-get install fonts-liberation2");
    } catch (const RuntimeError&) {
        findings.Add("font", "Courier New", Level::Problem,
                     "no font to draw with: every drawn job fails",
                     "apt-get install fonts-liberation2 fontconfig");
    }
}

} // namespace

int Doctor(bool json) {
    Findings findings;
    CupsPrinters printers;
    const Configured configured = ReadConfigured(printers);
    CheckRegistry(findings, configured);
    const std::string configuredName = CheckConfigured(findings, printers, configured);
    CheckCups(findings, configuredName);
    CheckDriveC(findings);
    CheckProgramFolder(findings);
    CheckPdfFolder(findings);
    CheckUserFiles(findings);
    CheckScreenAndFont(findings);

    int problems = 0;
    Json checks = Json::array();
    for (const Finding& finding : findings.All()) {
        problems += finding.level == Level::Problem;
        Json entry = {{"check", finding.check},
                      {"where", finding.where},
                      {"status", finding.level == Level::Problem ? "problem" : Name(finding.level)},
                      {"detail", finding.detail}};
        if (!finding.fix.empty()) entry["fix"] = finding.fix;
        checks.push_back(entry);
        if (json) continue;
        std::string line = Name(finding.level);
        line.resize(9, ' ');
        std::string check = finding.check;
        check.resize(std::max<size_t>(check.size() + 1, 19), ' ');
        std::cout << line << check << finding.where << ": " << finding.detail << "\n";
        if (!finding.fix.empty() && finding.level != Level::Ok)
            std::cout << "         fix: " << finding.fix << "\n";
    }
    if (json)
        std::cout << Json{{"problems", problems}, {"checks", checks}}.dump(2) << "\n";
    else
        std::cout << (problems == 0
                          ? "\nNothing stops a job.\n"
                          : "\n" + std::to_string(problems) + " problem(s) would stop a job.\n");
    return problems == 0 ? Fine : Problem;
}

} // namespace papyra::admin
