// The INI engine: whatever a file holds, a value written reads back as written, and every other
// section keeps its lines.
#include "platform/ansi/AnsiText.h"
#include "platform/ini/IniText.h"

#include <cstdlib>
#include <string>

using namespace papyra;

namespace {

// A name or value the format can carry, taken from the front of the input.
std::string Word(const uint8_t*& data, size_t& size) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-";
    std::string word;
    const size_t length = size ? data[0] % 12 + 1 : 1;
    for (size_t i = 0; i <= length && size; ++i, ++data, --size)
        if (i) word += alphabet[data[0] % (sizeof alphabet - 1)];
    return word.empty() ? "x" : word;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string section = Word(data, size), key = Word(data, size), value = Word(data, size);
    const IniText before(std::string(reinterpret_cast<const char*>(data), size));
    IniText text = before;
    text.SetValue(section, key, value);
    if (text.Value(section, key) != value) std::abort();
    for (const char* other : {"Printer", "Settings", "Test", "A", "b"})
        if (!EqualsNoCase(other, section) && text.SectionLines(other) != before.SectionLines(other))
            std::abort();
    return 0;
}
