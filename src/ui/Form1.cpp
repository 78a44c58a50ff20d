#include "ui/Form1.h"

#include "printing/PrintReportFile.h"
#include "printing/TestPages.h"
#include "profile/FileIO.h"
#include "profile/SettingsNames.h"
#include "ui/WindowHandler.h"

namespace papyra {

namespace {
const int16_t TractorFeed = 8;
} // namespace

void Form1::Load() {
    RunWindowHandler(program, [this] {
        Printers& printers = program.platform.printers;
        std::vector<std::string> names;
        const int count = printers.Count();
        for (int i = 0; i < count; ++i)
            names.push_back(printers.Item(i).DeviceName());
        view->ListPrinters(names); // no printer is picked for the user
        view->ShowHostWarning(program.state.HostNotRunning);
    });
}

void Form1::Picked(int position) {
    selectedPosition = position;
    RunWindowHandler(program, [this, position] { Pick(position); });
}

void Form1::Typed() {
    selectedPosition = -1;
}

void Form1::Pick(int position) {
    Printers& printers = program.platform.printers;
    printers.SetCurrent(position);
    Printer& printer = printers.Current();
    view->SetPortLine("Connected to: " + printer.Port());
    view->SetDriverLine("Driver Name: " + printer.DriverName());
    const bool tractor = printer.PaperBin() == TractorFeed;
    view->SetBanner(tractor ? "Dot-Matrix Printer" : "Laser / Inkjet Printer");
    view->ShowCodeSetFrame(tractor);
    view->SelectPaperFeed(tractor);
}

void Form1::PrinterTestClicked() {
    RunWindowHandler(program, [this] {
        PrintReportFile(program, WriteSetupTestPage(program));
        // End the job at once, so the page leaves the spooler while the window stays open.
        program.platform.printers.Current().EndDoc();
    });
}

void Form1::OkClicked() {
    RunWindowHandler(program, [this] {
        Platform& platform = program.platform;
        const bool hostFound = platform.windows.TopLevelWindowExists(names::HostWindowTitle);
        SavePrinterSettings();
        if (!hostFound || program.state.HostNotRunning)
            platform.launcher.Launch(names::HostProgram);
        view->Unload();
    });
}

void Form1::CancelClicked() {
    RunWindowHandler(program, [this] {
        view->Unload();
        program.platform.process.End(ExitStatus::Failed); // the job it was opened for is dropped
    });
}

void Form1::SavePrinterSettings() {
    Platform& platform = program.platform;
    Printer& printer = platform.printers.Current();
    platform.settings.SaveSetting(names::SettingApplication, names::SettingSection,
                                  names::SettingDeviceKey,
                                  printer.DeviceName() + " On " + printer.Port());

    FileIO profile(platform);
    profile.Filename = program.state.ProfilePath;
    profile.Heading = names::PrinterSection;
    profile.Keyword = names::DeviceKey;
    profile.NewValue = selectedPosition;
    profile.FileOUT();
    profile.Keyword = names::DeviceNameKey;
    profile.NewValue = printer.DeviceName();
    profile.FileOUT();
    profile.Keyword = names::PortKey;
    profile.NewValue = printer.Port();
    profile.FileOUT();

    profile.Filename = names::HostSettingsFile;
    profile.Heading = names::HostSettingsSection;
    profile.Keyword = names::PrinterCodeSetKey;
    profile.NewValue = view->IbmSelected() ? "I" : "E";
    profile.FileOUT();

    // With no entry picked (or the list typed over) there is no position to return to: the
    // current printer stays as it is.
    if (selectedPosition >= 0) platform.printers.SetCurrent(selectedPosition);
}

} // namespace papyra
