// papyra-admin decode: a raw ESC/P stream as readable lines.
#include "admin/Commands.h"
#include "admin/EngineRun.h"
#include "admin/EscpDecoder.h"

#include "platform/unix/PlainFile.h"

#include <cstring>
#include <iostream>

namespace papyra::admin {

namespace {

constexpr size_t Limit = size_t{1} << 30; // a job larger than this is no job to read by eye

} // namespace

int Decode(const std::string& file, bool report, bool landscape) {
    std::string stream;
    if (report) {
        // What papyra's raw path would send for the report, from the engine itself.
        const auto printer = MakeRawPathPrinter();
        CapturedPort port;
        if (!RunPapyraEngine(*printer, port, file, landscape, /*layOut=*/false).done)
            return Problem;
        stream = std::move(port.bytes);
    } else {
        int error = 0;
        std::optional<std::string> bytes = ReadPlainFile(file, Limit, &error);
        if (!bytes) {
            std::cerr << "papyra-admin decode: cannot read " << file << ": " << std::strerror(error)
                      << "\n";
            return Problem;
        }
        stream = std::move(*bytes);
    }
    std::cout << DecodeEscp(stream);
    return Fine;
}

} // namespace papyra::admin
