#include "printer/UpdatePrinterProfile.h"

#include "printer/CapabilityText.h"
#include "profile/FileIO.h"
#include "profile/SettingsNames.h"

namespace papyra {

void UpdatePrinterProfile(Program& program) {
    Printer& printer = program.platform.printers.Current();
    FileIO profile(program.platform);
    profile.Filename = program.state.ProfilePath;
    profile.accessmode = 0;
    profile.Heading = names::PrinterSection;

    // Each value is read from the printer at the moment of its own write.
    auto write = [&](const char* key, ProfileText value) {
        profile.Keyword = key;
        profile.NewValue = std::move(value);
        profile.FileOUT();
    };
    write(names::PaperSizeKey, DescribePaperSize(printer));
    write(names::SizeKey, printer.PaperSize());
    write(names::OrientationKey, OrientationText(printer.Orientation()));
    write(names::OrientKey, printer.Orientation());
    write(names::PaperSourceKey, DescribePaperBin(printer));
    write(names::SourceKey, printer.PaperBin());
    write(names::PrinterCopiesKey, DescribeCopies(printer));
    write(names::CopiesKey, printer.Copies());
    write(names::ColorModeKey, DescribeColorMode(printer));
    write(names::ColorKey, printer.ColorMode());
    write(names::PrintQualityKey, DescribePrintQuality(printer));
    write(names::QualityKey, printer.PrintQuality());
    if (profile.WritesFailed())
        NoteFailure(program, RuntimeError(75).About(program.state.ProfilePath), false);
}

} // namespace papyra
