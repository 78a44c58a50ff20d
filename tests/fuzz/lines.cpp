// Line Input on real files: whatever a file holds, its lines are the bytes between CR LF or lone
// CR line ends, a lone LF staying inside its line, read back in order and whole.
#include "platform/unix/UnixTextFiles.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace papyra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> expected;
    for (size_t at = 0; at < bytes.size();) {
        size_t cr = bytes.find('\r', at);
        if (cr == std::string::npos) cr = bytes.size();
        expected.push_back(bytes.substr(at, cr - at));
        at = cr + 1;
        if (at < bytes.size() && bytes[at] == '\n') ++at;
    }
    const std::string path = "/tmp/papyra-fuzz-lines-" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary) << bytes;
    UnixTextFiles files;
    files.Open(path, TextFiles::Mode::Input, 1);
    std::vector<std::string> read;
    while (!files.Eof(1))
        read.push_back(files.LineInput(1));
    files.Close(1);
    unlink(path.c_str());
    if (read != expected) std::abort();
    return 0;
}
