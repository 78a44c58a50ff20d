#pragma once
// The program folder, where RNTME.INI and PrinterTest.prt live. A papyra run from a build tree or
// copied anywhere keeps them beside its executable. An installed one lives in a folder its users
// cannot write (/usr/bin), so it keeps them in the first of: $PAPYRA_HOME; the Harvex folder on
// drive C: ("C:\Harvex96", WindowsPath), when it exists, so they sit beside harvex.ini; the
// user's data folder, $XDG_DATA_HOME/papyra, else ~/.local/share/papyra.
#include <string>

namespace papyra {

enum class ProgramFolderRule {
    Executable,   // not an installed papyra: the executable's folder
    PapyraHome,   // installed, $PAPYRA_HOME
    HarvexFolder, // installed, the Harvex folder on drive C:
    DataHome,     // installed, the user's data folder
};

struct ProgramFolderChoice {
    std::string folder; // without a trailing "/"
    ProgramFolderRule rule;
};

// The folder of the running executable, links resolved; "" when the system cannot tell.
std::string ExecutableFolder();

// The folder programs are installed to, as the build was configured.
std::string InstalledProgramFolder();

// Which folder the rules above give for an executable in executableFolder, when installed
// programs live in installedFolder (the same folder, links resolved, means installed). Makes
// nothing.
ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder,
                                        const std::string& installedFolder);

// Makes folder, and the folders above it that are missing, for this user alone (0700); 0 or the
// errno that stopped it. A folder that is there already is left as it is.
int MakePrivateFolders(const std::string& folder);

} // namespace papyra
