#include "platform/ini/IniText.h"

#include "platform/ansi/AnsiText.h"

#include <string_view>

namespace papyra {
namespace {

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The name inside "[name]", or nothing when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

bool IsKeyLine(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() != ';';
}

std::string_view KeyOf(std::string_view trimmed) {
    return Trim(trimmed.substr(0, trimmed.find('=')));
}

std::string_view ValueOf(std::string_view trimmed) {
    size_t eq = trimmed.find('=');
    return eq == std::string_view::npos ? std::string_view{} : Trim(trimmed.substr(eq + 1));
}

} // namespace

IniText::Line IniText::LineAt(size_t pos) const {
    size_t e = std::string_view(bytes_).find_first_of("\r\n", pos);
    if (e == std::string_view::npos) return {pos, bytes_.size(), bytes_.size()};
    size_t next = e + 1;
    if (bytes_[e] == '\r' && next < bytes_.size() && bytes_[next] == '\n') ++next;
    return {pos, e, next};
}

std::optional<IniText::Section> IniText::FindSection(const std::string& name) const {
    std::string_view wanted = Trim(name);
    size_t pos = 0;
    std::optional<Section> found;
    while (pos < bytes_.size()) {
        Line line = LineAt(pos);
        pos = line.end;
        std::string_view trimmed =
            Trim(std::string_view(bytes_).substr(line.begin, line.contentEnd - line.begin));
        if (auto header = SectionName(trimmed)) {
            if (found) break;
            if (EqualsNoCase(*header, wanted)) found = Section{line.end, line.end, line.end, {}};
            continue;
        }
        if (!found || trimmed.empty()) continue;
        found->contentEnd = line.end;
        if (IsKeyLine(trimmed)) {
            found->keys.push_back(line);
            found->lastKeyEnd = line.end;
        }
    }
    return found;
}

std::optional<std::string> IniText::Value(const std::string& section,
                                          const std::string& key) const {
    auto found = FindSection(section);
    if (!found) return std::nullopt;
    for (const Line& line : found->keys) {
        std::string_view trimmed =
            Trim(std::string_view(bytes_).substr(line.begin, line.contentEnd - line.begin));
        if (!EqualsNoCase(KeyOf(trimmed), Trim(key))) continue;
        std::string_view value = ValueOf(trimmed);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

void IniText::InsertLines(size_t pos, const std::string& text) {
    bool lineOpen = pos > 0 && bytes_[pos - 1] != '\n' && bytes_[pos - 1] != '\r';
    bytes_.insert(pos, lineOpen ? "\r\n" + text : text);
}

void IniText::SetValue(const std::string& section, const std::string& key,
                       const std::string& value) {
    auto found = FindSection(section);
    if (!found) {
        InsertLines(bytes_.size(), "[" + std::string(Trim(section)) + "]\r\n" +
                                       std::string(Trim(key)) + "=" + value + "\r\n");
        return;
    }
    for (const Line& line : found->keys) {
        std::string_view trimmed =
            Trim(std::string_view(bytes_).substr(line.begin, line.contentEnd - line.begin));
        std::string_view spelling = KeyOf(trimmed);
        if (EqualsNoCase(spelling, Trim(key))) {
            bytes_.replace(line.begin, line.contentEnd - line.begin,
                           std::string(spelling) + "=" + value);
            return;
        }
    }
    // Without keys, the section's own comments stay above its first key.
    size_t at = found->keys.empty() ? found->contentEnd : found->lastKeyEnd;
    InsertLines(at, std::string(Trim(key)) + "=" + value + "\r\n");
}

std::vector<std::string> IniText::SectionLines(const std::string& section) const {
    std::vector<std::string> lines;
    auto found = FindSection(section);
    if (!found) return lines;
    for (const Line& line : found->keys) {
        std::string_view trimmed =
            Trim(std::string_view(bytes_).substr(line.begin, line.contentEnd - line.begin));
        if (trimmed.find('=') == std::string_view::npos)
            lines.emplace_back(trimmed);
        else
            lines.push_back(std::string(KeyOf(trimmed)) + "=" + std::string(ValueOf(trimmed)));
    }
    return lines;
}

void IniText::ReplaceSection(const std::string& section, const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& line : lines)
        block += line + "\r\n";
    auto found = FindSection(section);
    if (!found) {
        InsertLines(bytes_.size(), "[" + std::string(Trim(section)) + "]\r\n" + block);
        return;
    }
    bytes_.erase(found->headerEnd, found->contentEnd - found->headerEnd);
    InsertLines(found->headerEnd, block);
}

} // namespace papyra
