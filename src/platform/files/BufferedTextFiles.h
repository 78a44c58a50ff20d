#pragma once
// Sequential text files on every system: the channel table, Line Input over large blocks (lines
// of any length and any byte values pass at the speed of memchr), Eof, Print and Close. Output is
// collected in memory and handed in blocks to a replacement of the file that takes its place at
// Close (an interrupted run leaves the old file whole). Channels are 1 to 511.
//
// Each system opens the files (OpenFile) and says what its failures are. Besides the errors of
// TextFiles: an input operation on an output channel or the reverse is 52, as is a channel number
// out of range.
#include "platform/TextFiles.h"

#include <map>
#include <memory>
#include <optional>

namespace papyra {

class BufferedTextFiles : public TextFiles {
public:
    // A channel's file as each system opens it: read when the channel is for input; for output,
    // a replacement of the file that takes its place at Commit and, dropped before that, leaves
    // the old file as it was.
    class File {
    public:
        virtual ~File() = default;
        // How many bytes went into buffer, 0 at the end of the file, nothing when the read failed.
        virtual std::optional<size_t> Read(char* buffer, size_t size) = 0;
        // Each returns 0 or the run-time error that stopped it (61 when the disk is full, else 57).
        virtual int Write(const char* data, size_t size) = 0;
        virtual int Commit() = 0;

        unsigned long long size = 0; // of an input file, when known
        std::string subject;         // what the channel's later errors name (RuntimeError::About)
    };

    // Closes every open channel; output is kept when it can be.
    ~BufferedTextFiles() override;

    void Open(const std::string& path, Mode mode, int channel) override;
    std::string LineInput(int channel) override;
    bool Eof(int channel) override;
    void Print(int channel, const std::string& text, bool lineEnd) override;
    void Close(int channel) override;

protected:
    // channelErrorsNamePath: a channel out of range or already open names the path as well.
    explicit BufferedTextFiles(bool channelErrorsNamePath);

    // Opens path (never empty, never holding a NUL) for mode, or throws the run-time error of the
    // failure. Called before the channel is taken, so a failure leaves it free.
    virtual std::unique_ptr<File> OpenFile(const std::string& path, Mode mode) = 0;

private:
    struct Channel;
    Channel& Find(int channel, Mode mode);

    bool channelErrorsNamePath_;
    std::map<int, std::unique_ptr<Channel>> channels_;
};

} // namespace papyra
