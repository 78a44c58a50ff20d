#pragma once
// The user's own folders. Private ones are folders that only this user can enter, for the
// single-instance lock and for documents staged on their way to a spooler. A folder another user
// could reach would let them read a private report, hold the lock so every job is dropped, or plant
// a link where the program writes.
#include <optional>
#include <string>

namespace papyra {

// $HOME, else the password database's home.
std::string HomeFolder();

// ${TMPDIR:-/tmp}/papyra-<uid>, created 0700 when missing. Nothing when it exists but is not this
// user's own private folder (a link, a file, another owner, open to others).
std::optional<std::string> PrivateFolder();

// Where the single-instance lock lives: $XDG_RUNTIME_DIR when it is this user's own folder, else
// PrivateFolder().
std::optional<std::string> LockFolder();

// Whether path is a folder (not a link) owned by this user that nobody else may enter.
bool IsPrivateFolder(const std::string& path);

} // namespace papyra
