#include "platform/unix/RegistryText.h"

#include "platform/ansi/AnsiText.h"

#include <cstring>

namespace papyra::regtext {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendCodePoint(std::string& out, unsigned cp, bool ansi) {
    if (ansi) {
        out += cp <= 0xFF ? static_cast<char>(cp) : '?';
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16Le(std::string& out, char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

} // namespace

Encoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return Encoding::Utf16Le;
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') return Encoding::Utf16LeRaw;
    if (bytes.starts_with("\xEF\xBB\xBF")) return Encoding::Utf8Bom;
    return Encoding::Bytes;
}

size_t MarkSize(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16Le:
        return 2;
    case Encoding::Utf8Bom:
        return 3;
    default:
        return 0;
    }
}

std::string Decode(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16LeRaw)
        return Utf16LeToUtf8(bytes);
    return std::string(bytes);
}

std::string Encode(std::string_view text, Encoding encoding) {
    if (encoding != Encoding::Utf16Le && encoding != Encoding::Utf16LeRaw) return std::string(text);
    std::string out;
    for (char32_t cp : Utf8CodePoints(text)) {
        if (cp < 0x10000) {
            AppendUtf16Le(out, cp);
        } else {
            cp -= 0x10000;
            AppendUtf16Le(out, 0xD800 + (cp >> 10));
            AppendUtf16Le(out, 0xDC00 + (cp & 0x3FF));
        }
    }
    return out;
}

std::optional<Format> FormatOfHeader(std::string_view firstLine) {
    const std::string_view header = Trim(firstLine);
    if (header == "Windows Registry Editor Version 5.00") return Format::Regedit5;
    if (header == "REGEDIT4") return Format::Regedit4;
    if (header == "WINE REGISTRY Version 2") return Format::Wine;
    return std::nullopt;
}

std::optional<Format> FormatOfFile(std::string_view bytes) {
    const Encoding encoding = EncodingOf(bytes);
    const std::string text = Decode(bytes.substr(MarkSize(encoding)), encoding);
    return FormatOfHeader(std::string_view(text).substr(0, text.find('\n')));
}

const char* FormatName(Format format) {
    switch (format) {
    case Format::Regedit5:
        return "regedit 5";
    case Format::Regedit4:
        return "REGEDIT4";
    case Format::Wine:
        break;
    }
    return "Wine";
}

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string NormalKey(std::string_view ansi) {
    std::string out;
    for (char c : ansi) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return FoldCase(out);
}

std::optional<std::string> Unquote(std::string_view s, size_t& pos, bool ansi) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\' || pos + 1 >= s.size()) {
            out += c;
            continue;
        }
        char e = s[++pos];
        static const char simple[] = "a\ab\be\x1b"
                                     "f\fn\nr\rt\tv\v";
        const char* known = e ? std::strchr(simple, e) : nullptr;
        if (known && (known - simple) % 2 == 0) {
            out += known[1];
        } else if (e == 'x') {
            unsigned cp = 0;
            int digits = 0;
            while (digits < 4 && pos + 1 < s.size() && HexDigit(s[pos + 1]) >= 0) {
                cp = cp * 16 + static_cast<unsigned>(HexDigit(s[++pos]));
                ++digits;
            }
            AppendCodePoint(out, cp, ansi);
        } else if (e >= '0' && e <= '7') {
            unsigned cp = static_cast<unsigned>(e - '0');
            for (int digits = 1;
                 digits < 3 && pos + 1 < s.size() && s[pos + 1] >= '0' && s[pos + 1] <= '7';
                 ++digits)
                cp = cp * 8 + static_cast<unsigned>(s[++pos] - '0');
            AppendCodePoint(out, cp, ansi);
        } else {
            out += e; // \\ and \" and anything unknown stand for themselves
        }
    }
    return std::nullopt;
}

std::string TextToAnsi(std::string_view text, Format format) {
    return format == Format::Regedit4 ? std::string(text) : Utf8ToAnsi(text);
}

std::optional<KeyLine> ParseKeyLine(std::string_view line, Format format) {
    if (line.empty() || line[0] != '[') return std::nullopt;
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view inner = line.substr(1, close - 1);
    if (format == Format::Wine) {
        // Wine writes key names as escaped strings, relative to the user's root.
        std::string quoted(1, '"');
        quoted.append(inner) += '"';
        size_t pos = 0;
        auto name = Unquote(quoted, pos, false);
        if (!name) return std::nullopt;
        return KeyLine{NormalKey(TextToAnsi(*name, format)), false};
    }
    const bool remove = !inner.empty() && inner[0] == '-';
    if (remove) inner.remove_prefix(1);
    std::string path = NormalKey(TextToAnsi(inner, format));
    for (std::string_view root : {"hkey_current_user", "hkcu"}) {
        if (path == root) return KeyLine{"", remove};
        if (path.starts_with(std::string(root) + "\\"))
            return KeyLine{path.substr(root.size() + 1), remove};
    }
    return std::nullopt;
}

std::optional<ValueLine> ParseValueLine(std::string_view line, Format format) {
    if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') return std::nullopt;
    std::string name;
    size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else {
        auto quoted = Unquote(line, pos, format == Format::Regedit4);
        if (!quoted) return std::nullopt;
        name = *quoted;
    }
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') return std::nullopt;
    return ValueLine{FoldCase(TextToAnsi(name, format)), Trim(rest.substr(1))};
}

bool ContinuesOnNextLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.back() != '\\') return false;
    return line.find("\"=hex") != std::string_view::npos ||
           line.find("@=hex") != std::string_view::npos;
}

} // namespace papyra::regtext
