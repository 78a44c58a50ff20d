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
using Rule = ProgramFolderRule;

TEST(ProgramFolder, InstalledPapyraUsesTheFirstRuleThatAppliesAndMakesItsDataFolderPrivate) {
    ScratchFolder root;
    fs::create_directories(root / "usr/bin");
    fs::create_directory_symlink("usr/bin", root / "bin"); // a merged /usr
    fs::create_directories(root / "c/harvex96");
    fs::create_directories(root / "build");
    ScopedEnv home("HOME", (root / "home").c_str()), data("XDG_DATA_HOME", nullptr);
    ScopedEnv drive("PAPYRA_DRIVE_C", (root / "c").c_str()), prefix("WINEPREFIX", nullptr);
    const std::string dataFolder = root / "home/.local/share/papyra";
    const struct {
        const char* what;
        std::string executable, papyraHome, folder;
        Rule rule;
    } cases[] = {
        {"not installed", root / "build", root / "h", root / "build", Rule::Executable},
        {"$PAPYRA_HOME", root / "bin", root / "h", root / "h", Rule::PapyraHome},
        {"Harvex folder, found in any case", root / "usr/bin", "", root / "c/harvex96",
         Rule::HarvexFolder},
        {"data folder, once there is no Harvex folder", root / "usr/bin", "", dataFolder,
         Rule::DataHome},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnv papyraHome("PAPYRA_HOME", c.papyraHome.empty() ? nullptr : c.papyraHome.c_str());
        if (c.rule == Rule::DataHome) fs::rename(root / "c/harvex96", root / "c/gone");
        const ProgramFolderChoice choice = ChooseProgramFolder(c.executable, root / "usr/bin");
        EXPECT_EQ(std::pair(choice.folder, choice.rule), std::pair(c.folder, c.rule));
    }
    EXPECT_FALSE(fs::exists(root / "home")) << "choosing makes nothing";

    EXPECT_EQ(MakePrivateFolders(dataFolder), 0);
    for (const std::string& made : {root / "home/.local", dataFolder}) {
        struct stat st;
        ASSERT_EQ(stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << made << ": the user's alone";
    }
    EXPECT_EQ(MakePrivateFolders(dataFolder), 0) << "there already";
}
