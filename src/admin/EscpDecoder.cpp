#include "admin/EscpDecoder.h"

#include "platform/ansi/AnsiText.h"

#include <cstdio>

namespace papyra::admin {

namespace {

using namespace std::string_view_literals;

// The sequences by their bytes; a parameter byte's value follows the name and goes into the
// meaning where "%d" stands. The longest match wins, so "ESC C 0 n" is not read as "ESC C n".
struct Sequence {
    std::string_view bytes;
    bool parameter;
    const char* name;
    const char* meaning;
};

constexpr Sequence Sequences[] = {
    {"\x1B@"sv, false, "ESC @", "initialize the printer"},
    {"\x1BP"sv, false, "ESC P", "10 characters per inch"},
    {"\x1BM"sv, false, "ESC M", "12 characters per inch"},
    {"\x1Bg"sv, false, "ESC g", "15 characters per inch"},
    {"\x1B\x0F"sv, false, "ESC SI", "condensed"},
    {"\x0F"sv, false, "SI", "condensed"},
    {"\x12"sv, false, "DC2", "condensed off"},
    {"\x0E"sv, false, "SO", "double width on"},
    {"\x14"sv, false, "DC4", "double width off"},
    {"\x1BG"sv, false, "ESC G", "double-strike on"},
    {"\x1BH"sv, false, "ESC H", "double-strike off"},
    {"\x1B"
     "E"sv,
     false, "ESC E", "bold on"},
    {"\x1B"
     "F"sv,
     false, "ESC F", "bold off"},
    {"\x1B"
     "0"sv,
     false, "ESC 0", "1/8-inch line spacing"},
    {"\x1B"
     "2"sv,
     false, "ESC 2", "1/6-inch line spacing"},
    {"\x1Bt"sv, true, "ESC t", "character table %d"},
    {"\x1B"
     "C"sv,
     true, "ESC C", "page length %d lines"},
    {"\x1B"
     "C\0"sv,
     true, "ESC C 0", "page length %d inches"},
};

constexpr char Esc = '\x1B';
constexpr unsigned char PrinterLine = 0xC4;

std::string WithNumber(const char* format, int number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string Hex(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// "<text>", as every control is shown.
std::string Shown(std::string_view text) {
    std::string shown(1, '<');
    shown.append(text) += '>';
    return shown;
}

const Sequence* LongestAt(std::string_view stream, size_t pos) {
    const Sequence* found = nullptr;
    for (const Sequence& sequence : Sequences)
        if (stream.substr(pos).starts_with(sequence.bytes) &&
            (!found || sequence.bytes.size() > found->bytes.size()))
            found = &sequence;
    return found;
}

} // namespace

std::string DecodeEscp(std::string_view stream) {
    std::string out;
    bool graphics = false; // ESC t 1 in force
    size_t pos = 0;
    while (pos < stream.size()) {
        const unsigned char byte = static_cast<unsigned char>(stream[pos]);
        if (stream.substr(pos).starts_with("\r\n")) {
            out += '\n';
            pos += 2;
        } else if (byte == '\f') {
            out += Shown("FF (new page)") + "\n";
            ++pos;
        } else if (const Sequence* sequence = LongestAt(stream, pos)) {
            pos += sequence->bytes.size();
            const std::string name = sequence->name;
            if (sequence->bytes == "\x1B@"sv) graphics = false;
            if (!sequence->parameter) {
                out += Shown(name + " (" + sequence->meaning + ")");
                continue;
            }
            if (pos >= stream.size()) {
                out += Shown(name + " (cut off)");
                break;
            }
            const int value = static_cast<unsigned char>(stream[pos++]);
            if (sequence->bytes == "\x1Bt"sv) graphics = value == 1;
            out += Shown(name + " " + std::to_string(value) + " (" +
                         WithNumber(sequence->meaning, value) + ")");
        } else if (byte == Esc) {
            out += pos + 1 < stream.size()
                       ? Shown("ESC " + Hex(static_cast<unsigned char>(stream[pos + 1])))
                       : Shown(Hex(byte));
            pos += 2;
        } else if (byte < 0x20 || byte == 0x7F || AnsiToUnicode(byte) == 0) {
            out += Shown(Hex(byte));
            if (byte == '\n') out += '\n';
            ++pos;
        } else {
            out += graphics && byte == PrinterLine ? "\u2500" : AnsiToUtf8(stream.substr(pos, 1));
            ++pos;
        }
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

} // namespace papyra::admin
