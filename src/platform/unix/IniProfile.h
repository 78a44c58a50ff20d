#pragma once
// Private-profile files on Unix: the Windows semantics of IniText on files found through
// NativePath. A write reads the file, edits it in memory and replaces it atomically; it returns
// false and changes nothing when the file is read-only, unreadable, a folder, or its folder does
// not exist.
#include "platform/PrivateProfile.h"

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
};

} // namespace papyra
