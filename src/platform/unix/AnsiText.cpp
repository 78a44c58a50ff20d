#include "platform/unix/AnsiText.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace papyra {
namespace {

constexpr const char* AnsiCodePage = "WINDOWS-1252";

enum class Source { Utf8, Utf16Le, Ansi };

// Bytes of the input unit at the front of in that iconv refused: the whole UTF-8 sequence or
// UTF-16 code unit pair, so one bad character gives one mark.
size_t UnitLength(std::string_view in, Source source) {
    if (source == Source::Ansi) return 1;
    if (source == Source::Utf16Le) {
        if (in.size() >= 4 && (static_cast<unsigned char>(in[1]) & 0xFC) == 0xD8) return 4;
        return std::min<size_t>(2, in.size());
    }
    size_t n = 1;
    while (n < in.size() && n < 4 && (static_cast<unsigned char>(in[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// Converts with iconv; a character the target lacks, or bytes the source cannot decode, become
// one replacement each, so bad input never stops the conversion.
std::string Convert(std::string_view in, Source source, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t done = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + done;
        size_t dstLeft = out.size() - done;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        done = out.size() - dstLeft;
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        size_t skip = UnitLength(std::string_view(src, srcLeft), source);
        std::string mark = "?";
        if (source == Source::Ansi) {
            // The five bytes Windows-1252 leaves undefined map to the C1 controls, as on Windows.
            unsigned char b = static_cast<unsigned char>(*src);
            mark = {static_cast<char>(0xC0 | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))};
        }
        src += skip;
        srcLeft -= skip;
        if (out.size() - done < mark.size()) out.resize(out.size() * 2);
        out.replace(done, mark.size(), mark);
        done += mark.size();
    }
    iconv_close(cd);
    out.resize(done);
    return out;
}

unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16; // Š Œ Ž
    if (c == 0x9F) return 0xFF;                             // Ÿ
    return c;
}

} // namespace

std::string Utf8ToAnsi(std::string_view utf8) {
    return Convert(utf8, Source::Utf8, "UTF-8", AnsiCodePage);
}

std::string Utf16LeToAnsi(std::string_view utf16le) {
    return Convert(utf16le, Source::Utf16Le, "UTF-16LE", AnsiCodePage);
}

std::string AnsiToUtf8(std::string_view ansi) {
    return Convert(ansi, Source::Ansi, AnsiCodePage, "UTF-8");
}

std::string Utf16LeToUtf8(std::string_view utf16le) {
    return Convert(utf16le, Source::Utf16Le, "UTF-16LE", "UTF-8");
}

std::string FoldCase(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out)
        c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace papyra
