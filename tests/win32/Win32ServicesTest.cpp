// The platform services on the real Windows calls: files, registry, process, launcher, window
// search and journal; and the spooler's printers through Wine's CUPS bridge, against the private
// cupsd that tests/windows/with-printers starts: queues "laser" (Letter, 300 dpi, printable area
// 12 pt in from each edge) and "tractor" (A4, raw), jobs captured in $PAPYRA_CUPS_DIR/out.
#include "platform/ini/IniProfile.h"
#include "platform/win32/Win32Journal.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32RawPort.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32TextFiles.h"
#include "platform/win32/Windows.h"
#include "printer/ConfiguredDevice.h"
#include "support/ErrorOf.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <regex>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

// Started with $PAPYRA_PROBE set, this program writes to the file it names how it was shown,
// whether it found another instance and its arguments; then it ends before any test runs.
static const bool ProbeAnswered = [] {
    char probe[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("PAPYRA_PROBE", probe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    Win32Process process;
    const std::string another = process.AnotherInstanceRunning() ? "|1|" : "|0|";
    WriteBytes(probe + ".part"s,
               std::to_string(startup.wShowWindow) + another + process.CommandLine());
    MoveFileA((probe + ".part"s).c_str(), probe);
    ExitProcess(0);
}();

// The profile and the text files on real files: bytes exact, a file replaced whole once done,
// refusals before anything changes. How lines split and channels fail is every system's.
TEST(Win32Files, ReplacedWholeKeepingEveryOtherByteOrRefusedWithTheirNumbersChangingNothing) {
    ScratchFolder folder;
    const std::string ini = folder / "RNTME.INI", prt = folder / "PrinterTest.prt",
                      readOnly = folder / "ro.ini";
    WriteBytes(ini, "; Harvex\r\n[printer]\r\nSIZE=old\r\n\r\n[Other]\r\nSize=x\r\n");
    WriteBytes(ini + ".~4000000-1.tmp", "a writer killed");
    const std::string live = ini + ".~" + std::to_string(GetCurrentProcessId()) + "-1.tmp";
    WriteBytes(live, "a writer at work");
    WriteBytes(readOnly, "[A]\r\nk=1\r\n");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder / "dir.ini").c_str(), nullptr);
    IniProfile profile;
    EXPECT_TRUE(profile.WritePrivateProfileStringA("Printer", "Size", "9", ini));
    EXPECT_EQ(ReadBytes(ini), "; Harvex\r\n[printer]\r\nSIZE=9\r\n\r\n[Other]\r\nSize=x\r\n");
    EXPECT_TRUE(DeleteFileA(live.c_str())) << "a live writer's file is left alone";
    for (const std::string& refused : {readOnly, folder / "dir.ini", folder / "lpt1.ini"})
        EXPECT_FALSE(profile.WritePrivateProfileStringA("A", "k", "2", refused)) << refused;

    Win32TextFiles files;
    files.Open(prt, TextFiles::Mode::Output, 1);
    files.Print(1, "A\rB", true);
    EXPECT_EQ(GetFileAttributesA(prt.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing half-written";
    files.Close(1);
    files.Open(prt, TextFiles::Mode::Input, 7);
    const std::string first = files.LineInput(7);
    EXPECT_EQ(first + "|" + files.LineInput(7), "A|B");
    EXPECT_EQ(ErrorOf([&] { files.LineInput(7); }), 62) << "read to its end, and no further";
    const struct {
        std::string name;
        TextFiles::Mode mode;
        int number;
    } opens[] = {
        {folder / "none", TextFiles::Mode::Input, 53},
        {folder / "no\\file", TextFiles::Mode::Input, 76},
        {folder / "no\\file", TextFiles::Mode::Output, 76},
        {folder / "dir.ini", TextFiles::Mode::Input, 75},
        {readOnly, TextFiles::Mode::Output, 70},
        {folder / "LPT1.txt", TextFiles::Mode::Output, 75},
    };
    for (const auto& open : opens)
        EXPECT_EQ(ErrorOf([&] { files.Open(open.name, open.mode, 1); }), open.number) << open.name;
    EXPECT_EQ(ReadBytes(readOnly), "[A]\r\nk=1\r\n");
    EXPECT_EQ(folder.Entries(), 4u) << "no temporary file is left";
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL); // so the folder can go
}

TEST(Win32Registry, ReadsWhatTheSettingsStoreSavedAsTheAnsiCallsGiveIt) {
    const std::string application = "Papyra Tests " + std::to_string(GetCurrentProcessId());
    Win32SettingsStore().SaveSetting(application, "Printer", "DeviceName", "Caf\xE9 Laser");
    Win32Registry registry;
    int32_t handle = 0, untouched = 77;
    EXPECT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER,
                                     "Software\\" + application + "\\Printer", 0,
                                     Registry::KEY_QUERY_VALUE, handle),
              Registry::ERROR_SUCCESS);
    uint32_t type = 0, size = 4;
    uint8_t data[4];
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, data, size),
              Registry::ERROR_MORE_DATA);
    EXPECT_EQ(std::pair(type, size), std::pair(uint32_t(Registry::REG_SZ), 11u)) << "the NUL too";
    RegistryValue value;
    EXPECT_EQ(QueryRegistryValue(registry, handle, "DeviceName", value), 0);
    EXPECT_EQ(std::get<std::string>(value), "Caf\xE9 Laser");
    EXPECT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER,
                                     "Software\\" + application + "\\None", 0,
                                     Registry::KEY_QUERY_VALUE, untouched),
              Registry::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(untouched, 77);
    EXPECT_EQ(registry.RegCloseKey(handle), 0);
    EXPECT_EQ(registry.RegCloseKey(handle), Registry::ERROR_INVALID_HANDLE);
    RegDeleteTreeA(win32::CurrentUserKey, ("Software\\" + application).c_str());
}

