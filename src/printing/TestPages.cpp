#include "printing/TestPages.h"

#include "printing/PrintReportFile.h"
#include "profile/SettingsNames.h"

namespace papyra {

const char* const PortraitRuler = "[    1   ][    2   ][    3   ][    4   ][    5   ][    6   ]"
                                  "[    7   ][    8   ][    9   ][   10   ]12345678901";
const char* const LandscapeRuler = "[    1   ][    2   ][    3   ][    4   ][    5   ][    6   ]"
                                   "[    7   ][    8   ][    9   ][   10   ][   11   ][   12   ]"
                                   "[   13   ]1234567";

namespace {

struct TestPageLayout {
    const char* top;
    const char* bottom;
    int rulerLine;
    int lastLine;
    const char* ruler;
    bool formFeed; // a closing form feed, with no line end after it
};

const TestPageLayout PortraitPage = {"Tillwren Print Test [Portrait Mode] -- Top of Form Page",
                                     "Tillwren Print Test [Portrait Mode] -- Bottom of Form Page",
                                     39,
                                     80,
                                     PortraitRuler,
                                     true};
const TestPageLayout LandscapePage = {"Tillwren Print Test [Landscape Mode] -- Top of Form Page",
                                      "Tillwren Print Test [Landscape Mode] -- Bottom of Form Page",
                                      32,
                                      65,
                                      LandscapeRuler,
                                      true};
const TestPageLayout SetupPage = {"Harvex Data System Print Test-- Top of Form Page",
                                  "Harvex Data System -- Bottom of Form Page ",
                                  32,
                                  66,
                                  LandscapeRuler,
                                  false};

std::string WriteTestFile(Program& program, const TestPageLayout& page) {
    Platform& platform = program.platform;
    const std::string path = platform.process.ProgramFolder() + names::TestPrintFile;
    TextFiles& files = platform.files;
    const int channel = 1;
    files.Open(path, TextFiles::Mode::Output, channel);
    for (int line = 1; line <= page.lastLine; ++line) {
        if (line == 1)
            files.Print(channel, page.top, true);
        else if (line == page.lastLine)
            files.Print(channel, page.bottom, true);
        else if (line == page.rulerLine)
            files.Print(channel, page.ruler, true);
        else
            files.Print(channel, std::to_string(line) + "]", true);
    }
    if (page.formFeed) files.Print(channel, "\x0C", false);
    files.Close(channel);
    return path;
}

} // namespace

void PrintTestPage(Program& program) {
    const bool portrait = program.state.PageOrientation == "P";
    const std::string path = WriteTestFile(program, portrait ? PortraitPage : LandscapePage);
    PrintReportFile(program, path);
    program.platform.printers.Current().EndDoc();
}

std::string WriteSetupTestPage(Program& program) {
    return WriteTestFile(program, SetupPage);
}

} // namespace papyra
