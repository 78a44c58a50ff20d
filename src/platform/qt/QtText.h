#pragma once
// ANSI text (the program's 8-bit strings) at the Qt boundary: window captions and edit fields.
#include <QString>

#include <string>
#include <string_view>

namespace papyra {

QString FromAnsi(std::string_view ansi);
// A character the code page lacks becomes '?'.
std::string ToAnsi(const QString& text);

} // namespace papyra
