#include "profile/FileIO.h"

#include "platform/RuntimeError.h"
#include "profile/SettingsNames.h"

namespace papyra {

namespace {
const char* const ConfirmText =
    "You are about to commit a change to the database, continue only if you are certain.";
const char* const ConfirmTitle = "Harvex";
const char* const CanceledText = "Edit Canceled";
const char* const LockedText = "The Requested Change cannot be made.";
const char* const LockedTitle = "File Locked";
const uint32_t SectionBufferSize = 32000;
} // namespace

void FileIO::SectionOUT(const std::vector<std::string>& c, const std::string& F) {
    if (c.empty()) throw RuntimeError(9);
    std::string block;
    for (const std::string& line : c) {
        block += line;
        block += '\0';
    }
    block += '\0';
    platform.profile.WritePrivateProfileSectionA("Test", block, F);
}

std::string FileIO::SectionIN(const std::string& H, const std::string& F) {
    std::string buffer(SectionBufferSize, ' ');
    platform.profile.GetPrivateProfileSectionA(H, buffer.data(), SectionBufferSize, F);
    for (char& c : buffer)
        if (c == '\0') c = '\n';
    return buffer;
}

bool FileIO::WriteIsLocked() {
    return !lockedFile.empty() &&
           lockedFile == platform.process.ProgramFolder() + names::CodeMasterFile;
}

void FileIO::FileOUT() {
    const int32_t mode = WriteIsLocked() ? 2 : accessmode;
    Dialogs& dialogs = platform.dialogs;
    switch (mode) {
    case 0:
        break;
    case 1:
        if (dialogs.MessageBox(ConfirmText, MsgButtons::OKCancel, MsgIcon::None, ConfirmTitle) !=
            MsgAnswer::OK) {
            dialogs.MessageBox(CanceledText, MsgButtons::OK, MsgIcon::None);
            return;
        }
        break;
    case 2:
        dialogs.MessageBox(LockedText, MsgButtons::OK, MsgIcon::Critical, LockedTitle);
        return;
    default:
        return;
    }
    if (!platform.profile.WritePrivateProfileStringA(Heading, Keyword, NewValue, Filename))
        writesFailed = true;
}

std::string FileIO::FileIN(int32_t Ln, const std::string&,
                           const std::optional<std::string>& defaultValue) {
    if (Ln < 0) throw RuntimeError(5);
    std::string buffer(static_cast<size_t>(Ln), ' ');
    platform.profile.GetPrivateProfileStringA(Heading, Keyword, "", buffer.data(),
                                              static_cast<uint32_t>(Ln), Filename);
    std::string value;
    if (buffer.find_first_not_of(' ') != std::string::npos)
        value = buffer.substr(0, buffer.find('\0'));
    if (value.empty() && defaultValue && !defaultValue->empty()) return *defaultValue;
    return value;
}

} // namespace papyra
