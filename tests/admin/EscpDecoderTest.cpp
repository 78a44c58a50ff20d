// The decoder's rules: sequences by their longest match, parameters read into their meaning,
// other control bytes in hex, text as Windows-1252, and the printer's line only under its table.
// The names of the sequences papyra sends are checked on a captured job (AdminCommandsTest).
#include "admin/EscpDecoder.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(EscpDecoder, ShowsTextAsTextAndEveryControlByItsNameOrInHex) {
    const struct {
        const char* what;
        std::string stream, shown;
    } cases[] = {
        {"CR LF ends a line, a form feed is a new page and ends one", "a\r\nb\fc",
         "a\nb<FF (new page)>\nc\n"},
        {"sequences of their own and with a parameter", "\033@\033M\033\017\017\033E\033F\033tA",
         "<ESC @ (initialize the printer)><ESC M (12 characters per inch)><ESC SI (condensed)>"
         "<SI (condensed)><ESC E (bold on)><ESC F (bold off)><ESC t 65 (character table 65)>\n"},
        {"the longer match", "\033C\0\013"s, "<ESC C 0 11 (page length 11 inches)>\n"},
        {"a parameter cut off", "\033t", "<ESC t (cut off)>\n"},
        {"unknown ESC, control bytes, lone CR and LF in hex", "\033z\007\177a\rb\nc",
         "<ESC 0x7A><0x07><0x7F>a<0x0D>b<0x0A>\nc\n"},
        {"Windows-1252 text; a byte it leaves undefined in hex", "Pe\361a \200 \227 \201",
         "Pe\303\261a \342\202\254 \342\200\224 <0x81>\n"},
        {"C4 is the printer's line only under character table 1",
         "\xC4\x1Bt\x01\xC4\x1B@\xC4\x1Bt\x01\x1Bt\x00\xC4"s,
         "\xC3\x84<ESC t 1 (character table 1)>\xE2\x94\x80<ESC @ (initialize the printer)>\xC3\x84"
         "<ESC t 1 (character table 1)><ESC t 0 (character table 0)>\xC3\x84\n"},
        {"nothing", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(papyra::admin::DecodeEscp(c.stream), c.shown) << c.what;
}
