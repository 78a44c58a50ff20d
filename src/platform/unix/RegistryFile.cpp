#include "platform/unix/RegistryFile.h"

#include "platform/ansi/AnsiText.h"
#include "platform/unix/PlainFile.h"
#include "platform/unix/RegistryText.h"
#include "platform/unix/UserFolders.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace papyra {
namespace {

// A larger file is no registry export anyone made; reading it would only cost memory.
constexpr size_t MaxFileSize = 256 << 20;

using namespace regtext;

std::string ReadAll(const std::string& path) {
    return ReadPlainFile(path, MaxFileSize).value_or("");
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "01,02,ff": bytes of one or two hex digits, separated by commas (and line-joining blanks).
std::optional<std::string> HexBytes(std::string_view s) {
    std::string bytes;
    int digits = 0, byte = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d >= 0) {
            if (++digits > 2) return std::nullopt;
            byte = byte * 16 + d;
            continue;
        }
        if (c != ',' && c != ' ' && c != '\t') return std::nullopt;
        if (digits > 0) bytes += static_cast<char>(byte);
        digits = byte = 0;
    }
    if (digits > 0) bytes += static_cast<char>(byte);
    return bytes;
}

class Parser {
public:
    Parser(RegistryFile::Keys& keys, Format format) : keys_(keys), format_(format) {}

    void Parse(std::string_view text) {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t nl = text.find('\n', pos);
            if (nl == std::string_view::npos) nl = text.size();
            std::string line(Trim(text.substr(pos, nl - pos)));
            pos = nl + 1;
            while (ContinuesOnNextLine(line) && pos < text.size()) {
                nl = text.find('\n', pos);
                if (nl == std::string_view::npos) nl = text.size();
                line.pop_back();
                line += Trim(text.substr(pos, nl - pos));
                pos = nl + 1;
            }
            ParseLine(line);
        }
    }

private:
    bool Ansi() const { return format_ == Format::Regedit4; }

    void ParseLine(std::string_view line) {
        if (line.starts_with("[")) return ParseKey(line);
        if (!current_) return;
        const auto value = ParseValueLine(line, format_);
        if (!value) return;
        auto& values = keys_[*current_];
        if (value->data == "-") {
            values.erase(value->name);
            return;
        }
        if (auto data = ParseData(value->data)) values[value->name] = *data;
    }

    void ParseKey(std::string_view line) {
        current_.reset();
        const auto key = ParseKeyLine(line, format_);
        if (!key) return;
        const std::string& path = key->path;
        if (key->remove) {
            keys_.erase(path);
            auto below = keys_.lower_bound(path.empty() ? path : path + "\\");
            while (below != keys_.end() && (path.empty() || below->first.starts_with(path + "\\")))
                below = keys_.erase(below);
            return;
        }
        current_ = path;
        AddKey(path);
    }

    // Importing a key creates the keys above it too, so they outlive a later deletion below.
    void AddKey(const std::string& path) {
        for (size_t slash = path.find('\\'); slash != std::string::npos;
             slash = path.find('\\', slash + 1))
            keys_[path.substr(0, slash)];
        keys_[path];
    }

    std::optional<RegistryFile::Value> ParseData(std::string_view data) const {
        if (data.empty()) return std::nullopt;
        if (data[0] == '"') {
            size_t pos = 0;
            auto text = Unquote(data, pos, Ansi());
            if (!text || !Trim(data.substr(pos)).empty()) return std::nullopt;
            return RegistryFile::Value{Registry::REG_SZ, TextToAnsi(*text, format_) + '\0'};
        }
        if (data.starts_with("str(")) {
            size_t close = data.find("):");
            if (close == std::string_view::npos) return std::nullopt;
            auto type = ParseHexNumber(data.substr(4, close - 4));
            size_t pos = close + 2;
            auto text = Unquote(data, pos, Ansi());
            if (!type || !text) return std::nullopt;
            return RegistryFile::Value{*type, TextToAnsi(*text, format_) + '\0'};
        }
        if (data.starts_with("dword:")) {
            auto number = ParseHexNumber(data.substr(6));
            if (!number) return std::nullopt;
            std::string bytes(4, '\0');
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<char>((*number >> (8 * i)) & 0xFF);
            return RegistryFile::Value{Registry::REG_DWORD, bytes};
        }
        if (!data.starts_with("hex")) return std::nullopt;
        uint32_t type = Registry::REG_BINARY;
        size_t colon = data.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        if (colon > 3) {
            std::string_view typeCode = data.substr(3, colon - 3);
            if (typeCode.size() < 3 || typeCode.front() != '(' || typeCode.back() != ')')
                return std::nullopt;
            auto number = ParseHexNumber(typeCode.substr(1, typeCode.size() - 2));
            if (!number) return std::nullopt;
            type = *number;
        }
        auto bytes = HexBytes(data.substr(colon + 1));
        if (!bytes) return std::nullopt;
        // String types hold UTF-16 in the Unicode formats; REGEDIT4 wrote the ANSI bytes.
        bool stringType = type == Registry::REG_SZ || type == Registry::REG_EXPAND_SZ || type == 7;
        if (stringType && !Ansi()) {
            bytes->resize(bytes->size() & ~size_t{1});
            *bytes = Utf16LeToAnsi(*bytes);
        }
        return RegistryFile::Value{type, *bytes};
    }

    static std::optional<uint32_t> ParseHexNumber(std::string_view s) {
        s = Trim(s);
        if (s.empty() || s.size() > 8) return std::nullopt;
        uint32_t n = 0;
        for (char c : s) {
            int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<uint32_t>(d);
        }
        return n;
    }

    RegistryFile::Keys& keys_;
    Format format_;
    std::optional<std::string> current_;
};

