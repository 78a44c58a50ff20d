#include "platform/unix/RegistryFileEditor.h"

#include "platform/ansi/AnsiText.h"
#include "platform/unix/AtomicFile.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/RegistryText.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace papyra {

namespace {

using namespace regtext;

constexpr size_t MaxFileSize = 256 << 20; // as RegistryFile reads

// One line of the file: where its text starts and ends (line end excluded) and where the next
// line starts, in bytes of the file; and its text, decoded.
struct Line {
    size_t begin, end, next;
    std::string text;
};

bool IsUtf16(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16LeRaw;
}

std::vector<Line> SplitLines(const std::string& bytes, Encoding encoding) {
    const size_t unit = IsUtf16(encoding) ? 2 : 1;
    auto isAt = [&](size_t at, char c) {
        return at + unit <= bytes.size() && bytes[at] == c && (unit == 1 || bytes[at + 1] == 0);
    };
    std::vector<Line> lines;
    size_t pos = MarkSize(encoding);
    while (pos < bytes.size()) {
        size_t nl = pos;
        while (nl < bytes.size() && !isAt(nl, '\n'))
            nl += unit;
        nl = std::min(nl, bytes.size());
        size_t end = nl;
        if (end >= pos + unit && isAt(end - unit, '\r')) end -= unit;
        const size_t next = nl < bytes.size() ? nl + unit : nl;
        lines.push_back(
            {pos, end, next, Decode(std::string_view(bytes).substr(pos, end - pos), encoding)});
        pos = next;
    }
    return lines;
}

// The line end the file uses already; regedit's CR LF for a file that has none yet, LF for Wine.
std::string LineEnd(const std::vector<Line>& lines, Format format, Encoding encoding) {
    const size_t unit = IsUtf16(encoding) ? 2 : 1;
    for (const Line& line : lines)
        if (line.next != line.end) return line.next - line.end == 2 * unit ? "\r\n" : "\n";
    return format == Format::Wine ? "\n" : "\r\n";
}

// regedit's quoting: a backslash and a quote are escaped, everything else stands as it is.
std::string RegeditQuoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Wine's quoting: ASCII as it is, everything else as \x and four hex digits (the UTF-16 unit), so
// a hex digit that follows is never taken into the escape.
std::string WineQuoted(const std::string& utf8, char close) {
    std::string out = close == ']' ? "" : "\"";
    for (char32_t cp : Utf8CodePoints(utf8)) {
        auto unit = [&](unsigned value) {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\x%04x", value);
            out += escaped;
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else if (cp > 127 || cp < 32) {
            unit(static_cast<unsigned>(cp));
        } else {
            if (cp == '\\' || cp == '"' || cp == static_cast<char32_t>(close)) out += '\\';
            out += static_cast<char>(cp);
        }
    }
    return close == ']' ? out : out + "\"";
}

std::string ValueLineText(Format format, const std::string& name, const std::string& value) {
    switch (format) {
    case Format::Wine:
        return WineQuoted(name, '"') + "=" + WineQuoted(value, '"');
    case Format::Regedit4:
        return RegeditQuoted(Utf8ToAnsi(name)) + "=" + RegeditQuoted(Utf8ToAnsi(value));
    case Format::Regedit5:
        break;
    }
    return RegeditQuoted(name) + "=" + RegeditQuoted(value);
}

// The lines that open a new key, each followed by eol.
std::string KeyLinesText(Format format, const std::string& keyPath, std::time_t now,
                         const std::string& eol) {
    if (format != Format::Wine) return "[HKEY_CURRENT_USER\\" + keyPath + "]" + eol;
    // A Wine key carries its modification time: seconds since 1970, then as a FILETIME.
    const unsigned long long filetime =
        (static_cast<unsigned long long>(now) + 11644473600ull) * 10000000ull;
    char time[64];
    std::snprintf(time, sizeof time, "] %lld", static_cast<long long>(now));
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "#time=%llx", filetime);
    std::string lines(1, '[');
    lines += WineQuoted(keyPath, ']');
    return lines + time + eol + stamp + eol;
}

// Where the new value goes in the file's bytes: a stretch to replace, or a place to insert at.
struct Placement {
    size_t from = 0, to = 0;   // replaced bytes; from == to: an insertion
    std::string before, after; // text around the value line
    bool newKey = false;
};

Placement Place(const std::vector<Line>& lines, Format format, const std::string& key,
                const std::string& name, const std::string& eol, size_t fileSize) {
    // The value's last setting in the key counts, as an import applies them in order; a deletion
    // of the key or of a key above it drops what came before.
    constexpr size_t None = SIZE_MAX;
    size_t valueFirst = None, valueLast = None, keyLast = None;
    bool inKey = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view text = Trim(lines[i].text);
        std::string joined(text);
        size_t last = i;
        while (ContinuesOnNextLine(joined) && last + 1 < lines.size()) {
            joined.pop_back();
            joined += Trim(lines[++last].text);
        }
        if (text.starts_with("[")) {
            inKey = false;
            if (const auto opened = ParseKeyLine(text, format)) {
                const std::string& path = opened->path;
                if (opened->remove &&
                    (path.empty() || path == key || key.starts_with(path + "\\"))) {
                    valueFirst = valueLast = keyLast = None;
                } else if (!opened->remove && path == key) {
                    inKey = true;
                    keyLast = last;
                }
            }
        } else if (inKey) {
            if (!text.empty()) keyLast = last;
            if (const auto value = ParseValueLine(joined, format); value && value->name == name)
                valueFirst = i, valueLast = last;
        }
        i = last;
    }

