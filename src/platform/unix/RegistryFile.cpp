#include "platform/unix/RegistryFile.h"

#include "platform/ansi/AnsiText.h"
#include "platform/unix/PlainFile.h"
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

enum class Format { Regedit5, Regedit4, Wine };

std::string ReadAll(const std::string& path) {
    return ReadPlainFile(path, MaxFileSize).value_or("");
}

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Key paths compare without regard to case, and without stray, leading or trailing backslashes.
std::string NormalKey(std::string_view ansi) {
    std::string out;
    for (char c : ansi) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return FoldCase(out);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendCodePoint(std::string& out, unsigned cp, bool ansi) {
    if (ansi) {
        out += cp <= 0xFF ? static_cast<char>(cp) : '?';
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Reads a quoted string starting at s[pos] == '"'; pos ends past the closing quote. Handles
// regedit's \\ and \" and Wine's C-like escapes (\n, \x1234, \012 ...).
std::optional<std::string> Unquote(std::string_view s, size_t& pos, bool ansi) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\' || pos + 1 >= s.size()) {
            out += c;
            continue;
        }
        char e = s[++pos];
        static const char simple[] = "a\ab\be\x1b"
                                     "f\fn\nr\rt\tv\v";
        const char* known = e ? std::strchr(simple, e) : nullptr;
        if (known && (known - simple) % 2 == 0) {
            out += known[1];
        } else if (e == 'x') {
            unsigned cp = 0;
            int digits = 0;
            while (digits < 4 && pos + 1 < s.size() && HexDigit(s[pos + 1]) >= 0) {
                cp = cp * 16 + static_cast<unsigned>(HexDigit(s[++pos]));
                ++digits;
            }
            AppendCodePoint(out, cp, ansi);
        } else if (e >= '0' && e <= '7') {
            unsigned cp = static_cast<unsigned>(e - '0');
            for (int digits = 1;
                 digits < 3 && pos + 1 < s.size() && s[pos + 1] >= '0' && s[pos + 1] <= '7';
                 ++digits)
                cp = cp * 8 + static_cast<unsigned>(s[++pos] - '0');
            AppendCodePoint(out, cp, ansi);
        } else {
            out += e; // \\ and \" and anything unknown stand for themselves
        }
    }
    return std::nullopt;
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
            // Hex data may go on over lines that end in a backslash.
            while (!line.empty() && line.back() == '\\' && IsHexValue(line) && pos < text.size()) {
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
    std::string ToAnsi(std::string_view text) const {
        return Ansi() ? std::string(text) : Utf8ToAnsi(text);
    }

    static bool IsHexValue(const std::string& line) {
        size_t eq = line.find("\"=hex");
        if (eq == std::string::npos) eq = line.find("@=hex");
        return eq != std::string::npos;
    }

    void ParseLine(std::string_view line) {
        if (line.empty() || line[0] == ';' || line[0] == '#') return;
        if (line[0] == '[') return ParseKey(line);
        if (!current_) return;
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else {
            auto quoted = Unquote(line, pos, Ansi());
            if (!quoted) return;
            name = *quoted;
        }
        std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest[0] != '=') return;
        rest = Trim(rest.substr(1));
        std::string folded = FoldCase(ToAnsi(name));
        auto& values = keys_[*current_];
        if (rest == "-") {
            values.erase(folded);
            return;
        }
        if (auto value = ParseData(rest)) values[folded] = *value;
    }

    void ParseKey(std::string_view line) {
        current_.reset();
        size_t close = line.rfind(']');
        if (close == std::string_view::npos) return;
        std::string_view inner = line.substr(1, close - 1);
        if (format_ == Format::Wine) {
            // Wine writes key names as escaped strings, relative to the user's root.
            std::string quoted = "\"" + std::string(inner) + "\"";
            size_t pos = 0;
            if (auto name = Unquote(quoted, pos, false)) current_ = NormalKey(ToAnsi(*name));
            if (current_) AddKey(*current_);
            return;
        }
        bool remove = !inner.empty() && inner[0] == '-';
        if (remove) inner.remove_prefix(1);
        std::string path = NormalKey(ToAnsi(inner));
        std::string_view rootName;
        for (std::string_view root : {"hkey_current_user", "hkcu"})
            if (path == root || path.starts_with(std::string(root) + "\\")) rootName = root;
        if (rootName.empty()) return;
        path = path.size() > rootName.size() ? path.substr(rootName.size() + 1) : "";
        if (remove) {
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
            return RegistryFile::Value{Registry::REG_SZ, ToAnsi(*text) + '\0'};
        }
        if (data.starts_with("str(")) {
            size_t close = data.find("):");
            if (close == std::string_view::npos) return std::nullopt;
            auto type = ParseHexNumber(data.substr(4, close - 4));
            size_t pos = close + 2;
            auto text = Unquote(data, pos, Ansi());
            if (!type || !text) return std::nullopt;
            return RegistryFile::Value{*type, ToAnsi(*text) + '\0'};
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
    std::string bytes = ReadAll(path);
    std::string text;
    if (bytes.starts_with("\xFF\xFE"))
        text = Utf16LeToUtf8(std::string_view(bytes).substr(2));
    else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') // UTF-16 without BOM
        text = Utf16LeToUtf8(bytes);
    else if (bytes.starts_with("\xEF\xBB\xBF"))
        text = bytes.substr(3);
    else
        text = std::move(bytes);

    size_t nl = text.find('\n');
    std::string_view header = Trim(std::string_view(text).substr(0, nl));
    std::optional<Format> format;
    if (header == "Windows Registry Editor Version 5.00")
        format = Format::Regedit5;
    else if (header == "REGEDIT4")
        format = Format::Regedit4;
    else if (header == "WINE REGISTRY Version 2")
        format = Format::Wine;
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
