// Where RNTME.INI and PrinterTest.prt live: beside a papyra that is not installed, and for an
// installed one the first of $PAPYRA_HOME, the Harvex folder, the user's data folder.
#include "platform/unix/ProgramFolder.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace papyra;
using namespace papyra::test;
namespace fs = std::filesystem;

namespace {

TEST(ProgramFolder, InstalledPapyraUsesTheFirstRuleThatApplies) {
    ScratchFolder root;
    fs::create_directories(root / "usr/bin");
    fs::create_directory_symlink("usr/bin", root / "bin"); // a merged /usr
    fs::create_directories(root / "c/harvex96");
    fs::create_directories(root / "build");
    ScopedEnv home("HOME", (root / "home").c_str()), data("XDG_DATA_HOME", nullptr);
    ScopedEnv drive("PAPYRA_DRIVE_C", (root / "c").c_str()), prefix("WINEPREFIX", nullptr);

    struct Case {
        const char* what;
        std::string executable, papyraHome;
        bool harvex;
        std::string folder;
        ProgramFolderRule rule;
    } cases[] = {
        {"not installed", root / "build", root / "h", true, root / "build",
         ProgramFolderRule::Executable},
        {"$PAPYRA_HOME", root / "bin", root / "h", true, root / "h", ProgramFolderRule::PapyraHome},
        {"Harvex folder, found in any case", root / "usr/bin", "", true, root / "c/harvex96",
         ProgramFolderRule::HarvexFolder},
        {"data folder", root / "usr/bin", "", false, root / "home/.local/share/papyra",
         ProgramFolderRule::DataHome},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnv papyraHome("PAPYRA_HOME", c.papyraHome.empty() ? nullptr : c.papyraHome.c_str());
        if (!c.harvex) fs::rename(root / "c/harvex96", root / "c/gone");
        const ProgramFolderChoice choice = ChooseProgramFolder(c.executable, root / "usr/bin");
        EXPECT_EQ(choice.folder, c.folder);
        EXPECT_EQ(choice.rule, c.rule);
    }
    EXPECT_FALSE(fs::exists(root / "home")) << "choosing makes nothing";
}

TEST(ProgramFolder, TheDataFolderIsMadeForTheUserAlone) {
    ScratchFolder root;
    const std::string folder = root / "home/.local/share/papyra";
    EXPECT_EQ(MakePrivateFolders(folder), 0);
    for (const std::string& made : {root / "home/.local", folder}) {
        struct stat st;
        ASSERT_EQ(stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << made;
    }
    EXPECT_EQ(MakePrivateFolders(folder), 0) << "there already";
}

} // namespace
