#pragma once
// Sequential text files on Windows. Input is read in large blocks, so lines of any length and any
// byte values pass at the speed of memchr. Output is collected in a temporary file beside the
// file and takes its place at Close (an interrupted run leaves the old file whole). Only regular
// files are opened: a folder, a device name (CON, LPT1...), a pipe or a link to be written
// through is run-time error 75. Channels are 1 to 511.
//
// Besides the errors of TextFiles: an input operation on an output channel or the reverse is 52,
// as is a channel number out of range; a file that is not on a drive that is ready is 68.
#include "platform/TextFiles.h"

#include <map>
#include <memory>

namespace papyra {

class Win32TextFiles : public TextFiles {
public:
    Win32TextFiles();
    // Closes every open channel; output is kept when it can be.
    ~Win32TextFiles() override;

    void Open(const std::string& path, Mode mode, int channel) override;
    std::string LineInput(int channel) override;
    bool Eof(int channel) override;
    void Print(int channel, const std::string& text, bool lineEnd) override;
    void Close(int channel) override;

    struct Channel;

private:
    Channel& Find(int channel, Mode mode);

    std::map<int, std::unique_ptr<Channel>> channels_;
};

} // namespace papyra
