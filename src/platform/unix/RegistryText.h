#pragma once
// The lines of a registry text file as regedit ("Windows Registry Editor Version 5.00",
// "REGEDIT4") and Wine (user.reg) write them: the one reading of them that RegistryFile, which
// reads values, and RegistryFileEditor, which changes one in place, share.
//
// Line texts are given decoded: UTF-8 for a UTF-16 or UTF-8 file, the file's own bytes for
// REGEDIT4, whose strings are ANSI. Key paths and value names come out folded (FoldCase) and in
// ANSI, so they compare as Windows compares them.
#include <optional>
#include <string>
#include <string_view>

namespace papyra::regtext {

enum class Format { Regedit5, Regedit4, Wine };

// How the bytes of a file are text.
enum class Encoding {
    Utf16Le,    // with its byte-order mark, as regedit writes it
    Utf16LeRaw, // without one
    Utf8Bom,
    Bytes, // UTF-8 or ANSI, no mark
};

Encoding EncodingOf(std::string_view bytes);
// How many bytes the encoding's mark takes at the start of the file.
size_t MarkSize(Encoding encoding);
// The bytes of a stretch of the file (mark excluded) as text, and text back as bytes.
std::string Decode(std::string_view bytes, Encoding encoding);
std::string Encode(std::string_view text, Encoding encoding);

// The format the first line announces; nothing for a file that is none of them.
std::optional<Format> FormatOfHeader(std::string_view firstLine);
// The format of a whole file's bytes, by its first line in its encoding.
std::optional<Format> FormatOfFile(std::string_view bytes);
// "regedit 5", "REGEDIT4", "Wine".
const char* FormatName(Format format);

std::string_view Trim(std::string_view text);

// A key path folded, without stray, leading or trailing backslashes.
std::string NormalKey(std::string_view ansi);

// Reads a quoted string starting at s[pos] == '"'; pos ends past the closing quote. Handles
// regedit's \\ and \" and Wine's C-like escapes (\n, \x1234, \012 ...). ansi: a \x escape beyond
// 0xFF becomes "?" rather than UTF-8.
std::optional<std::string> Unquote(std::string_view s, size_t& pos, bool ansi);

// A line that opens a key: the key's path below HKEY_CURRENT_USER (folded ANSI), and whether the
// line deletes it ("[-HKEY_CURRENT_USER\...]"). Nothing for a line of another root, a malformed
// one, or one that is no key line.
struct KeyLine {
    std::string path;
    bool remove = false;
};
std::optional<KeyLine> ParseKeyLine(std::string_view line, Format format);

// The name a value line sets (folded ANSI, "" for the default value "@") and where its data
// starts, past the "="; nothing for any other line.
struct ValueLine {
    std::string name;
    std::string_view data;
};
std::optional<ValueLine> ParseValueLine(std::string_view line, Format format);

// Hex data goes on over lines that end in a backslash.
bool ContinuesOnNextLine(std::string_view line);

// The text in the format's own terms: a Unicode format's text is UTF-8, REGEDIT4's is ANSI.
std::string TextToAnsi(std::string_view text, Format format);

} // namespace papyra::regtext
