#pragma once
// The ANSI code page (Windows-1252) at the Unix boundary, and the case folding Windows applies to
// names (registry keys and values, profile sections and keys).
#include <string>
#include <string_view>

namespace papyra {

// Unicode text to ANSI bytes; a character the code page lacks becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16LeToAnsi(std::string_view utf16le);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf16LeToUtf8(std::string_view utf16le);

// Folds ASCII and Latin-1 letters to lower case, byte for byte.
std::string FoldCase(std::string_view ansi);
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace papyra
