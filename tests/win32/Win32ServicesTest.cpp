// The registry, settings store, process, window search, launcher and journal against the real
// Windows calls, with real second processes where the behaviour is between processes.
#include "platform/win32/Win32Journal.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32WindowFinder.h"
#include "printer/ConfiguredDevice.h"
#include "win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

namespace {

// Started as a probe, this program writes to the file $PAPYRA_PROBE names how it was shown, or
// after "instance:" whether it found another instance and its arguments; then it ends before
// any test runs.
const bool ProbeAnswered = [] {
    char probe[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("PAPYRA_PROBE", probe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string file(probe, length);
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    std::string answer = std::to_string(startup.wShowWindow);
    if (file.rfind("instance:", 0) == 0) {
        Win32Process process;
        answer = (process.AnotherInstanceRunning() ? "1|" : "0|") + process.CommandLine();
        file.erase(0, file.find(':') + 1);
    }
    WriteBytes(file + ".part", answer);
    MoveFileA((file + ".part").c_str(), file.c_str());
    ExitProcess(0);
}();

std::string ExecutablePath() {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

TEST(Win32Registry, ReadsWhatTheSettingsStoreSavedAsTheAnsiCallsGiveIt) {
    const std::string application = "Papyra Tests " + std::to_string(GetCurrentProcessId());
    struct Key {
        const std::string path;
        ~Key() { RegDeleteTreeA(win32::CurrentUserKey, path.c_str()); }
    } key{"Software\\" + application};
    Win32SettingsStore().SaveSetting(application, "Printer", "DeviceName", "Caf\xE9 Laser");

    Win32Registry registry;
    int32_t handle = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, key.path + "\\Printer", 0,
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

    int32_t untouched = 77;
    EXPECT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, key.path + "\\None", 0,
                                     Registry::KEY_QUERY_VALUE, untouched),
              Registry::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(untouched, 77);
    EXPECT_EQ(registry.RegCloseKey(handle), 0);
    EXPECT_EQ(registry.RegCloseKey(handle), Registry::ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, nullptr, size),
              Registry::ERROR_INVALID_HANDLE);
}

TEST(Win32Process, TheFirstCallMakesThisProcessTheOneInstanceAndArgumentsLoseTheProgramName) {
    Win32Process process;
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "no instance yet";
    // Another process, started with its name quoted and blanks to keep.
    ScratchFolder folder;
    SetEnvironmentVariableA("PAPYRA_PROBE", ("instance:" + folder / "answer").c_str());
    std::string line = "\"" + ExecutablePath() + "\"  TEST  P";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION probe{};
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &probe);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    ASSERT_TRUE(started);
    WaitForSingleObject(probe.hProcess, 30000);
    CloseHandle(probe.hThread);
    CloseHandle(probe.hProcess);
    EXPECT_EQ(ReadBytes(folder / "answer"), "1| TEST  P");
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "still the one instance";

    const std::pair<std::string, std::string> lines[] = {
        {"C:\\Harvex96\\papyra.exe  C:\\r.prt  x", " C:\\r.prt  x"},
        {"\"C:\\Program Files\\papyra.exe\"", ""},
        {"\"C:\\a b\\papyra.exe\"\tTEST L ", "TEST L "},
        {"papyra.exe", ""},
    };
    for (const auto& [commandLine, arguments] : lines)
        EXPECT_EQ(Win32Process::ArgumentsOf(commandLine), arguments) << commandLine;
}

TEST(Win32WindowFinder, FindsATopLevelWindowByItsExactTitle) {
    HWND window = CreateWindowExA(0, "STATIC", "Harvex Finder Test", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    Win32WindowFinder finder;
    EXPECT_TRUE(finder.TopLevelWindowExists("Harvex Finder Test"));
    for (const std::string& title : {"harvex finder test"s, "Harvex Finder"s, "Harvex\0Finder"s})
        EXPECT_FALSE(finder.TopLevelWindowExists(title)) << title;
    DestroyWindow(window);
    EXPECT_FALSE(finder.TopLevelWindowExists("Harvex Finder Test"));
}

TEST(Win32Launcher, StartsAProgramMaximizedAndRefusesWhatIsNoProgram) {
    ScratchFolder folder;
    Win32Launcher launcher;
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder / "harvex.exe"); }), 53);
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder.path); }), 53);
    SetEnvironmentVariableA("PAPYRA_PROBE", (folder / "shown").c_str());
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(ExecutablePath()); }), 0);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    EXPECT_EQ(ReadBytes(folder / "shown", true), std::to_string(SW_SHOWMAXIMIZED));
}

TEST(Win32Journal, AppendsRunsToTheLogUnderLocalAppData) {
    ScratchFolder folder;
    const std::string appData = folder / "\x80 Caf\xE9"; // the euro sign and an e acute
    char saved[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", saved, MAX_PATH);
    SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str());
    JobEntry entry;
    for (const char* mode : {"TEST", "UPDATE"})
        entry.mode = mode, Win32Journal().Record(entry);
    SetEnvironmentVariableA("LOCALAPPDATA", *saved ? saved : nullptr);
    const std::string log = ReadBytes(appData + "\\Papyra\\papyra.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find("\"mode\":\"UPDATE\""), std::string::npos) << log;
}

} // namespace
