#pragma once
// A TrueType font file as the PDF writer needs it: the bytes to embed and the metrics of the
// Windows-1252 characters, all in thousandths of an em (PDF glyph space).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace papyra {

struct TrueTypeFont {
    std::string path;
    std::string postScriptName;
    std::string fileBytes;
    // The glyph each Windows-1252 byte draws; bytes without a glyph draw the blank's.
    std::array<uint16_t, 256> glyphs{};

    // Advance of each Windows-1252 byte; bytes without a glyph advance like a blank. Rounded to
    // what the PDF /Widths array says, so measured and drawn widths agree.
    std::array<double, 256> widths{};
    double ascent = 800, descent = 200; // both positive: above and below the baseline
    double lineHeight = 1000;           // ascent + descent, as Windows' text height
    double capHeight = 700;
    double italicAngle = 0;
    double underlinePosition = -100, underlineThickness = 50;
    std::array<double, 4> bbox{0, -200, 1000, 800};
    bool fixedPitch = false;
};

// Parses a TrueType (glyf-outline) font file; nullptr when the file is not one this writer can
// embed (CFF outlines, collections, damaged tables).
std::shared_ptr<const TrueTypeFont> LoadTrueTypeFont(const std::string& path);

// The font file with the outlines of every glyph but those the given bytes draw left empty:
// glyph numbers, metrics and character map stay as they are, so the file stands in for the whole
// font in a document that draws only those bytes. Tables a PDF reader never consults (layout,
// glyph names) are left out. The whole file when it cannot be taken apart.
std::string StripUnusedGlyphs(const TrueTypeFont& font, const std::array<bool, 256>& usedBytes);

// Deflates data (zlib format, as a /FlateDecode stream holds it).
std::string Deflate(const std::string& data, int level);

// The font the system substitutes for family (fontconfig), in the bold or regular weight; loaded
// once per process. RuntimeError 482 when no installed font can be embedded.
std::shared_ptr<const TrueTypeFont> ResolveTrueTypeFont(const std::string& family, bool bold);

} // namespace papyra
