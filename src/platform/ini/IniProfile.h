#pragma once
// Private-profile files with the Windows semantics of IniText, on every system: Windows' own
// services leave out blank lines between sections, cut section reads differently and are not
// atomic. A write reads the file, edits it in memory and replaces it whole (ProfileFile.h); it
// returns false and changes nothing when the file cannot be replaced safely.
#include "platform/PrivateProfile.h"
#include "platform/ini/IniText.h"
#include "platform/ini/ProfileFile.h"

namespace papyra {

class IniProfile : public PrivateProfile {
public:
    bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) override;
    uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                      const std::string& def, char* buffer, uint32_t size,
                                      const std::string& file) override;
    bool WritePrivateProfileSectionA(const std::string& section, const std::string& block,
                                     const std::string& file) override;
    uint32_t GetPrivateProfileSectionA(const std::string& section, char* buffer, uint32_t size,
                                       const std::string& file) override;

protected:
    // Where the files' bytes live: the system's files, or memory for a test.
    virtual std::optional<std::string> Read(const std::string& file) {
        return ReadProfileFile(file);
    }
    virtual bool Replace(const std::string& file, const std::string& bytes) {
        return ReplaceProfileFile(file, bytes);
    }

private:
    template <typename Edit> bool EditFile(const std::string& file, Edit edit);
    IniText ReadText(const std::string& file);
};

} // namespace papyra
