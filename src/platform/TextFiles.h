#pragma once
// Sequential text files by channel number, with Line Input semantics: a line ends at CR LF or at
// a lone CR; a lone LF stays inside the line; a last line without a line end is still a line.
// Every byte value passes unchanged; lines may be of any length.
//
// Paths are Windows paths (backslashes, drive C:) as the platform maps them, or native ones.
// Errors: a missing file is 53, a missing folder 76, an unusable name or a channel that is not
// open 52, a channel already open 55, a folder where a file is expected 75, no permission 70,
// reading past the end 62, a failed write 57 (61 when the disk is full).
#include <string>

namespace papyra {

class TextFiles {
public:
    enum class Mode { Input, Output };

    virtual ~TextFiles() = default;
    // Output creates the file or empties it.
    virtual void Open(const std::string& path, Mode mode, int channel) = 0;
    virtual std::string LineInput(int channel) = 0;
    virtual bool Eof(int channel) = 0;
    // Writes text, followed by CR LF when lineEnd.
    virtual void Print(int channel, const std::string& text, bool lineEnd) = 0;
    // Closing a channel that is not open does nothing.
    virtual void Close(int channel) = 0;
};

} // namespace papyra
