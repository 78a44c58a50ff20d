#pragma once
// Private-profile ("INI") files with the Windows ANSI services' semantics. Paths are Windows
// paths (see WindowsPath on the platform). Sections and keys match without regard to case; a
// replaced key stays where it stands, a new key goes at the end of its section and a new section
// at the end of the file; every other line is left as it was. Files are 8-bit text with CR LF.
// A write replaces the file atomically: it happens whole or not at all, and returns false when it
// could not happen. Reads of a missing file, section or key give the default.
#include <cstdint>
#include <string>

namespace papyra {

class PrivateProfile {
public:
    virtual ~PrivateProfile() = default;
    virtual bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) = 0;
    // Copies the value (or def) cut to size - 1 characters and a NUL into buffer; returns the
    // characters copied, NUL not counted. Nothing is copied when size is 0.
    virtual uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                              const std::string& def, char* buffer, uint32_t size,
                                              const std::string& file) = 0;
    // block: the section's lines, each ended by a NUL, the block ended by a further NUL. The
    // section's whole content is replaced; the section is created at the end when missing.
    virtual bool WritePrivateProfileSectionA(const std::string& section, const std::string& block,
                                             const std::string& file) = 0;
    // Copies the section's lines (key=value, comments left out) each ended by a NUL and the block
    // by a further NUL, cut to fit size as Windows cuts it; returns the characters copied, the
    // final NUL not counted.
    virtual uint32_t GetPrivateProfileSectionA(const std::string& section, char* buffer,
                                               uint32_t size, const std::string& file) = 0;
};

} // namespace papyra
