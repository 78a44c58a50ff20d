#pragma once
// Windows-1252, the code page of every report byte, and how its bytes reach Unicode.
#include <cstdint>
#include <string>

namespace papyra::winansi {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t ToUnicode(unsigned char byte);

// Whether the byte stands for a character with a glyph: not a control character, not DEL, not
// one of the undefined bytes.
bool IsPrintable(unsigned char byte);

// The bytes as UTF-8; an undefined byte becomes U+FFFD.
std::string ToUtf8(const std::string& ansi);

} // namespace papyra::winansi
