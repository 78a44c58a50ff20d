#include "platform/unix/CupsCapabilities.h"

#include "platform/RuntimeError.h"

#include <QPageSize>
#include <QSizeF>
#include <cups/cups.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace papyra::cups {
namespace {

constexpr int kUserDefinedSize = 256;

std::string Folded(std::string_view keyword) {
    std::string folded;
    for (char c : keyword) {
        if (c == '-' || c == '_' || c == ' ') continue;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

int WindowsCode(QPageSize::PageSizeId id) {
    int code = QPageSize::windowsId(id);
    return code > 0 ? code : kUserDefinedSize;
}

// Qt's page-size keys are the PPD PageSize keywords, so a PPD choice is looked up directly.
int PaperSizeFromKey(const QString& key) {
    for (auto sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i <= QPageSize::LastPageSize; ++i) {
            auto id = static_cast<QPageSize::PageSizeId>(i);
            if (id != QPageSize::Custom && QPageSize::key(id).compare(key, sensitivity) == 0)
                return WindowsCode(id);
        }
    }
    return 0;
}

// PWG names carry their size; several Qt sizes may share it (Letter, Note, LetterSmall), and the
// first one Windows has a code for is the one a Windows driver would report.
int PaperSizeFromDimensions(int widthHundredthsMm, int lengthHundredthsMm) {
    const double width = widthHundredthsMm / 100.0, length = lengthHundredthsMm / 100.0;
    for (int i = 0; i <= QPageSize::LastPageSize; ++i) {
        auto id = static_cast<QPageSize::PageSizeId>(i);
        if (id == QPageSize::Custom || QPageSize::windowsId(id) <= 0) continue;
        QSizeF size = QPageSize::size(id, QPageSize::Millimeter);
        if (std::abs(size.width() - width) < 1.0 && std::abs(size.height() - length) < 1.0)
            return QPageSize::windowsId(id);
    }
    return kUserDefinedSize;
}

struct SourceRule {
    const char* pattern; // folded keyword fragment
    bool whole;          // the folded keyword must equal the pattern
    int code;
};

// First match wins, so the more specific names come before the words they contain.
constexpr SourceRule kSourceRules[] = {
    {"tractor", false, 8},        {"continuous", false, 8},
    {"fanfold", false, 8},        {"largecapacity", false, 11},
    {"manualenvelope", false, 6}, {"envelopemanual", false, 6},
    {"envelope", false, 5},       {"manual", false, 4},
    {"bypass", false, 4},         {"cassette", false, 14},
    {"auto", false, 7},           {"default", false, 7},
    {"upper", false, 1},          {"top", false, 1},
    {"main", false, 1},           {"tray1", true, 1},
    {"lower", false, 2},          {"bottom", false, 2},
    {"middle", false, 3},
};

} // namespace

int PaperSizeFromMedia(std::string_view media) {
    if (media.empty() || StartsWithNoCase(media, "custom")) return kUserDefinedSize;
    const std::string name(media);
    if (int code = PaperSizeFromKey(QString::fromStdString(name))) return code;
    pwg_media_t* pwg = pwgMediaForPWG(name.c_str());
    if (!pwg) pwg = pwgMediaForLegacy(name.c_str());
    if (!pwg) pwg = pwgMediaForPPD(name.c_str());
    if (!pwg) return kUserDefinedSize;
    return PaperSizeFromDimensions(pwg->width, pwg->length);
}

int PaperBinFromSource(std::string_view keyword) {
    const std::string folded = Folded(keyword);
    if (folded.empty()) return 7;
    for (const auto& rule : kSourceRules) {
        bool hit =
            rule.whole ? folded == rule.pattern : folded.find(rule.pattern) != std::string::npos;
        if (hit) return rule.code;
    }
    return 15;
}

int ColorModeFromKeyword(std::string_view keyword) {
    const std::string folded = Folded(keyword);
    // Monochrome names first: "processmonochrome" and "automonochrome" are not colour.
    for (const char* mono : {"mono", "gray", "grey", "bilevel", "black", "kgray"})
        if (folded.find(mono) != std::string::npos) return 1;
    for (const char* colour : {"color", "colour", "rgb", "cmy", "auto"})
        if (folded.find(colour) != std::string::npos) return 2;
    return 0;
}

int DpiFromPpdResolution(std::string_view choice) {
    std::size_t digits = 0;
    long value = 0;
    while (digits < choice.size() && std::isdigit(static_cast<unsigned char>(choice[digits]))) {
        value = value * 10 + (choice[digits] - '0');
        if (value > 1000000) return 0;
        ++digits;
    }
    if (digits == 0 || value == 0) return 0;
    std::string_view rest = choice.substr(digits);
    if (!rest.empty() && rest.front() == 'x') {
        std::size_t second = 1;
        while (second < rest.size() && std::isdigit(static_cast<unsigned char>(rest[second])))
            ++second;
        if (second == 1) return 0;
        rest = rest.substr(second);
    }
    if (rest == "dpi") return static_cast<int>(value);
    if (rest == "dpcm") return DpiFromIppResolution(static_cast<int>(value), true);
    return 0;
}

int DpiFromIppResolution(int x, bool perCentimetre) {
    if (x <= 0) return 0;
    return perCentimetre ? static_cast<int>(std::lround(x * 2.54)) : x;
}

int PrintQualityFromIppQuality(int quality) {
    switch (quality) {
    case 3:
        return -1; // draft
    case 5:
        return -4; // high
    default:
        return -3;
    }
}

int PaperBinOf(std::string_view ppdInputSlot, std::string_view ippMediaSource) {
    return PaperBinFromSource(ppdInputSlot.empty() ? ippMediaSource : ppdInputSlot);
}

int ColorModeOf(std::string_view ppdColorModel, std::string_view ippColorMode, long printerType) {
    if (int mode = ColorModeFromKeyword(ppdColorModel)) return mode;
    if (int mode = ColorModeFromKeyword(ippColorMode)) return mode;
    return (printerType & CUPS_PRINTER_COLOR) ? 2 : 1;
}

int PrintQualityOf(std::string_view ppdResolution, int ippDpi, int ippQuality) {
    if (int dpi = DpiFromPpdResolution(ppdResolution)) return dpi;
    if (ippDpi > 0) return ippDpi;
    return PrintQualityFromIppQuality(ippQuality);
}

int OrientationFromIpp(int orientationRequested) {
    return orientationRequested == 4 || orientationRequested == 5 ? 2 : 1;
}

int CopiesFromQueue(int maxCopies, int defaultCopies) {
    if (maxCopies <= 1) return 0;
    return std::max(defaultCopies, 1);
}

std::string PortFromDeviceUri(std::string_view uri) {
    const auto scheme = uri.find(':');
    if (scheme == std::string_view::npos || uri.substr(scheme + 1, 2) != "//")
        return std::string(uri);
    const auto authority = scheme + 3;
    const auto authorityEnd = std::min(uri.find_first_of("/?#", authority), uri.size());
    const auto at = uri.substr(authority, authorityEnd - authority).rfind('@');
    if (at == std::string_view::npos) return std::string(uri);
    return std::string(uri.substr(0, authority)) + std::string(uri.substr(authority + at + 1));
}

int16_t ToCode(long long value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw RuntimeError(6);
    return static_cast<int16_t>(value);
}

} // namespace papyra::cups
