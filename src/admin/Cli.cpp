#include "admin/Commands.h"

#include <CLI/CLI.hpp>

#include <functional>

namespace papyra::admin {

namespace {

const char* const ExitCodes = "\nExit status: 0 fine; 1 a problem found, or the command failed; "
                              "2 the command line is wrong.";

} // namespace

int RunAdmin(int argc, char** argv) {
    CLI::App app{"papyra-admin: look at and set up what papyra prints with, without printing."};
    app.footer(ExitCodes);
    app.set_version_flag("--version", PAPYRA_VERSION);
    app.require_subcommand(1);
    std::function<int()> command;

    bool json = false;
    CLI::App* printers = app.add_subcommand(
        "printers", "Papyra's printers in its order, their codes and paths, the configured one "
                    "marked with why.");
    printers->add_flag("--json", json, "one JSON object");
    printers->callback([&] { command = [&] { return ListPrinters(json); }; });

    std::string chosen;
    CLI::App* use = app.add_subcommand(
        "use", "Configure the printer papyra prints to: DeviceName in the registry file papyra "
               "reads. A name selects that printer; a number selects by position, and is "
               "written as the number.");
    use->add_option("NAME|POSITION", chosen, "a printer's name, or its position")->required();
    use->callback([&] { command = [&] { return UsePrinter(chosen); }; });

    PreviewOptions preview;
    CLI::App* previewCommand = app.add_subcommand(
        "preview", "Draw a report's pages as papyra lays them out for a printer, into a PDF or "
                   "a PNG file. Never prints.");
    previewCommand->add_option("REPORT", preview.report, "the report file")->required();
    previewCommand->add_flag("--landscape", preview.landscape, "landscape, as papyra's L");
    previewCommand->add_option("-o,--output", preview.output,
                               "FILE.pdf, or FILE.png for one page (default REPORT-preview.pdf "
                               "in this folder)");
    previewCommand->add_option("--printer", preview.printer,
                               "the printer's name or position (default: the configured one)");
    previewCommand->add_option("--page", preview.page, "the page a PNG shows")
        ->check(CLI::PositiveNumber);
    previewCommand->add_option("--dpi", preview.dpi, "a PNG's resolution")
        ->check(CLI::Range(10.0, 1200.0));
    previewCommand->callback([&] { command = [&] { return Preview(preview); }; });

    std::string file;
    bool report = false, landscape = false;
    CLI::App* decode = app.add_subcommand(
        "decode", "Show a raw ESC/P stream as readable lines: text as text, control sequences "
                  "by name.");
    decode->add_option("FILE", file, "a captured raw job, or with --report a report file")
        ->required();
    decode->add_flag("--report", report,
                     "FILE is a report: decode what papyra's raw path would send for it");
    decode->add_flag("--landscape", landscape, "with --report: landscape, as papyra's L")
        ->needs("--report");
    decode->callback([&] { command = [&] { return Decode(file, report, landscape); }; });

    CLI::App* doctor = app.add_subcommand(
        "doctor", "Check every place papyra reads or writes, the CUPS server and its queues; "
                  "one line of fix for each problem.");
    doctor->add_flag("--json", json, "one JSON object");
    doctor->callback([&] { command = [&] { return Doctor(json); }; });

    int count = 10;
    CLI::App* log = app.add_subcommand("log", "The last jobs from papyra's job log.");
    log->add_option("-n", count, "how many (default 10)")->check(CLI::NonNegativeNumber);
    log->add_flag("--json", json, "the log's own JSON objects, as one array");
    log->callback([&] { command = [&] { return ShowLog(count, json); }; });

    for (CLI::App* sub : {printers, use, previewCommand, decode, doctor, log})
        sub->footer(ExitCodes);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and the version are answers; anything else is a command line that is wrong.
        return app.exit(error) == 0 ? Fine : Usage;
    }
    return command ? command() : Usage;
}

} // namespace papyra::admin
