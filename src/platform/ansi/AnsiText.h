#pragma once
// The ANSI code page (Windows-1252) where the program's 8-bit strings meet Unicode, and the case
// folding Windows applies to names (registry keys and values, profile sections and keys). Plain
// tables: the same bytes on every system, nothing to install.
//
// A character the code page has no byte for becomes the stand-in "<U+XXXX>" (its code point in
// hex, at least four digits), and a byte that is not UTF-8 becomes "<xHH>". The stand-in is
// stable and tells different characters apart, so two names that differ in Unicode still differ
// as ANSI: a printer "東京" is "<U+6771><U+4EAC>" wherever the program meets it, in the printer
// list and in the registry alike.
#include <string>
#include <string_view>

namespace papyra {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t AnsiToUnicode(unsigned char byte);
// Whether the byte stands for a character with a glyph: not a control, not DEL, not undefined.
bool IsPrintableAnsi(unsigned char byte);

// The five undefined bytes become the C1 controls of the same number, as on Windows.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16LeToAnsi(std::string_view utf16le);
std::string Utf16LeToUtf8(std::string_view utf16le);
// Whether text is well-formed UTF-8 (ASCII is).
bool IsValidUtf8(std::string_view text);
// The code points of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::u32string Utf8CodePoints(std::string_view utf8);

// Folds ASCII and Latin-1 letters to lower case, byte for byte.
std::string FoldCase(std::string_view ansi);
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace papyra
