#include "printer/SetupPrinter.h"

#include "platform/RuntimeError.h"
#include "printer/ConfiguredDevice.h"
#include "printer/UpdatePrinterProfile.h"

#include <climits>

namespace papyra {

PrinterChoice ChooseConfiguredPrinter(Printers& printers, const std::string& configured) {
    PrinterChoice choice;
    choice.position = LeadingPosition(configured);
    // A position outside the collection fails here, before the walk, even when a printer of the
    // configured name exists.
    const int count = printers.Count();
    if (choice.position < 0 || choice.position >= count) throw RuntimeError(9);
    choice.index = static_cast<int>(choice.position);
    choice.by = configured.empty() ? PrinterChoice::By::Nothing : PrinterChoice::By::Position;

    for (int i = 0; i < count; ++i) {
        if (printers.Item(i).DeviceName() == configured) {
            choice.index = i;
            choice.by = PrinterChoice::By::Name;
            break;
        }
    }
    return choice;
}

void LayOutPage(Program& program) {
    ModuleState& state = program.state;
    Printer& printer = program.platform.printers.Current();

    const bool landscape = state.PageOrientation == "L";
    std::string measuringLine;
    if (landscape) {
        state.LineBuf.assign(67, std::string());
        measuringLine.assign(138, 'A');
        printer.SetOrientation(2);
    } else {
        state.LineBuf.assign(83, std::string());
        printer.SetOrientation(1);
        measuringLine.assign(112, 'A');
    }

    printer.SetFontName("Courier New");
    printer.SetFontSize(8);
    const float height = printer.ScaleHeight();
    float size = printer.FontSize();
    float textWidth = printer.TextWidth(measuringLine);
    const float width = printer.ScaleWidth();

    // Text width grows about in proportion to size, so one estimate lands close; the loop only
    // ever steps down, and a line exactly as wide as the page fits.
    if (textWidth == 0) throw RuntimeError(11);
    size = width * size / textWidth;
    for (;;) {
        printer.SetFontSize(size);
        textWidth = printer.TextWidth(measuringLine);
        if (textWidth <= width) break;
        size = size - 0.05f;
    }

    state.LineHeight = landscape ? height / 66 : height / 81;
    // A tractor-fed printer takes the raw path, whose pages are the file's own.
    if (printer.PaperBin() == 8) state.LineBuf.assign(67, std::string());
}

long long LeadingPosition(const std::string& name) {
    size_t i = name.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (name[i] == '-' || name[i] == '+') negative = name[i++] == '-';
    long long number = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        number = number * 10 + (name[i] - '0');
        if (number > INT_MAX) break; // far out of range already
    }
    return negative ? -number : number;
}

void SetupPrinter(Program& program) {
    Platform& platform = program.platform;
    platform.printers.SetCurrent(
        ChooseConfiguredPrinter(platform.printers, GetConfiguredDevice(platform.registry)).index);
    NoteJobPrinter(program);

    const bool update = program.state.CommandArgs.at(0) == "UPDATE";
    if (update) UpdatePrinterProfile(program);

    LayOutPage(program);
    // A profile that could not be written ends the run as a silent failure, for the exit status and
    // the job log; nothing on screen says so.
    if (update)
        platform.process.End(program.job.error ? ExitStatus::EndedSilently : ExitStatus::Done);
}

} // namespace papyra
