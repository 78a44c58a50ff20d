#include "platform/pdf/TrueTypeFont.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fontconfig/fontconfig.h>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace papyra {

namespace {

// Big-endian reads that never leave the buffer: a damaged font fails to load, it never crashes.
class Reader {
public:
    explicit Reader(std::string_view data) : data(data) {}
    bool Has(size_t offset, size_t length) const {
        return offset <= data.size() && length <= data.size() - offset;
    }
    uint16_t U16(size_t offset) const {
        if (!Has(offset, 2)) throw std::out_of_range("font table");
        return uint16_t(uint8_t(data[offset]) << 8 | uint8_t(data[offset + 1]));
    }
    int16_t S16(size_t offset) const { return int16_t(U16(offset)); }
    uint32_t U32(size_t offset) const { return uint32_t(U16(offset)) << 16 | U16(offset + 2); }
    std::string_view Bytes(size_t offset, size_t length) const {
        if (!Has(offset, length)) throw std::out_of_range("font table");
        return data.substr(offset, length);
    }

private:
    std::string_view data;
};

struct Tables {
    std::map<std::string, std::pair<uint32_t, uint32_t>> entries; // tag -> offset, length

    std::optional<uint32_t> Find(const std::string& tag) const {
        auto it = entries.find(tag);
        if (it == entries.end()) return std::nullopt;
        return it->second.first;
    }
};

Tables ReadTableDirectory(const Reader& r) {
    Tables tables;
    uint16_t count = r.U16(4);
    for (uint16_t i = 0; i < count; ++i) {
        size_t entry = 12 + 16 * size_t(i);
        std::string tag(r.Bytes(entry, 4));
        uint32_t offset = r.U32(entry + 8), length = r.U32(entry + 12);
        if (!r.Has(offset, length)) throw std::out_of_range("font table");
        tables.entries[tag] = {offset, length};
    }
    return tables;
}

// Glyph index of a Unicode code point through a format 4 subtable; 0 (.notdef) when absent.
uint16_t GlyphFromFormat4(const Reader& r, size_t sub, char32_t c) {
    uint16_t segments = r.U16(sub + 6) / 2;
    size_t ends = sub + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
           ranges = deltas + 2 * segments;
    for (uint16_t s = 0; s < segments; ++s) {
        if (c > r.U16(ends + 2 * s)) continue;
        uint16_t start = r.U16(starts + 2 * s);
        if (c < start) return 0;
        uint16_t delta = r.U16(deltas + 2 * s), rangeOffset = r.U16(ranges + 2 * s);
        if (rangeOffset == 0) return uint16_t(c + delta);
        size_t at = ranges + 2 * s + rangeOffset + 2 * (c - start);
        uint16_t glyph = r.U16(at);
        return glyph == 0 ? 0 : uint16_t(glyph + delta);
    }
    return 0;
}

// The Unicode subtable (Windows BMP, else Unicode platform) in format 4.
std::optional<size_t> FindUnicodeCmap(const Reader& r, uint32_t cmap) {
    std::optional<size_t> found;
    uint16_t count = r.U16(cmap + 2);
    for (uint16_t i = 0; i < count; ++i) {
        size_t record = cmap + 4 + 8 * size_t(i);
        uint16_t platform = r.U16(record), encoding = r.U16(record + 2);
        size_t sub = cmap + r.U32(record + 4);
        if (r.U16(sub) != 4) continue;
        if (platform == 3 && encoding == 1) return sub;
        if (platform == 0 && !found) found = sub;
    }
    return found;
}

// A PostScript name holds no blanks or delimiters.
std::string CleanPostScriptName(const std::string& name) {
    std::string clean;
    for (char c : name)
        if (c > 0x20 && c < 0x7F && std::string_view("()<>[]{}/%#").find(c) == std::string::npos)
            clean += c;
    return clean;
}

std::string ReadPostScriptName(const Reader& r, const Tables& tables) {
    auto name = tables.Find("name");
    if (!name) return {};
    uint16_t count = r.U16(*name + 2);
    size_t strings = *name + r.U16(*name + 4);
    for (uint16_t i = 0; i < count; ++i) {
        size_t record = *name + 6 + 12 * size_t(i);
        uint16_t platform = r.U16(record), nameId = r.U16(record + 6);
        if (nameId != 6 || (platform != 1 && platform != 3)) continue;
        std::string_view bytes = r.Bytes(strings + r.U16(record + 10), r.U16(record + 8));
        std::string text;
        if (platform == 3) {
            for (size_t k = 1; k < bytes.size(); k += 2)
                text += bytes[k - 1] == 0 ? bytes[k] : '_';
        } else {
            text = bytes;
        }
        text = CleanPostScriptName(text);
        if (!text.empty()) return text;
    }
    return {};
}

std::shared_ptr<TrueTypeFont> Parse(const std::string& path, std::string bytes) {
    Reader r(bytes);
    uint32_t version = r.U32(0);
    if (version != 0x00010000 && version != 0x74727565) // 'true'; 'OTTO' and 'ttcf' need more
        return nullptr;
    Tables tables = ReadTableDirectory(r);
    auto head = tables.Find("head"), hhea = tables.Find("hhea"), hmtx = tables.Find("hmtx"),
         cmap = tables.Find("cmap");
    if (!head || !hhea || !hmtx || !cmap || !tables.Find("glyf") || !tables.Find("loca"))
        return nullptr;
    auto font = std::make_shared<TrueTypeFont>();
    font->path = path;
    double unitsPerEm = r.U16(*head + 18);
    if (unitsPerEm < 16) return nullptr;
    auto em = [&](double units) { return units * 1000 / unitsPerEm; };
    font->bbox = {em(r.S16(*head + 36)), em(r.S16(*head + 38)), em(r.S16(*head + 40)),
                  em(r.S16(*head + 42))};

    double ascent = r.S16(*hhea + 4), descent = -r.S16(*hhea + 6);
    if (auto os2 = tables.Find("OS/2")) {
        // Windows places text and sizes its cell by the win metrics; do the same.
        ascent = r.U16(*os2 + 74);
        descent = r.U16(*os2 + 76);
        if (r.U16(*os2) >= 2)
            font->capHeight = em(r.S16(*os2 + 88));
        else
            font->capHeight = em(ascent);
    }
    font->ascent = em(ascent);
    font->descent = em(descent);
    font->lineHeight = em(ascent + descent);
    if (auto post = tables.Find("post")) {
        font->italicAngle = int32_t(r.U32(*post + 4)) / 65536.0;
        font->underlinePosition = em(r.S16(*post + 8));
        font->underlineThickness = em(r.S16(*post + 10));
        font->fixedPitch = r.U32(*post + 12) != 0;
    }

    uint16_t metrics = r.U16(*hhea + 34);
    if (metrics == 0) return nullptr;
    auto advance = [&](uint16_t glyph) {
        return r.U16(*hmtx + 4 * size_t(glyph < metrics ? glyph : metrics - 1));
    };
    auto sub = FindUnicodeCmap(r, *cmap);
    if (!sub) return nullptr;
    uint16_t blankGlyph = GlyphFromFormat4(r, *sub, U' ');
    for (int byte = 0; byte < 256; ++byte) {
        uint16_t glyph =
            IsPrintableAnsi(byte) ? GlyphFromFormat4(r, *sub, AnsiToUnicode(byte)) : blankGlyph;
        // Four decimals is what /Widths carries; measuring with the same figure keeps a run's
        // drawn end exactly where TextWidth put it.
        font->widths[byte] = std::round(em(advance(glyph)) * 1e4) / 1e4;
        font->glyphs[byte] = glyph;
    }
    font->postScriptName = ReadPostScriptName(r, tables);
    if (font->postScriptName.empty()) font->postScriptName = "Font";
    font->fileBytes = std::move(bytes);
    return font;
}

void PutU16(std::string& out, size_t offset, uint16_t value) {
    out[offset] = char(value >> 8);
    out[offset + 1] = char(value);
}

void PutU32(std::string& out, size_t offset, uint32_t value) {
    PutU16(out, offset, uint16_t(value >> 16));
    PutU16(out, offset + 2, uint16_t(value));
}

void AppendU16(std::string& out, uint16_t value) {
    out += char(value >> 8);
    out += char(value);
}

void AppendU32(std::string& out, uint32_t value) {
    AppendU16(out, uint16_t(value >> 16));
    AppendU16(out, uint16_t(value));
}

uint32_t TableChecksum(std::string_view table) {
    uint32_t sum = 0;
    for (size_t i = 0; i < table.size(); i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k)
            word = word << 8 | (i + k < table.size() ? uint8_t(table[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// The glyphs to keep: .notdef, the ones the bytes draw, and every component they are built of.
std::vector<bool> GlyphsToKeep(const Reader& r, const TrueTypeFont& font,
                               const std::array<bool, 256>& usedBytes, uint16_t glyphCount,
                               const std::function<std::pair<uint32_t, uint32_t>(uint16_t)>& at) {
    std::vector<bool> keep(glyphCount, false);
    std::vector<uint16_t> pending = {0, font.glyphs[' ']};
    for (int byte = 0; byte < 256; ++byte)
        if (usedBytes[byte]) pending.push_back(font.glyphs[byte]);
    while (!pending.empty()) {
        uint16_t glyph = pending.back();
        pending.pop_back();
        if (glyph >= glyphCount || keep[glyph]) continue;
        keep[glyph] = true;
        auto [start, end] = at(glyph);
        if (end <= start || r.S16(start) >= 0) continue;
        // A composite glyph: follow its component records.
        size_t record = start + 10;
        for (uint16_t flags = 0x20; flags & 0x20;) {
            flags = r.U16(record);
            pending.push_back(r.U16(record + 2));
            record += 4 + (flags & 0x1 ? 4 : 2);
            record += flags & 0x8 ? 2 : flags & 0x40 ? 4 : flags & 0x80 ? 8 : 0;
        }
    }
    return keep;
}

std::string StripGlyphs(const TrueTypeFont& font, const std::array<bool, 256>& usedBytes) {
    Reader r(font.fileBytes);
    Tables tables = ReadTableDirectory(r);
    auto head = tables.Find("head"), loca = tables.Find("loca"), glyf = tables.Find("glyf"),
         maxp = tables.Find("maxp");
    if (!head || !loca || !glyf || !maxp) return font.fileBytes;
    uint16_t glyphCount = r.U16(*maxp + 4);
    bool longOffsets = r.S16(*head + 50) == 1;
    auto at = [&](uint16_t glyph) -> std::pair<uint32_t, uint32_t> {
        uint32_t start = longOffsets ? r.U32(*loca + 4 * size_t(glyph))
                                     : 2 * uint32_t(r.U16(*loca + 2 * size_t(glyph)));
        uint32_t end = longOffsets ? r.U32(*loca + 4 * size_t(glyph) + 4)
                                   : 2 * uint32_t(r.U16(*loca + 2 * size_t(glyph) + 2));
        r.Bytes(*glyf + start, end >= start ? end - start : 0);
        return {*glyf + start, *glyf + std::max(start, end)};
    };
    std::vector<bool> keep = GlyphsToKeep(r, font, usedBytes, glyphCount, at);

    std::string newGlyf, newLoca;
    for (uint32_t glyph = 0; glyph <= glyphCount; ++glyph) {
        if (longOffsets)
            AppendU32(newLoca, uint32_t(newGlyf.size()));
        else
            AppendU16(newLoca, uint16_t(newGlyf.size() / 2));
        if (glyph == glyphCount || !keep[glyph]) continue;
        auto [start, end] = at(uint16_t(glyph));
        newGlyf += r.Bytes(start, end - start);
        if (newGlyf.size() % 2) newGlyf += '\0';
    }

    std::map<std::string, std::string> kept;
    for (const char* tag :
         {"head", "hhea", "maxp", "hmtx", "cmap", "cvt ", "fpgm", "prep", "OS/2", "name", "gasp"})
        if (auto it = tables.entries.find(tag); it != tables.entries.end())
            kept[tag] = r.Bytes(it->second.first, it->second.second);
    kept["glyf"] = newGlyf;
    if (auto hhea = tables.Find("hhea"); hhea && kept.count("hmtx")) {
        // Metrics of glyphs never drawn repeat those of .notdef, so they compress to nothing.
        std::string& hmtx = kept["hmtx"];
        size_t metrics = std::min<size_t>(r.U16(*hhea + 34), hmtx.size() / 4);
        for (size_t glyph = 1; glyph < metrics && glyph < keep.size(); ++glyph)
            if (!keep[glyph]) hmtx.replace(4 * glyph, 4, hmtx, 0, 4);
    }
    kept["loca"] = newLoca;
    if (auto post = tables.Find("post")) {
        kept["post"] = r.Bytes(*post, 32); // version 3: the metrics without the glyph names
        PutU32(kept["post"], 0, 0x00030000);
    }
    PutU32(kept["head"], 8, 0); // checkSumAdjustment, set once the file is whole

    uint16_t count = uint16_t(kept.size()), power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    std::string out;
    AppendU32(out, 0x00010000);
    AppendU16(out, count);
    AppendU16(out, uint16_t(16 * power));
    AppendU16(out, log2);
    AppendU16(out, uint16_t(16 * count - 16 * power));
    size_t offset = 12 + 16 * size_t(count), headOffset = 0;
    for (const auto& [tag, data] : kept) {
        out += tag;
        AppendU32(out, TableChecksum(data));
        AppendU32(out, uint32_t(offset));
        AppendU32(out, uint32_t(data.size()));
        if (tag == "head") headOffset = offset;
        offset += (data.size() + 3) & ~size_t(3);
    }
    for (const auto& [tag, data] : kept) {
        out += data;
        out.append((4 - data.size() % 4) % 4, '\0');
    }
    PutU32(out, headOffset + 8, 0xB1B0AFBA - TableChecksum(out));
    return out;
}

std::vector<std::string> CandidateFiles(const std::string& family, bool bold) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { FcInit(); });
    std::vector<std::string> files;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
                files.emplace_back(reinterpret_cast<const char*>(file));
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(pattern);
    return files;
}

std::mutex cacheMutex;
std::map<std::string, std::shared_ptr<const TrueTypeFont>> byPath;
std::map<std::pair<std::string, bool>, std::shared_ptr<const TrueTypeFont>> byRequest;

std::shared_ptr<const TrueTypeFont> LoadCached(const std::string& path) {
    auto it = byPath.find(path);
    if (it != byPath.end()) return it->second;
    auto font = LoadTrueTypeFont(path);
    byPath[path] = font;
    return font;
}

} // namespace

std::shared_ptr<const TrueTypeFont> LoadTrueTypeFont(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    try {
        return Parse(path, bytes.str());
    } catch (const std::out_of_range&) {
        return nullptr;
    }
}

std::string StripUnusedGlyphs(const TrueTypeFont& font, const std::array<bool, 256>& usedBytes) {
    try {
        return StripGlyphs(font, usedBytes);
    } catch (const std::out_of_range&) {
        return font.fileBytes;
    }
}

std::string Deflate(const std::string& data, int level) {
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), data.size(), level) != Z_OK)
        throw RuntimeError(57);
    out.resize(size);
    return out;
}

std::shared_ptr<const TrueTypeFont> ResolveTrueTypeFont(const std::string& family, bool bold) {
    std::lock_guard lock(cacheMutex);
    auto key = std::make_pair(family, bold);
    if (auto it = byRequest.find(key); it != byRequest.end()) return it->second;
    // The best match may be an OpenType/CFF or a collection, which a /TrueType font cannot
    // carry; the next best TrueType file keeps the metrics closest to what was asked.
    for (const std::string& file : CandidateFiles(AnsiToUtf8(family), bold)) {
        if (auto font = LoadCached(file)) {
            byRequest[key] = font;
            return font;
        }
    }
    throw RuntimeError(482);
}

} // namespace papyra
