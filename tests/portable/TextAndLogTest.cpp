// Windows-1252 where the program's bytes meet Unicode, and the job log's lines.
#include "platform/ansi/AnsiText.h"
#include "platform/joblog/JobLog.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;
using namespace std::string_literals;

TEST(AnsiText, EveryByteRoundTripsAndOthersGetStandInsThatTellThemApart) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(byte)), byte) << b;
    }
    const std::pair<std::string, std::string> cases[] = {
        {"Z\xC3\xBCrich \xE2\x82\xAC", "Z\xFCrich \x80"}, // ü, € from the 0x80 row
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "<U+6771><U+4EAC>"}, // no byte for these
        {"\xF0\x9F\x96\xA8", "<U+1F5A8>"},                // nor outside the BMP
        {"a\377b\303", "a<xFF>b<xC3>"},                   // not UTF-8 at all
        {"\xC0\x80", "<xC0><x80>"},                       // overlong
    };
    for (const auto& [utf8, ansi] : cases)
        EXPECT_EQ(Utf8ToAnsi(utf8), ansi) << utf8;
    EXPECT_EQ(Utf16LeToAnsi("Z\0\374\0=\330\250\335"s), "Z\xFC<U+1F5A8>");
    EXPECT_EQ(Utf16LeToUtf8("\0\330a\0"s), "\357\277\275a") << "a lone surrogate";
    EXPECT_TRUE(EqualsNoCase("Z\xDCRICH \x8A", "z\xFCrich \x9A"));
    EXPECT_FALSE(EqualsNoCase("\xD7", "\xF7")) << "the multiplication sign has no case";
}

TEST(JobLog, OneJsonLineARunRotatedAtItsLimit) {
    JobEntry entry;
    entry.mode = "print";
    entry.report = "C:\\Reports\\M\xE4rz.prt"; // Windows-1252, made UTF-8
    entry.pages = 3;
    entry.outcome = "failed";
    entry.error = 52;
    entry.errorText = "Bad file name or number";
    entry.subject = "queue \"laser\"\n";
    EXPECT_EQ(FormatJobLine(entry, 0),
              "{\"time\":\"1970-01-01T00:00:00Z\",\"mode\":\"print\",\"report\":\"C:\\\\Reports\\\\"
              "M\xC3\xA4rz.prt\",\"pages\":3,\"outcome\":\"failed\",\"error\":52,\"text\":\"Bad "
              "file name or number\",\"subject\":\"queue \\\"laser\\\"\\u000a\"}")
        << "what is not known is left out";

    ScratchFolder folder;
    const std::string log = folder / "state/papyra.log";
    const std::string line(1000, 'x');
    for (int i = 0; i < 1100; ++i) // past the limit once
        AppendJobLine(log, line);
    EXPECT_EQ(ReadBytes(log + ".1").size(), (JobLogLimit / 1001 + 1) * 1001) << "the full file";
    EXPECT_LT(ReadBytes(log).size(), JobLogLimit);
    AppendJobLine(folder / "not-a-folder/x/papyra.log", "never"); // nothing to write into: no throw
}
