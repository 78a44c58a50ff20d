#include "platform/unix/WindowsPath.h"
#include "ScratchFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace papyra;
using namespace papyra::test;

TEST(WindowsPath, DrivePathsResolveBelowDriveCMatchingCaseLikeWindows) {
    ScratchFolder drive;
    std::filesystem::create_directories(drive / "Harvex96/Data");
    WriteBytes(drive / "Harvex96/HARVEX.INI", "");
    ScopedEnv root("PAPYRA_DRIVE_C", drive.path().c_str());

    struct Case {
        std::string windows, native;
    } cases[] = {
        {"\\Harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
        {"C:\\harvex96\\Harvex.Ini", drive / "Harvex96/HARVEX.INI"},
        {"c:/HARVEX96/data/", drive / "Harvex96/Data/"},
        {"D:\\HARVEX96\\new.ini", drive / "Harvex96/new.ini"},
        {"\\harvex96\\Missing\\New.INI", drive / "Harvex96/Missing/New.INI"},
        {"\\\\Harvex96\\\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
        // A native folder with a Windows file name appended to it.
        {drive / "harvex96\\harvex.ini", drive / "Harvex96/HARVEX.INI"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NativePath(c.windows), c.native) << c.windows;
}

TEST(WindowsPath, DriveCIsPapyraDriveThenWinePrefixThenRoot) {
    {
        ScopedEnv drive("PAPYRA_DRIVE_C", "/srv/c");
        ScopedEnv wine("WINEPREFIX", "/home/u/.wine");
        EXPECT_EQ(DriveCRoot(), "/srv/c");
    }
    {
        ScopedEnv drive("PAPYRA_DRIVE_C", nullptr);
        ScopedEnv wine("WINEPREFIX", "/home/u/.wine");
        EXPECT_EQ(DriveCRoot(), "/home/u/.wine/drive_c");
        EXPECT_EQ(NativePath("C:\\nowhere-papyra\\x.exe"),
                  "/home/u/.wine/drive_c/nowhere-papyra/x.exe");
    }
    ScopedEnv drive("PAPYRA_DRIVE_C", nullptr);
    ScopedEnv wine("WINEPREFIX", nullptr);
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
