#include "ui/Form2.h"

#include "printing/PrintReportFile.h"
#include "ui/Design.h"
#include "ui/WindowHandler.h"

namespace papyra {

void Form2::WriteLines(int first, int last) {
    Printer& printer = program.platform.printers.Current();
    for (int line = first; line <= last; ++line) {
        switch (line) {
        case 1:
            view->SetLine(1, "Harvex Printer: " + printer.DeviceName());
            break;
        case 2: {
            const int16_t orientation = printer.Orientation();
            if (orientation == 1) view->SetLine(2, "Orientation: Portrait");
            if (orientation == 2) view->SetLine(2, "Orientation: Landscape");
            break;
        }
        case 3: {
            const int16_t copies = printer.Copies();
            view->SetLine(3, copies == 0 ? "Multiple Copies Not Supported by Printer"
                                         : "Copies: " + std::to_string(copies));
            break;
        }
        case 4:
            view->SetLine(4, "Paper Size: " + std::to_string(printer.PaperSize()));
            break;
        }
    }
}

void Form2::AdjustSettingsClicked() {
    RunWindowHandler(program, [this] {
        Platform& platform = program.platform;
        Printer& printer = platform.printers.Current();
        const PrinterDialogResult chosen =
            platform.dialogs.PrinterDialog(printer, design::PrinterDialogTitle);
        // Stay on this printer even if the system's default changes while the window is open.
        printer.SetTrackDefault(false);
        if (chosen.discarded) {
            platform.dialogs.MessageBox("Settings Discarded", MsgButtons::OK, MsgIcon::None);
            return;
        }
        printer.SetOrientation(chosen.orientation);
        if (printer.Copies() > 0) printer.SetCopies(chosen.copies);
        WriteLines();
    });
}

void Form2::OkClicked() {
    RunWindowHandler(program, [this] {
        // The whole command line, blanks and all, names the report: the window hands it over as
        // is. The document is ended at once, so the pages leave for the printer while the window
        // stays open, as the setup window's test page does.
        PrintReportFile(program, program.platform.process.CommandLine());
        program.platform.printers.Current().EndDoc();
    });
}

} // namespace papyra
