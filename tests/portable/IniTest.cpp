// The private-profile engine every system shares: the text edited as Windows edits it, and the
// buffers filled as the Windows services fill them.
#include "platform/ini/IniProfile.h"
#include "platform/ini/IniText.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

TEST(IniText, SetValueTouchesOnlyTheLinesItMust) {
    struct Case {
        const char* what;
        std::string before, section, key, value, after;
    } cases[] = {
        {"empty file", "", "Printer", "Size", "9", "[Printer]\r\nSize=9\r\n"},
        {"replace in place, own spelling and line end kept",
         "; top\r\n[printer]\r\n  SIZE = 1 \n Orient=1\r\n", " Printer ", "size", "9",
         "; top\r\n[printer]\r\nSIZE=9\n Orient=1\r\n"},
        {"new key after the last key, before trailing blanks and comments",
         "[Printer]\r\nA=1\r\n\r\n; about B\r\n\r\n[Other]\r\nB=2\r\n", "PRINTER", "New", "x",
         "[Printer]\r\nA=1\r\nNew=x\r\n\r\n; about B\r\n\r\n[Other]\r\nB=2\r\n"},
        {"new key in an empty section", "[Printer]\r\n[Other]\r\n", "printer", "K", "v",
         "[Printer]\r\nK=v\r\n[Other]\r\n"},
        {"new section at the end, file without final line end", "[A]\r\nx=1", "B", "k", "v",
         "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"new key after a last line without line end", "[A]\r\nx=1", "a", "k", "v",
         "[A]\r\nx=1\r\nk=v\r\n"},
        {"first of duplicate sections", "[A]\r\nx=1\r\n[a]\r\nx=2\r\n", "A", "X", "3",
         "[A]\r\nx=3\r\n[a]\r\nx=2\r\n"},
        {"comment that looks like the key", "[A]\r\n;k=1\r\n", "A", "k", "2",
         "[A]\r\n;k=1\r\nk=2\r\n"},
        {"odd bytes, lone CR and LF lines kept", "\x01\xFF\0junk\r[A]\nk=1\rz\r\n"s, "A", "k",
         "\xE9", "\x01\xFF\0junk\r[A]\nk=\xE9\rz\r\n"s},
        {"keys before any section are no section's", "k=1\r\n[A]\r\n", "A", "k", "2",
         "k=1\r\n[A]\r\nk=2\r\n"},
    };
    for (const Case& c : cases) {
        IniText text(c.before);
        text.SetValue(c.section, c.key, c.value);
        EXPECT_EQ(text.Bytes(), c.after) << c.what;
    }
}

TEST(IniProfile, StringReadsAreCutToTheBufferAndSectionsReadLikeWindows) {
    ScratchFolder folder;
    const std::string file = folder / "p.ini";
    const std::string before =
        "[Printer]\r\nPaperSize = \"Letter 8 1/2 x 11 in\" \r\nTwice=\"\"x\"\"\r\n";
    WriteBytes(file, before);
    const std::tuple<std::string, std::string, uint32_t, std::string> strings[] = {
        {"papersize", "", 100, "Letter 8 1/2 x 11 in"},
        {"PaperSize", "", 10, "Letter 8 "},
        {"PaperSize", "", 1, ""},
        {"Missing", "X  ", 100, "X"},
        {"twice", "", 100, "\"x\""}, // unquoted once
    };
    IniProfile profile;
    for (const auto& [key, def, size, text] : strings) {
        std::string buffer(size + 1, '#');
        EXPECT_EQ(profile.GetPrivateProfileStringA("PRINTER", key, def, buffer.data(), size, file),
                  text.size());
        EXPECT_EQ(buffer, text + '\0' + std::string(size - text.size(), '#')) << key << size;
    }
    EXPECT_TRUE(profile.WritePrivateProfileSectionA("Test", "a=1\0b=2\0\0"s, file));
    EXPECT_EQ(ReadBytes(file), before + "[Test]\r\na=1\r\nb=2\r\n");
    const std::tuple<std::string, uint32_t, std::string, uint32_t> sections[] = {
        {"test", 32000, "a=1\0b=2\0\0"s, 8},
        {"test", 8, "a=1\0b=\0\0"s, 6}, // cut to fit, and still ended by two NULs
        {"test", 2, "\0\0"s, 0},
        {"Absent", 4, "\0"s, 0},
    };
    for (const auto& [section, size, block, result] : sections) {
        std::string buffer(size, '#');
        EXPECT_EQ(profile.GetPrivateProfileSectionA(section, buffer.data(), size, file), result);
        EXPECT_EQ(buffer.substr(0, block.size()), block) << size;
    }
}