// The program the launcher starts is this one as a probe: it is shown maximized, finds this
// process the one instance, and has no arguments.
TEST(Win32Launcher, StartsAProgramMaximizedThatFindsTheOneInstanceAndRefusesWhatIsNoProgram) {
    Win32Process process;
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "no instance yet";
    ScratchFolder folder;
    Win32Launcher launcher;
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder / "harvex.exe"); }), 53);
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder.path()); }), 53);
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    SetEnvironmentVariableA("PAPYRA_PROBE", (folder / "answer").c_str());
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(program); }), 0);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    for (int i = 0; i < 400 && ReadBytes(folder / "answer").empty(); ++i)
        Sleep(50);
    EXPECT_EQ(ReadBytes(folder / "answer"), std::to_string(SW_SHOWMAXIMIZED) + "|1|");
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "still the one instance";
    EXPECT_EQ(Win32Process::ArgumentsOf("C:\\Harvex96\\papyra.exe  C:\\r.prt  x"), " C:\\r.prt  x");
    EXPECT_EQ(Win32Process::ArgumentsOf("\"C:\\a b\\papyra.exe\"\tTEST L "), "TEST L ");
}

TEST(Win32Journal, RecordsInTheLogUnderLocalAppDataNamedInTheAnsiCodePage) {
    ScratchFolder folder;
    const std::string appData = folder.path() + "\\\x80 Caf\xE9"; // the euro sign, an e acute
    char saved[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", saved, MAX_PATH);
    SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str());
    Win32Journal().Record(JobEntry{});
    SetEnvironmentVariableA("LOCALAPPDATA", *saved ? saved : nullptr);
    WIN32_FILE_ATTRIBUTE_DATA log{};
    EXPECT_TRUE(GetFileAttributesExA((appData + "\\Papyra\\papyra.log").c_str(),
                                     GetFileExInfoStandard, &log));
    EXPECT_GT(log.nFileSizeLow, 0u);
}

