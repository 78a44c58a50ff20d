#include "platform/ini/IniProfile.h"

#include "platform/ini/IniText.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace papyra {

template <typename Edit> bool IniProfile::EditFile(const std::string& file, Edit edit) {
    if (file.empty() || file.find('\0') != std::string::npos) return false;
    std::optional<std::string> old = Read(file);
    if (!old) return false;
    IniText text(*old);
    edit(text);
    return Replace(file, text.Bytes());
}

IniText IniProfile::ReadText(const std::string& file) {
    if (file.empty() || file.find('\0') != std::string::npos) return IniText();
    return IniText(Read(file).value_or(""));
}

bool IniProfile::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) {
    return EditFile(file, [&](IniText& text) { text.SetValue(section, key, value); });
}

uint32_t IniProfile::GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                              const std::string& def, char* buffer, uint32_t size,
                                              const std::string& file) {
    if (size == 0 || !buffer) return 0;
    std::optional<std::string> found = ReadText(file).Value(section, key);
    std::string value = found ? *found : def.substr(0, def.find_last_not_of(' ') + 1);
    size_t copied = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), copied);
    buffer[copied] = '\0';
    return static_cast<uint32_t>(copied);
}

bool IniProfile::WritePrivateProfileSectionA(const std::string& section, const std::string& block,
                                             const std::string& file) {
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < block.size();) {
        size_t nul = block.find('\0', pos);
        if (nul == std::string::npos) nul = block.size();
        if (nul == pos) break;
        lines.push_back(block.substr(pos, nul - pos));
        pos = nul + 1;
    }
    return EditFile(file, [&](IniText& text) { text.ReplaceSection(section, lines); });
}

uint32_t IniProfile::GetPrivateProfileSectionA(const std::string& section, char* buffer,
                                               uint32_t size, const std::string& file) {
    if (size == 0 || !buffer) return 0;
    std::string block;
    for (const std::string& line : ReadText(file).SectionLines(section)) {
        block += line;
        block += '\0';
    }
    if (block.size() + 1 <= size) {
        std::memcpy(buffer, block.data(), block.size());
        buffer[block.size()] = '\0';
        return static_cast<uint32_t>(block.size());
    }
    // Cut as Windows cuts: whatever fits, then the two NULs that end a block.
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, block.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

} // namespace papyra
