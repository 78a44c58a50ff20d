// The decoder's table, rule by rule: each sequence named, parameters read, text as text.
#include "admin/EscpDecoder.h"

#include <gtest/gtest.h>

using namespace papyra::admin;
using namespace std::string_literals;

namespace {

struct Rule {
    const char* name;
    std::string stream, shown;
};

const Rule Rules[] = {
    {"CrLfEndsALine", "a\r\nb", "a\nb\n"},
    {"FormFeedIsANewPageAndEndsALine",
     "a\x0C"
     "b",
     "a<FF (new page)>\nb\n"},
    {"PortraitSetUp",
     "\x12\x1BP\x1Bt\x01\x1B"
     "0\x1B"
     "CX\x1Bg",
     "<DC2 (condensed off)><ESC P (10 characters per inch)><ESC t 1 (character table 1)>"
     "<ESC 0 (1/8-inch line spacing)><ESC C 88 (page length 88 lines)>"
     "<ESC g (15 characters per inch)>\n"},
    {"LandscapeSetUp",
     "\x1B"
     "2\x1B"
     "CB\x1B\x0F\x0F",
     "<ESC 2 (1/6-inch line spacing)><ESC C 66 (page length 66 lines)><ESC SI (condensed)>"
     "<SI (condensed)>\n"},
    {"Emphasis",
     "\x0E"
     "A\x14\x1BG"
     "B\x1BH\x1B"
     "EC\x1B"
     "F",
     "<SO (double width on)>A<DC4 (double width off)><ESC G (double-strike on)>B"
     "<ESC H (double-strike off)><ESC E (bold on)>C<ESC F (bold off)>\n"},
    {"PitchesAndReset", "\x1B@\x1BM",
     "<ESC @ (initialize the printer)><ESC M (12 characters per inch)>\n"},
    {"PageLengthInInchesIsTheLongerMatch",
     "\x1B"
     "C\0\x0B"s,
     "<ESC C 0 11 (page length 11 inches)>\n"},
    {"UnknownEscAndControlBytesInHex", "\x1Bz\x07\x7F", "<ESC 0x7A><0x07><0x7F>\n"},
    {"ParameterCutOff", "\x1Bt", "<ESC t (cut off)>\n"},
    {"LoneCrAndLf", "a\rb\nc", "a<0x0D>b<0x0A>\nc\n"},
    {"Windows1252Text",
     "Pe\xF1"
     "a \x80 \x97",
     "Pe\xC3\xB1"
     "a \xE2\x82\xAC \xE2\x80\x94\n"},
    {"UndefinedWindows1252ByteInHex", "\x81", "<0x81>\n"},
    {"C4IsThePrintersLineOnlyUnderTheGraphicsTable",
     "\xC4\x1Bt\x01\xC4\x1B@\xC4\x1Bt\x01\x1Bt\x00\xC4"s,
     "\xC3\x84<ESC t 1 (character table 1)>\xE2\x94\x80<ESC @ (initialize the printer)>\xC3\x84"
     "<ESC t 1 (character table 1)><ESC t 0 (character table 0)>\xC3\x84\n"},
    {"EmptyStream", "", ""},
};

void PrintTo(const Rule& rule, std::ostream* out) {
    *out << rule.name;
}

class Decoding : public testing::TestWithParam<Rule> {};

TEST_P(Decoding, FollowsTheTable) {
    EXPECT_EQ(DecodeEscp(GetParam().stream), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Escp, Decoding, testing::ValuesIn(Rules),
                         [](const auto& info) { return info.param.name; });

} // namespace
