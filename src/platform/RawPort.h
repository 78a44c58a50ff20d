#pragma once
// A printer port opened as a write-only byte stream: every byte reaches the printer unchanged and
// in order. One port is open at a time.
//
// Errors: Open of a port that names no usable printer (missing, stopped, not accepting jobs) is
// run-time error 52; Open while a port is open is 55; a transfer that breaks is 57 from Write or
// Close. Close completes the job; a port dropped without Close discards what was sent.
#include <string>

namespace papyra {

class RawPort {
public:
    virtual ~RawPort() = default;
    // port is the current printer's Port.
    virtual void Open(const std::string& port) = 0;
    virtual void Write(const std::string& bytes) = 0;
    virtual void Close() = 0;
};

} // namespace papyra
