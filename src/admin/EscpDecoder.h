#pragma once
// A raw ESC/P byte stream, as papyra's raw path sends it or a tractor queue captured it, made
// readable: text as text, each control sequence by its name and what it does.
//
// Lines of the result are the printer's lines: CR LF ends one, and so does a form feed, shown as
// "<FF (new page)>". Any other control sequence is shown where it stands, as "<NAME (meaning)>":
// "<ESC C 88 (page length 88 lines)>". An ESC sequence not in the table is "<ESC 0xNN>", any
// other control byte "<0xNN>". Text bytes are Windows-1252, the report's code page, shown in
// UTF-8, with one exception: under the graphics character table (ESC t 1) byte 0xC4 is the
// printer's horizontal line "─", which is what papyra turns the report's dashes into.
#include <string>
#include <string_view>

namespace papyra::admin {

std::string DecodeEscp(std::string_view stream);

} // namespace papyra::admin
