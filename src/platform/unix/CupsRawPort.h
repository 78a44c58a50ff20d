#pragma once
// The printer port on a CUPS system: opening a printer's Port starts a raw job on its queue, and
// the bytes pass through no filter on their way to the device.
//
// The queue is the current printer's when its Port is the one opened, else the first queue with
// that Port. Open checks the queue: none, stopped or not accepting jobs is run-time error 52; a
// second Open before Close is 55. Write buffers and streams; a broken transfer is 57 from Write
// or Close. A port dropped without Close cancels the job, so nothing half-sent prints.
#include "platform/Printer.h"
#include "platform/RawPort.h"

#include <memory>
#include <string>

namespace papyra {

namespace cups {
class CupsJob;
}

class CupsRawPort : public RawPort {
public:
    explicit CupsRawPort(Printers& printers);
    ~CupsRawPort() override;

    void Open(const std::string& port) override;
    void Write(const std::string& bytes) override;
    void Close() override;

private:
    std::string QueueFor(const std::string& port);
    void Flush();

    Printers& printers;
    std::unique_ptr<cups::CupsJob> job;
    std::string pending;
};

} // namespace papyra
