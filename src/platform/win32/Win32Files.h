#pragma once
// What the file services (profiles, text files) share on Windows: telling a regular file from
// everything else without opening it, the run-time error a failed file call stands for, and
// replacing a file whole or not at all.
#include "platform/win32/Win32Handle.h"

#include <string>

namespace papyra::win32 {

// A name the system takes for a device rather than a file (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// with any extension or folder in front, or anything in the \\.\ namespace). Opening one would
// talk to the device, so the file services refuse these names before any call.
bool IsDeviceName(const std::string& path);

// The run-time error number a file call's Win32 error stands for: 53 file not found, 76 path not
// found, 70 permission denied, 52 bad file name, 61 disk full, 68 device unavailable, 75 for
// anything else.
int FileErrorNumber(DWORD error);

// A replacement of a file: the new bytes go to a temporary file in the same folder, reach the
// disk, and take the old file's place in one step (ReplaceFileA, which keeps the old file's
// attributes and security, or MoveFileExA when there was none). A crash at any moment leaves the
// old file or the new one; the temporary files of a writer that was killed ("NAME.~PID-N.tmp")
// are removed by the next writer of that file.
//
// Each call returns 0 or the Win32 error that stopped it; after a failure only the destructor is
// left. Begin refuses, before anything is written: a folder, a device, a symbolic link or other
// reparse point (ERROR_BAD_FILE_TYPE: a file is never written through a link, wherever it
// points), and a read-only file (ERROR_ACCESS_DENIED).
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~AtomicFileWriter();

    DWORD Begin(const std::string& path);
    DWORD Write(const char* data, size_t size);
    DWORD Commit();

private:
    void Discard();

    std::string target_, temp_;
    bool targetExists_ = false;
    UniqueHandle file_;
};

} // namespace papyra::win32
