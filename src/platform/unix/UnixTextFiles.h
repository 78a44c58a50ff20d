#pragma once
// Sequential text files on Unix. Input is read in large blocks, so lines of any length and any
// byte values pass at the speed of memchr; a line as long as the rest of the file is held once.
// Output is collected in a temporary file beside the file and takes its place at Close (an
// interrupted run leaves the old file whole). Channels are 1 to 511.
//
// Only regular files are read or written: a FIFO, a device or a socket is run-time error 75 at
// once (nothing blocks in open()), and so is a symbolic link where output is to go. Besides the
// errors of TextFiles: an input operation on an output channel or the reverse is 52, as is a
// channel number out of range. Every error names the path (RuntimeError::subject).
#include "platform/TextFiles.h"

#include <map>
#include <memory>

namespace papyra {

class UnixTextFiles : public TextFiles {
public:
    UnixTextFiles();
    // Closes every open channel; output is kept when it can be.
    ~UnixTextFiles() override;

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