void Load(const std::string& path, RegistryFile::Keys& keys) {
    const std::string bytes = ReadAll(path);
    const Encoding encoding = EncodingOf(bytes);
    const std::string text = Decode(std::string_view(bytes).substr(MarkSize(encoding)), encoding);
    const size_t nl = text.find('\n');
    const std::optional<Format> format = FormatOfHeader(std::string_view(text).substr(0, nl));
    if (!format || nl == std::string::npos) return;
    Parser(keys, *format).Parse(std::string_view(text).substr(nl + 1));
}

bool IsPredefinedRoot(uint32_t root) {
    return root >= 0x80000000u && root <= 0x80000006u;
}

} // namespace

std::string RegistryFile::DefaultPath() {
    const char* file = std::getenv("PAPYRA_HKCU");
    if (file && *file) return file;
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix) return std::string(prefix) + "/user.reg";
    return HomeFolder() + "/.config/papyra/HKEY_CURRENT_USER.reg";
}

RegistryFile::RegistryFile() : RegistryFile(DefaultPath()) {}

RegistryFile::RegistryFile(const std::string& nativePath) : path_(nativePath) {}

void RegistryFile::Reload() {
    keys_.clear();
    try {
        Load(path_, keys_);
    } catch (const std::exception&) {
        // A file we cannot take in whole is as good as no file.
        keys_.clear();
    }
}

bool RegistryFile::KeyExists(const std::string& path) const {
    return path.empty() || keys_.count(path) > 0;
}

long RegistryFile::RegOpenKeyExA(uint32_t root, const std::string& subKey, uint32_t /*options*/,
                                 uint32_t /*access*/, int32_t& handle) {
    std::string base;
    if (root == HKEY_CURRENT_USER) {
        // The file is small and may change while the program runs (an administrator picks
        // another printer while the setup window is open): each open of a key reads it afresh.
        Reload();
        base = "";
    } else if (IsPredefinedRoot(root)) {
        return ERROR_FILE_NOT_FOUND; // the file holds the current user's part only
    } else {
        int32_t index = static_cast<int32_t>(root) - 1;
        if (index < 0 || index >= static_cast<int32_t>(handles_.size()) || !handles_[index])
            return ERROR_INVALID_HANDLE;
        base = *handles_[index];
    }
    std::string path = NormalKey(base + "\\" + subKey);
    if (!KeyExists(path)) return ERROR_FILE_NOT_FOUND;
    handles_.push_back(path);
    handle = static_cast<int32_t>(handles_.size());
    return ERROR_SUCCESS;
}

long RegistryFile::RegQueryValueExA(int32_t handle, const std::string& valueName, uint32_t& type,
                                    uint8_t* data, uint32_t& size) {
    if (handle < 1 || handle > static_cast<int32_t>(handles_.size()) || !handles_[handle - 1])
        return ERROR_INVALID_HANDLE;
    auto key = keys_.find(*handles_[handle - 1]);
    if (key == keys_.end()) return ERROR_FILE_NOT_FOUND;
    auto value = key->second.find(FoldCase(valueName));
    if (value == key->second.end()) return ERROR_FILE_NOT_FOUND;
    const std::string& bytes = value->second.bytes;
    type = value->second.type;
    if (data) {
        if (size < bytes.size()) {
            size = static_cast<uint32_t>(bytes.size());
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, bytes.data(), bytes.size());
    }
    size = static_cast<uint32_t>(bytes.size());
    return ERROR_SUCCESS;
}

long RegistryFile::RegCloseKey(int32_t handle) {
    if (handle < 1 || handle > static_cast<int32_t>(handles_.size()) || !handles_[handle - 1])
        return ERROR_INVALID_HANDLE;
    handles_[handle - 1].reset();
    return ERROR_SUCCESS;
}

} // namespace papyra
