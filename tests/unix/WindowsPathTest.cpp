#include "platform/unix/WindowsPath.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

TEST(WindowsPath, DrivePathsResolveBelowDriveCMatchingCaseLikeWindows) {
    ScratchFolder drive;
    std::filesystem::create_directories(drive / "Harvex96/Data");
    WriteBytes(drive / "Harvex96/HARVEX.INI", "");
    ScopedEnv root("PAPYRA_DRIVE_C", drive.path().c_str());
    std::pair<std::string, std::string> cases[] = {
        {"\\Harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
        {"C:\\harvex96\\Harvex.Ini", drive / "Harvex96/HARVEX.INI"},
        {"c:/HARVEX96/data/", drive / "Harvex96/Data/"},
        {"D:\\HARVEX96\\new.ini", drive / "Harvex96/new.ini"},
        {"\\harvex96\\Missing\\New.INI", drive / "Harvex96/Missing/New.INI"},
        {"\\\\Harvex96\\\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
        {drive / "harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"}, // native folder + name
    };
    for (const auto& [windows, native] : cases)
        EXPECT_EQ(NativePath(windows), native) << windows;
}

TEST(WindowsPath, DriveCIsPapyraDriveThenWinePrefixThenRoot) {
    ScopedEnv drive("PAPYRA_DRIVE_C", "/srv/c"), wine("WINEPREFIX", "/home/u/.wine");
    EXPECT_EQ(DriveCRoot(), "/srv/c");
    unsetenv("PAPYRA_DRIVE_C");
    EXPECT_EQ(NativePath("C:\\nowhere-papyra\\x.exe"),
              "/home/u/.wine/drive_c/nowhere-papyra/x.exe");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(NativePath("\\nowhere-papyra\\x.ini"), "/nowhere-papyra/x.ini");
}

TEST(WindowsPath, RelativePathsStayRelativeToTheWorkingFolder) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "Reports");
    WriteBytes(folder / "Reports/Day.PRT", "");
    std::string old = std::filesystem::current_path();
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    EXPECT_EQ(NativePath("reports\\day.prt"), "Reports/Day.PRT");
    EXPECT_EQ(NativePath("new.prt"), "new.prt");
    ASSERT_EQ(chdir(old.c_str()), 0);
}
