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

// Started as a probe, this program answers and ends before any test runs.
const bool ProbeAnswered = [] {
    char probe[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("PAPYRA_PROBE", probe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::string what(probe, length);
    std::string answer;
    if (what.rfind("instance:", 0) == 0) {
        Win32Process process;
        answer = (process.AnotherInstanceRunning() ? "1|" : "0|") + process.CommandLine();
    } else {
        STARTUPINFOA startup{};
        GetStartupInfoA(&startup);
        answer = std::to_string(startup.wShowWindow);
    }
    const std::string file = what.substr(what.find(':') + 1);
    WriteBytes(file + ".part", answer);
    MoveFileA((file + ".part").c_str(), file.c_str());
    ExitProcess(0);
}();

// Runs this program as an instance probe with the command line given after its quoted name.
std::string InstanceProbe(const ScratchFolder& folder, const std::string& arguments) {
    const std::string answer = folder / "instance.txt";
    DeleteFileA(answer.c_str());
    SetEnvironmentVariableA("PAPYRA_PROBE", ("instance:" + answer).c_str());
    std::string line = "\"" + ExecutablePath() + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    if (!started) return "not started";
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ReadBytes(answer);
}

struct TestKey {
    const std::string path = "Software\\Papyra Tests " + std::to_string(GetCurrentProcessId());
    ~TestKey() { RegDeleteTreeA(win32::CurrentUserKey, path.c_str()); }
};

} // namespace

TEST(Win32Registry, ReadsValuesAsTheAnsiCallsGiveThem) {
    TestKey key;
    HKEY written;
    ASSERT_EQ(RegCreateKeyExA(win32::CurrentUserKey, (key.path + "\\Printer").c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &written, nullptr),
              0);
    RegSetValueExA(written, "DeviceName", 0, win32::StringValue,
                   reinterpret_cast<const BYTE*>("Caf\xE9 Laser"), 11);
    RegCloseKey(written);

    Win32Registry registry;
    int32_t handle = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(Registry::HKEY_CURRENT_USER, key.path + "\\Printer\\", 0,
                                     Registry::KEY_QUERY_VALUE, handle),
              Registry::ERROR_SUCCESS);
    uint32_t type = 0, size = 4;
    uint8_t data[16] = {};
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, data, size),
              Registry::ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    size = sizeof data;
    EXPECT_EQ(registry.RegQueryValueExA(handle, "DeviceName", type, data, size), 0);
    EXPECT_EQ(type, Registry::REG_SZ);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "Caf\xE9 Laser\0"s);
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

TEST(Win32SettingsStore, SavesAStringUnderSoftwareApplicationSection) {
    TestKey key;
    const std::string application = key.path.substr(std::string("Software\\").size());
    Win32SettingsStore().SaveSetting(application, "Printer", "Device", "Caf\xE9");
    Win32SettingsStore().SaveSetting(application, "Printer", "Device", "laser");
    char value[16] = {};
    DWORD size = sizeof value, type = 0;
    RegGetValueA(win32::CurrentUserKey, (key.path + "\\Printer").c_str(), "Device", RRF_RT_ANY,
                 &type, value, &size);
    EXPECT_EQ(std::string(value, size) + std::to_string(type), "laser"s + '\0' + "1");
}

TEST(Win32Process, TheFirstCallMakesThisProcessTheOneInstance) {
    ScratchFolder folder;
    EXPECT_EQ(InstanceProbe(folder, "  TEST  P"), "0| TEST  P") << "no instance yet";
    Win32Process process;
    EXPECT_FALSE(process.AnotherInstanceRunning());
    EXPECT_EQ(InstanceProbe(folder, " x"), "1|x");
    EXPECT_FALSE(process.AnotherInstanceRunning()) << "still the one instance";
}

TEST(Win32Process, CommandLineLosesTheProgramNameAndOneBlank) {
    std::pair<std::string, std::string> cases[] = {
        {"papyra.exe UPDATE x P", "UPDATE x P"},
        {"C:\\Harvex96\\papyra.exe  C:\\r.prt  x", " C:\\r.prt  x"},
        {"\"C:\\Program Files\\papyra.exe\"", ""},
        {"\"C:\\a b\\papyra.exe\"\tTEST L ", "TEST L "},
        {"papyra.exe", ""},
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(Win32Process::ArgumentsOf(line), arguments) << line;
}

TEST(Win32WindowFinder, FindsATopLevelWindowByItsExactTitle) {
    HWND window = CreateWindowExA(0, "STATIC", "Harvex Finder Test", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
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
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(folder.path()); }), 53);
    SetEnvironmentVariableA("PAPYRA_PROBE", ("shown:" + folder / "shown.txt").c_str());
    EXPECT_EQ(ErrorOf([&] { launcher.Launch(ExecutablePath()); }), 0);
    SetEnvironmentVariableA("PAPYRA_PROBE", nullptr);
    EXPECT_EQ(WaitForFile(folder / "shown.txt"), std::to_string(SW_SHOWMAXIMIZED));
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