    Placement place;
    if (valueFirst != None) {
        place.from = lines[valueFirst].begin;
        place.to = lines[valueLast].end;
        return place;
    }
    if (keyLast != None) {
        const Line& line = lines[keyLast];
        place.from = place.to = line.next;
        if (line.next == line.end)
            place.before = eol; // the file's last line, without a line end
        else
            place.after = eol;
        return place;
    }
    place.from = place.to = fileSize;
    place.newKey = true;
    // A blank line before each key, as regedit and Wine both write them.
    const Line& last = lines.back();
    if (last.next == last.end) place.before = eol;
    if (!Trim(last.text).empty()) place.before += eol;
    place.after = eol;
    return place;
}

RegistryEdit Failed(std::string why) {
    RegistryEdit edit;
    edit.failure = std::move(why);
    return edit;
}

// Folders above path that are missing, made as mkdir -p makes them.
int MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

} // namespace

RegistryEdit SetRegistryString(const std::string& nativePath, const std::string& keyPath,
                               const std::string& valueName, const std::string& value,
                               std::time_t now) {
    struct stat st;
    if (lstat(nativePath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return Failed(nativePath + " is a symbolic link, and links are never written through: "
                                   "name the file it points to");
    int error = 0;
    std::string bytes = ReadPlainFile(nativePath, MaxFileSize, &error).value_or("");
    const bool created = error == ENOENT || (error == 0 && bytes.empty());
    if (error != 0 && error != ENOENT)
        return Failed("cannot read " + nativePath + ": " + std::strerror(error));

    Format format = Format::Regedit5;
    Encoding encoding = Encoding::Bytes;
    std::string eol = "\r\n";
    std::string contents;
    if (created) {
        contents = "Windows Registry Editor Version 5.00" + eol + eol +
                   KeyLinesText(format, keyPath, now, eol) +
                   ValueLineText(format, valueName, value) + eol + eol;
        if (const int made = MakeParents(nativePath); made != 0)
            return Failed("cannot make the folder of " + nativePath + ": " + std::strerror(made));
    } else {
        encoding = EncodingOf(bytes);
        const std::vector<Line> lines = SplitLines(bytes, encoding);
        const std::optional<Format> found =
            lines.empty() ? std::nullopt : FormatOfHeader(lines[0].text);
        if (!found)
            return Failed(nativePath + " is not a registry file (its first line is none of "
                                       "\"Windows Registry Editor Version 5.00\", \"REGEDIT4\", "
                                       "\"WINE REGISTRY Version 2\"); it was left as it is");
        format = *found;
        eol = LineEnd(lines, format, encoding);
        const Placement place =
            Place(lines, format, NormalKey(TextToAnsi(keyPath, Format::Regedit5)),
                  FoldCase(Utf8ToAnsi(valueName)), eol, bytes.size());
        std::string text = place.before;
        if (place.newKey) text += KeyLinesText(format, keyPath, now, eol);
        text += ValueLineText(format, valueName, value) + place.after;
        contents = bytes.substr(0, place.from) + Encode(text, encoding) + bytes.substr(place.to);
    }

    AtomicFileWriter writer;
    error = writer.Begin(nativePath);
    if (error == 0) error = writer.Write(contents.data(), contents.size());
    if (error == 0) error = writer.Commit();
    if (error != 0)
        return Failed("cannot write " + nativePath + ": " +
                      (error == EACCES ? "it is read-only, or its folder is"
                                       : std::string(std::strerror(error))));
    RegistryEdit edit;
    edit.done = true;
    edit.created = created;
    edit.format = FormatName(format);
    return edit;
}

} // namespace papyra
