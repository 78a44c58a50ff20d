#pragma once
// Windows paths on Unix. Drive C: is $PAPYRA_DRIVE_C, else $WINEPREFIX/drive_c when WINEPREFIX
// is set, else "/"; every drive letter and a path from the root ("\dir\file") land below it. A
// path starting with "/" is already native; any other path is relative to the working folder.
// Backslashes become "/". A component missing in the exact case is matched case-insensitively
// against its folder's entries (the first match wins), as Windows would find it; a component that
// does not exist at all is kept as given, so a new file can be created there.
#include <string>

namespace papyra {

std::string NativePath(const std::string& path);

// The folder that drive C: maps to, without a trailing "/" (except for "/" itself).
std::string DriveCRoot();

} // namespace papyra
