#pragma once
// How a failed file operation on the PDF's folder reaches the program: as the run-time error
// that names its cause.
#include <string>

namespace papyra {

// 61 disk full, 70 permission denied (also a read-only file system), 76 path not found, 57 any
// other device I/O error.
int RuntimeErrorForErrno(int error);

// Throws RuntimeErrorForErrno(error), naming the file or folder it was about.
[[noreturn]] void ThrowFileError(int error, const std::string& subject = {});

} // namespace papyra
