#include "platform/unix/CupsRawPort.h"

#include "platform/RuntimeError.h"
#include "platform/unix/CupsJob.h"
#include "platform/unix/CupsPrinter.h"

namespace papyra {

using namespace cups;
namespace {

// Large enough that a long report goes out in few requests, small enough to stay unnoticed.
constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

CupsRawPort::CupsRawPort(Printers& printers) : printers(printers) {}

CupsRawPort::~CupsRawPort() = default;

void CupsRawPort::Open(const std::string& port) {
    if (job) throw RuntimeError(55).About("port " + port);
    const std::string queue = QueueFor(port);
    if (queue.empty()) throw RuntimeError(52).About("port " + port + ": no queue on it");
    job = std::make_unique<CupsJob>(queue, "Papyra", CupsJob::Options{}, CUPS_FORMAT_RAW, 57);
    pending.clear();
    pending.reserve(kBufferSize);
}

void CupsRawPort::Write(const std::string& bytes) {
    if (!job) throw RuntimeError(52);
    if (pending.size() + bytes.size() < kBufferSize) {
        pending += bytes;
        return;
    }
    Flush();
    // A big block goes out as it is rather than through the buffer.
    if (bytes.size() >= kBufferSize) {
        try {
            job->Write(bytes.data(), bytes.size());
        } catch (...) {
            job.reset();
            throw;
        }
    } else {
        pending = bytes;
    }
}

void CupsRawPort::Close() {
    if (!job) throw RuntimeError(52);
    Flush();
    try {
        job->Finish();
    } catch (...) {
        job.reset();
        throw;
    }
    job.reset();
}

void CupsRawPort::Flush() {
    if (pending.empty()) return;
    try {
        job->Write(pending.data(), pending.size());
    } catch (...) {
        job.reset();
        pending.clear();
        throw;
    }
    pending.clear();
}

std::string CupsRawPort::QueueFor(const std::string& port) {
    auto queueOf = [&](Printer& printer) -> std::string {
        auto* queue = dynamic_cast<CupsPrinter*>(&printer);
        return queue && queue->Port() == port ? queue->Queue() : "";
    };
    try {
        if (std::string queue = queueOf(printers.Current()); !queue.empty()) return queue;
    } catch (const RuntimeError&) {
        // No current printer yet: any queue with this port will do.
    }
    for (int i = 0; i < printers.Count(); ++i)
        if (std::string queue = queueOf(printers.Item(i)); !queue.empty()) return queue;
    return "";
}

} // namespace papyra
