#pragma once
// How a CUPS queue's defaults become Windows printer-settings codes. Pure mappings from the
// keywords and numbers that CUPS publishes (IPP attributes, PPD choices) to the codes the program
// records and acts on; nothing here talks to a server.
//
// Each mapping answers with the code, or with 0 when it does not recognise its input and the
// caller should try its next source. Codes are returned as int; ToCode() applies the int16 limit.
#include <cstdint>
#include <string>
#include <string_view>

namespace papyra::cups {

// Paper size code from a media name as CUPS spells it: a PWG self-describing name
// ("iso_a4_210x297mm"), an IPP legacy name ("iso-a4") or a PPD PageSize key ("A4"). Custom,
// unknown and sizes without a Windows code give 256 (user-defined).
int PaperSizeFromMedia(std::string_view media);

// Paper source code from a PPD InputSlot choice ("Tractor", "Upper") or an IPP media-source
// keyword ("auto", "tray-1", "by-pass-tray"), matched case-insensitively on the keyword with
// dashes, underscores and blanks ignored. An empty keyword (the queue names no source) is 7, the
// default bin; a source we cannot place is 15.
int PaperBinFromSource(std::string_view keyword);

// Colour mode from a PPD ColorModel choice or an IPP print-color-mode keyword: 2 colour, 1
// monochrome, 0 unrecognised.
int ColorModeFromKeyword(std::string_view keyword);

// Dots per inch from a PPD resolution choice ("600dpi", "600x300dpi", "118dpcm"); 0 when it is
// not one. The horizontal resolution counts, as in the Windows settings.
int DpiFromPpdResolution(std::string_view choice);

// Dots per inch from an IPP resolution value in units per inch or per centimetre.
int DpiFromIppResolution(int x, bool perCentimetre);

// Print-quality level from an IPP print-quality enum (3 draft, 4 normal, 5 high); anything else
// counts as normal.
int PrintQualityFromIppQuality(int quality);

// Where a queue's defaults come from, source by source: the PPD where it has an answer (an empty
// choice where it has none), then IPP's *-default attributes, then what the queue's type says.
int PaperBinOf(std::string_view ppdInputSlot, std::string_view ippMediaSource);
int ColorModeOf(std::string_view ppdColorModel, std::string_view ippColorMode, long printerType);
// ippDpi: 0 when IPP publishes no resolution; ippQuality: the print-quality enum, 0 for none.
int PrintQualityOf(std::string_view ppdResolution, int ippDpi, int ippQuality);

// Orientation code from IPP orientation-requested (3 portrait, 4 landscape, 5 reverse landscape,
// 6 reverse portrait; 0 or anything else portrait): reverse variants count as their base.
int OrientationFromIpp(int orientationRequested);

// Copies code: 0 when the queue cannot print several copies (its copies-supported upper bound is 1
// or less), else its default, at least 1.
int CopiesFromQueue(int maxCopies, int defaultCopies);

// A device URI as the printer's Port: the same URI without any user or password.
std::string PortFromDeviceUri(std::string_view uri);

// The code as the program sees it; run-time error 6 when it does not fit int16_t.
int16_t ToCode(long long value);

} // namespace papyra::cups
