#pragma once
// Every file, section, key, setting and registry value the program touches, in one place. The
// program writes these for Harvex and reads back only the registry value.
namespace papyra::names {

// Files. Paths that start with "\" are on the current drive; the others follow the program's
// own folder.
inline constexpr const char* ProfileFile = "\\RNTME.INI";         // printer profile
inline constexpr const char* TestPrintFile = "\\PrinterTest.prt"; // ruler test pages
inline constexpr const char* CodeMasterFile = "\\Codemaster.hvx"; // named by the write lock
inline constexpr const char* HostSettingsFile = "\\Harvex96\\harvex.ini";
inline constexpr const char* HostProgram = "C:\\harvex96\\harvex.exe";
inline constexpr const char* HostWindowTitle = "Harvex";

// Printer profile, section "Printer": the setup save's keys, then the update's twelve.
inline constexpr const char* PrinterSection = "Printer";
inline constexpr const char* DeviceKey = "Device";
inline constexpr const char* DeviceNameKey = "DeviceName";
inline constexpr const char* PortKey = "Port";
inline constexpr const char* PaperSizeKey = "PaperSize";
inline constexpr const char* SizeKey = "Size";
inline constexpr const char* OrientationKey = "Orientation";
inline constexpr const char* OrientKey = "Orient";
inline constexpr const char* PaperSourceKey = "PaperSource";
inline constexpr const char* SourceKey = "Source";
inline constexpr const char* PrinterCopiesKey = "PrinterCopies";
inline constexpr const char* CopiesKey = "Copies";
inline constexpr const char* ColorModeKey = "ColorMode";
inline constexpr const char* ColorKey = "Color";
inline constexpr const char* PrintQualityKey = "PrintQuality";
inline constexpr const char* QualityKey = "Quality";

// Harvex's settings file.
inline constexpr const char* HostSettingsSection = "Settings";
inline constexpr const char* PrinterCodeSetKey = "PrinterCodeSet";

// The per-user application setting.
inline constexpr const char* SettingApplication = "Papyra";
inline constexpr const char* SettingSection = "Printer";
inline constexpr const char* SettingDeviceKey = "Device";

// The registry value naming the configured printer, below HKEY_CURRENT_USER.
inline constexpr const char* PrinterRegistryKey = "Software\\Tillwren\\Ver36\\Printer\\";
inline constexpr const char* PrinterRegistryValue = "DeviceName";

} // namespace papyra::names
