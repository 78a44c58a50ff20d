// The platform services on the real Windows calls; the printers are the private cupsd's queues
// (tests/windows/with-printers): "laser", Letter at 300 dpi less 12 pt each side, "tractor", raw.
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
#include "support/ErrorOf.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <regex>

using namespace papyra;
using namespace papyra::test;
using Mode = TextFiles::Mode;

// Run with $PAPYRA_PROBE set, this program answers the launcher test in that file, and ends.
static const bool ProbeAnswered = [] {
    char probe[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("PAPYRA_PROBE", probe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    Win32Process process;
    const std::string another = process.AnotherInstanceRunning() ? "|1|" : "|0|";
    WriteBytes(std::string(probe) + ".part",
               std::to_string(startup.wShowWindow) + another + process.CommandLine());
    MoveFileA((std::string(probe) + ".part").c_str(), probe);
    ExitProcess(0);
}();

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
    files.Open(prt, Mode::Output, 1);
    files.Print(1, "A\rB", true);
    EXPECT_EQ(GetFileAttributesA(prt.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing half-written";
    files.Close(1);
    files.Open(prt, Mode::Input, 7);
    const std::string first = files.LineInput(7);
    EXPECT_EQ(first + "|" + files.LineInput(7), "A|B");
    EXPECT_EQ(ErrorOf([&] { files.LineInput(7); }), 62) << "read to its end, and no further";
    const std::tuple<std::string, Mode, int> opens[] = {{folder / "none", Mode::Input, 53},
                                                        {folder / "no\\file", Mode::Input, 76},
                                                        {folder / "no\\file", Mode::Output, 76},
                                                        {folder / "dir.ini", Mode::Input, 75},
                                                        {readOnly, Mode::Output, 70},
                                                        {folder / "LPT1.txt", Mode::Output, 75}};
    for (const auto& open : opens)
        EXPECT_EQ(ErrorOf([&] { files.Open(std::get<0>(open), std::get<1>(open), 1); }),
                  std::get<2>(open))
            << std::get<0>(open);
    EXPECT_EQ(folder.Entries(), 4u) << "no temporary file is left";
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL); // so the folder can go

    const std::string appData = folder.path() + "\\\x80 Caf\xE9"; // in the ANSI code page
    SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str()); // none of the other tests reads it
    Win32Journal().Record(JobEntry{});
    EXPECT_NE(GetFileAttributesA((appData + "/Papyra/papyra.log").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Registry, ReadsWhatTheSettingsStoreSavedAsTheAnsiCallsGiveIt) {
    const std::string application = "Papyra Tests " + std::to_string(GetCurrentProcessId());
    const std::string key = "Software\\" + application;
    Win32SettingsStore().SaveSetting(application, "Printer", "DeviceName", "Caf\xE9 Laser");
    Win32Registry registry;
    int32_t handle = 0;
    const uint32_t root = Registry::HKEY_CURRENT_USER, query = Registry::KEY_QUERY_VALUE;
    EXPECT_EQ(registry.RegOpenKeyExA(root, key + "\\Printer", 0, query, handle), 0);
    uint32_t type = 0, size = 4;
    uint8_t data[4];
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, data, size),
              Registry::ERROR_MORE_DATA);
    EXPECT_EQ(std::pair(type, size), std::pair(uint32_t(Registry::REG_SZ), 11u)) << "the NUL too";
    EXPECT_EQ(registry.RegOpenKeyExA(root, key + "\\None", 0, query, handle),
              Registry::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.RegCloseKey(handle), 0) << "the key opened, its handle kept";
    RegDeleteTreeA(win32::CurrentUserKey, key.c_str());
}

// The program launched is this one as a probe.
TEST(Win32Launcher, StartsAProgramMaximizedThatFindsTheOneInstanceAndRefusesWhatIsNoProgram) {
    Win32Process process;
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "no instance yet";
    ScratchFolder folder;
    Win32Launcher launcher;
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder / "harvex.exe"); }), 53);
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder.path()); }), 53);
    SetEnvironmentVariableA("PAPYRA_PROBE", (folder / "answer").c_str());
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(_pgmptr); }), 0);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    for (int i = 0; i < 400 && ReadBytes(folder / "answer").empty(); ++i)
        Sleep(50);
    EXPECT_EQ(ReadBytes(folder / "answer"), std::to_string(SW_SHOWMAXIMIZED) + "|1|");
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "still the one instance";
    EXPECT_EQ(Win32Process::ArgumentsOf("C:\\Harvex96\\papyra.exe  C:\\r.prt  x"), " C:\\r.prt  x");
    EXPECT_EQ(Win32Process::ArgumentsOf("\"C:\\a b\\papyra.exe\"\tTEST L "), "TEST L ");
}

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
    Win32Printers printers;
    SetDefaultPrinterA(saved);
    ASSERT_EQ(printers.Count(), 2);
    Printer* laser = &printers.Current();
    Printer* tractor = &printers.Item(laser == &printers.Item(0) ? 1 : 0);
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
    laser->Print("page one", true);
    laser->NewPage();
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
