#pragma once
// The text of a private-profile file, edited in memory as Windows edits it: sections and keys
// match without regard to case once blanks around them are trimmed; the first of two sections of
// the same name is the one used. An edit changes only the lines it must: a replaced key keeps its
// place, its spelling and its line end; a new key follows the last key line of its section (in a
// section without keys, its last non-blank line); a new section goes at the end of the file.
// Every other byte stays as it was (comments, blank lines, odd lines, any byte value). New lines
// end in CR LF. A line ends at LF, CR LF or a lone CR.
#include <optional>
#include <string>
#include <vector>

namespace papyra {

class IniText {
public:
    explicit IniText(std::string bytes = {}) : bytes_(std::move(bytes)) {}
    const std::string& Bytes() const { return bytes_; }

    // The key's value with blanks trimmed and one pair of surrounding quotes removed.
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    void SetValue(const std::string& section, const std::string& key, const std::string& value);

    // The section's key lines as "key=value" (trimmed), comments and blank lines left out; empty
    // when the section is missing.
    std::vector<std::string> SectionLines(const std::string& section) const;
    // Replaces everything between the section's header and its trailing blank lines.
    void ReplaceSection(const std::string& section, const std::vector<std::string>& lines);

private:
    struct Line {
        size_t begin, contentEnd, end; // end is past the line end
    };
    struct Section {
        size_t headerEnd;  // past the header line's line end
        size_t lastKeyEnd; // past the last key line's line end, or headerEnd
        size_t contentEnd; // before the trailing blank lines
        std::vector<Line> keys;
    };

    Line LineAt(size_t pos) const;
    std::optional<Section> FindSection(const std::string& name) const;
    // Inserts text at pos, first ending the line before pos when it has no line end.
    void InsertLines(size_t pos, const std::string& text);

    std::string bytes_;
};

} // namespace papyra
