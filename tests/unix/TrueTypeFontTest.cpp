#include "platform/pdf/TrueTypeFont.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace papyra;
using namespace papyra::test;

namespace {

TEST(TrueTypeFont, CourierNewComesWithCourierMetrics) {
    auto regular = ResolveTrueTypeFont("Courier New", false);
    auto bold = ResolveTrueTypeFont("Courier New", true);
    ASSERT_TRUE(regular && bold);
    EXPECT_NE(regular->path, bold->path);
    EXPECT_EQ(ResolveTrueTypeFont("Courier New", false), regular) << "loaded once";
    for (const auto& font : {regular, bold}) {
        EXPECT_TRUE(font->fixedPitch);
        // Every character, and every byte drawn as a blank, advances 0.6 em.
        for (int byte = 0; byte < 256; ++byte)
            EXPECT_NEAR(font->widths[byte], 600, 0.5) << byte;
        EXPECT_GT(font->lineHeight, 1050);
        EXPECT_LT(font->lineHeight, 1250);
        EXPECT_NEAR(font->ascent + font->descent, font->lineHeight, 1e-9);
        EXPECT_LT(font->underlinePosition, 0);
        EXPECT_GT(font->underlineThickness, 0);
    }
    EXPECT_NE(regular->glyphs[0x80], regular->glyphs[' ']) << "the euro sign has a glyph";
    EXPECT_EQ(regular->glyphs[0x81], regular->glyphs[' ']);
    EXPECT_EQ(regular->glyphs['\t'], regular->glyphs[' ']);
}

TEST(TrueTypeFont, DamagedOrForeignFilesAreRefused) {
    const std::string& bytes = ResolveTrueTypeFont("Courier New", false)->fileBytes;
    std::string hugeOffset = bytes, cff = bytes;
    hugeOffset[12 + 8] = char(0x7F); // first table said to start far beyond the end
    cff.replace(0, 4, "OTTO");
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"header only", bytes.substr(0, 11)},
        {"directory cut", bytes.substr(0, 100)},
        {"tables cut", bytes.substr(0, bytes.size() / 2)},
        {"table beyond end", hugeOffset},
        {"cff outlines", cff},
        {"text", std::string(4000, 'x')},
    };
    ScratchFolder folder;
    for (const auto& [name, content] : cases) {
        WriteBytes(folder / "font.ttf", content);
        EXPECT_EQ(LoadTrueTypeFont(folder / "font.ttf"), nullptr) << name;
    }
    EXPECT_EQ(LoadTrueTypeFont(folder / "missing.ttf"), nullptr);
}

TEST(TrueTypeFont, StrippedFileIsStillTheSameFont) {
    ScratchFolder folder;
    std::array<bool, 256> used{};
    for (unsigned char c : std::string("Caf\xe9 \x80 \x97"))
        used[c] = true;
    for (bool bold : {false, true}) {
        auto font = ResolveTrueTypeFont("Courier New", bold);
        const std::string stripped = StripUnusedGlyphs(*font, used);
        EXPECT_LT(stripped.size(), font->fileBytes.size() / 4);
        WriteBytes(folder / "stripped.ttf", stripped);
        auto reloaded = LoadTrueTypeFont(folder / "stripped.ttf");
        ASSERT_TRUE(reloaded) << "bold " << bold;
        EXPECT_EQ(reloaded->widths, font->widths);
        EXPECT_EQ(reloaded->glyphs, font->glyphs);
        EXPECT_EQ(reloaded->lineHeight, font->lineHeight);
        EXPECT_EQ(reloaded->postScriptName, font->postScriptName);
    }
}

} // namespace
