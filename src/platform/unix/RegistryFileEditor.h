#pragma once
// Setting one string value in a registry text file that RegistryFile reads, the way a careful
// person would edit it by hand: every other byte of the file stays as it is.
//
// - The file keeps its format (regedit 5, REGEDIT4, Wine's user.reg), its encoding (UTF-16LE
//   with or without its mark, UTF-8, ANSI) and its line ends. The value's last setting in the
//   key is replaced where it stands (a deletion "=-" included); without one, the value is added
//   after the key's last line; without the key, the key is added at the end of the file (for
//   Wine with its modification time, as Wine writes keys).
// - A missing (or empty) file is created in the regedit 5 format, as UTF-8 with CR LF line ends:
//   a text an administrator can read with any tool, which RegistryFile and regedit both take.
//   Missing folders above it are created.
// - The file is replaced atomically (AtomicFile): a link is never written through, a read-only
//   file stays as it is, a file that is no registry export is refused; in each case nothing is
//   written.
#include <ctime>
#include <string>

namespace papyra {

struct RegistryEdit {
    bool done = false;
    bool created = false; // the file did not exist (or was empty)
    std::string format;   // "regedit 5", "REGEDIT4", "Wine"
    std::string failure;  // why nothing was written, when not done
};

// keyPath: below HKEY_CURRENT_USER, backslash-separated ("Software\Tillwren\Ver36\Printer").
// valueName and value are UTF-8; a REGEDIT4 file receives them in ANSI (Windows-1252). now: the
// time a new Wine key is stamped with.
RegistryEdit SetRegistryString(const std::string& nativePath, const std::string& keyPath,
                               const std::string& valueName, const std::string& value,
                               std::time_t now);

} // namespace papyra
