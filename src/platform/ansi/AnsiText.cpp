#include "platform/ansi/AnsiText.h"

#include <cstdio>

namespace papyra {
namespace {

// 0x80..0x9F are the only bytes where Windows-1252 differs from ISO 8859-1.
constexpr char16_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void AppendAnsi(std::string& out, char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out += char(c);
        return;
    }
    if (c < 0xA0 && AnsiToUnicode(static_cast<unsigned char>(c)) == 0) {
        out += char(c); // an undefined byte's own C1 control comes back as that byte
        return;
    }
    for (int i = 0; i < 32; ++i)
        if (High[i] == c) {
            out += char(0x80 + i);
            return;
        }
    char standIn[16];
    std::snprintf(standIn, sizeof standIn, "<U+%04X>", static_cast<unsigned>(c));
    out += standIn;
}

// The code point of the UTF-8 sequence at in[pos], advancing pos; nothing (and one byte
// consumed) when the bytes there are not well-formed UTF-8.
bool NextUtf8(std::string_view in, size_t& pos, char32_t& c) {
    const unsigned char lead = static_cast<unsigned char>(in[pos]);
    int length = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 0;
    if (length == 0 || pos + length > in.size()) {
        ++pos;
        return false;
    }
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(in[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += length;
    return true;
}

// Decodes UTF-16LE, handing each code point to append; a lone surrogate is handed as itself.
template <typename Append> void DecodeUtf16Le(std::string_view in, Append append) {
    auto unit = [&](size_t i) {
        return char16_t(static_cast<unsigned char>(in[i]) | static_cast<unsigned char>(in[i + 1])
                                                                << 8);
    };
    for (size_t i = 0; i + 1 < in.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < in.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        append(c);
    }
}

unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16; // Š Œ Ž
    if (c == 0x9F) return 0xFF;                             // Ÿ
    return c;
}

} // namespace

char32_t AnsiToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte;
}

bool IsPrintableAnsi(unsigned char byte) {
    return byte >= 0x20 && byte != 0x7F && AnsiToUnicode(byte) != 0;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char byte : ansi) {
        const char32_t c = AnsiToUnicode(byte);
        AppendUtf8(out, c == 0 ? byte : c);
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t at = pos;
        char32_t c = 0;
        if (NextUtf8(utf8, pos, c)) {
            AppendAnsi(out, c);
        } else {
            char standIn[8];
            std::snprintf(standIn, sizeof standIn, "<x%02X>", static_cast<unsigned char>(utf8[at]));
            out += standIn;
        }
    }
    return out;
}

std::string Utf16LeToAnsi(std::string_view utf16le) {
    std::string out;
    DecodeUtf16Le(utf16le, [&](char32_t c) { AppendAnsi(out, c); });
    return out;
}

std::string Utf16LeToUtf8(std::string_view utf16le) {
    std::string out;
    DecodeUtf16Le(utf16le, [&](char32_t c) {
        AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? char32_t(0xFFFD) : c);
    });
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        if (!NextUtf8(text, pos, c)) return false;
    }
    return true;
}

std::u32string Utf8CodePoints(std::string_view utf8) {
    std::u32string out;
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        out += NextUtf8(utf8, pos, c) ? c : char32_t(0xFFFD);
    }
    return out;
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
