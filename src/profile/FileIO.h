#pragma once
// The one object through which the program changes profile files. A caller sets the section,
// key, value and file as properties and calls a method without arguments; the section methods
// take their file and data as arguments. The single-key write is guarded by accessmode:
// 0 writes at once, 1 asks for confirmation, 2 refuses with a message, anything else refuses
// silently. No method catches a failure; none examines what the platform reports.
#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace papyra {

// A text property that takes numbers as their plain decimal text ("-4", "9").
class ProfileText {
public:
    ProfileText() = default;
    ProfileText(std::string text) : text(std::move(text)) {}
    ProfileText(const char* text) : text(text) {}
    ProfileText(long long number) : text(std::to_string(number)) {}
    ProfileText(int number) : text(std::to_string(number)) {}
    ProfileText(int16_t number) : text(std::to_string(number)) {}
    operator const std::string&() const { return text; }
    const std::string& str() const { return text; }
    bool operator==(const std::string& other) const { return text == other; }

private:
    std::string text;
};

class FileIO {
public:
    explicit FileIO(Platform& platform) : platform(platform) {}

    ProfileText Heading;
    ProfileText Keyword;
    ProfileText NewValue;
    ProfileText Filename;
    int32_t accessmode = 0;

    // The lines of c become the whole section "Test" of file F. A list without an element 0 is
    // run-time error 9.
    void SectionOUT(const std::vector<std::string>& c, const std::string& F);
    // Section H of file F: its lines each followed by a line feed, a further line feed, then the
    // blanks of the 32000-character buffer the lines did not fill. Always 32000 characters.
    std::string SectionIN(const std::string& H, const std::string& F);
    // NewValue as key Keyword in section Heading of Filename, subject to accessmode.
    void FileOUT();
    // Key Keyword of section Heading in Filename, at most Ln - 1 characters of it, or
    // defaultValue when that is empty. A negative Ln is run-time error 5.
    std::string FileIN(int32_t Ln, const std::string& autoUnused = {},
                       const std::optional<std::string>& defaultValue = std::nullopt);

    // Whether the platform refused a write of FileOUT since the object was made. FileOUT itself
    // never looks; this is for the exit status and the job log.
    bool WritesFailed() const { return writesFailed; }

private:
    bool WriteIsLocked();

    Platform& platform;
    // The code-master lock compares this path, which the class never sets, with the program's
    // code-master file; kept so a later owner of the path gets the lock without a new rule.
    std::string lockedFile;
    bool writesFailed = false;
};

} // namespace papyra