// A drawn document reaches its queue once ended, and never when dropped unended; the raw port
// delivers every byte to the printer on that port.
TEST(Win32Printing, PrintersComeFromTheSpoolerWithTheirDevModesAndTheirJobsReachTheQueues) {
    char folder[MAX_PATH] = "";
    ASSERT_TRUE(GetEnvironmentVariableA("PAPYRA_CUPS_DIR", folder, MAX_PATH))
        << "run through tests/windows/with-printers";
    const std::string cups = "Z:" + std::string(folder); // drive Z: is the Unix root
    auto laserJobs = [&] {
        const std::string log = ReadBytes(cups + "/log/access_log");
        const std::regex job("/printers/laser .*Create-Job successful");
        return std::distance(std::sregex_iterator(log.begin(), log.end(), job), {});
    };
    const auto before = laserJobs();
    char saved[256] = {};
    DWORD size = sizeof saved;
    GetDefaultPrinterA(saved, &size);
    for (const char* name : {"tractor", "laser"}) {
        ASSERT_TRUE(SetDefaultPrinterA(name));
        Win32Printers others; // gone with its printer, a document it never ended
        EXPECT_EQ(others.Current().DeviceName(), name);
        others.Current().Print("never printed", true);
    }
    SetDefaultPrinterA(saved);
    Win32Printers printers;
    Printer* laser = nullptr;
    Printer* tractor = nullptr;
    for (int i = 0; i < printers.Count(); ++i)
        (printers.Item(i).DeviceName() == "laser" ? laser : tractor) = &printers.Item(i);
    ASSERT_TRUE(laser && tractor && printers.Count() == 2) << printers.Count() << " printers";
    EXPECT_EQ(laser->Port(), "CUPS:laser");
    EXPECT_EQ(laser->PaperSize() * 100 + tractor->PaperSize(), 1 * 100 + 9); // Letter, A4
    laser->SetCopies(3);
    EXPECT_EQ(laser->Copies(), 3);
    // Letter less 12 pt each side: 588 x 768 pt, 20 twips a point; turned once set so.
    EXPECT_FLOAT_EQ(laser->ScaleWidth(), 11760);
    laser->SetOrientation(2);
    EXPECT_EQ(laser->Orientation(), 2);
    EXPECT_EQ(std::pair(laser->ScaleWidth(), laser->ScaleHeight()), std::pair(15360.f, 11760.f));
    laser->SetFontName("Courier New");
    laser->SetFontSize(10.3f); // 42.9 pixels at 300 dpi: the device takes 43
    EXPECT_FLOAT_EQ(laser->FontSize(), 43 * 72 / 300.0f);
    const float one = laser->TextWidth("A");
    EXPECT_NEAR(one, 0.6f * 10.32f * 20, 5) << "a fixed-pitch face, Courier New's advance";
    EXPECT_FLOAT_EQ(laser->TextWidth(std::string(112, 'A')), 112 * one);
    EXPECT_FLOAT_EQ(laser->TextWidth("AB\nABCD\rA"), 4 * one) << "the widest line";
    laser->SetDocumentName("C:\\reports\\kept.prt");
    laser->Print("page one", true);
    laser->NewPage();
    laser->Print("page two", false);
    laser->EndDoc();

    const std::string capture = cups + "/out/tractor";
    DeleteFileA(capture.c_str());
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    Win32RawPort port(printers);
    EXPECT_EQ(ErrorOf([&] { port.Write("x"); }), 52);
    EXPECT_EQ(ErrorOf([&] { port.Open("LPT9:"); }), 52);
    port.Open(tractor->Port());
    EXPECT_EQ(ErrorOf([&] { port.Open(tractor->Port()); }), 55);
    for (const std::string& part : {bytes, std::string(100000, '\x1B'), bytes})
        port.Write(part);
    port.Close();
    for (int i = 0; i < 200 && (laserJobs() == before || ReadBytes(capture).empty()); ++i)
        Sleep(50);
    EXPECT_TRUE(ReadBytes(capture) == bytes + std::string(100000, '\x1B') + bytes);
    EXPECT_EQ(laserJobs(), before + 1);
}
