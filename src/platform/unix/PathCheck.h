#pragma once
// What stands at a path, as a program about to read or write there would find it: for checks an
// administrator runs before a job rather than after one fails.
#include <string>

namespace papyra {

struct PathState {
    enum class Kind { Missing, File, Folder, Link, Fifo, Other };
    Kind kind = Kind::Missing;
    std::string linkTarget; // a link's target, as written in it
    bool readable = false;  // for this user, as access() answers
    bool writable = false;  // a folder: files can be made in it
};

// Links are not followed: a link is what stands there.
PathState InspectPath(const std::string& path);

// Whether a folder can be written at path: it is a writable folder, or it is missing and the
// nearest folder above it that exists is writable (so it can be made).
bool FolderCanBeWritten(const std::string& path);

// Whether a file can be written at path by replacing it whole (AtomicFile): its folder can be
// written, and it is missing or a writable regular file.
bool FileCanBeReplaced(const std::string& path);

} // namespace papyra
