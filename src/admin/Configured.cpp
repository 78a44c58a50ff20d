#include "admin/Configured.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"
#include "platform/unix/RegistryFile.h"
#include "printer/ConfiguredDevice.h"

#include <cstdlib>

namespace papyra::admin {

namespace {

std::string RegistryRule() {
    if (const char* file = std::getenv("PAPYRA_HKCU"); file && *file) return "$PAPYRA_HKCU";
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return "$WINEPREFIX/user.reg";
    return "the default";
}

} // namespace

Configured ReadConfigured(Printers& printers) {
    Configured configured;
    configured.registryFile = RegistryFile::DefaultPath();
    configured.registryRule = RegistryRule();
    RegistryFile registry(configured.registryFile);
    configured.value = GetConfiguredDevice(registry);
    try {
        configured.choice = ChooseConfiguredPrinter(printers, configured.value);
    } catch (const RuntimeError&) {
        configured.failure =
            "DeviceName \"" + Shown(configured.value) + "\" starts with position " +
            std::to_string(LeadingPosition(configured.value)) + ", and the printers are 0 to " +
            std::to_string(printers.Count() - 1) + ": papyra ends without printing";
    }
    return configured;
}

std::string Why(const PrinterChoice& choice) {
    switch (choice.by) {
    case PrinterChoice::By::Name:
        return "by name";
    case PrinterChoice::By::Position:
        return "by position " + std::to_string(choice.position);
    case PrinterChoice::By::Nothing:
        break;
    }
    return "position 0: nothing configured";
}

bool IsPosition(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

int FindPrinter(Printers& printers, const std::string& nameOrPosition) {
    const std::string ansi = Utf8ToAnsi(nameOrPosition);
    for (int i = 0; i < printers.Count(); ++i)
        if (printers.Item(i).DeviceName() == ansi) return i;
    if (!IsPosition(nameOrPosition)) return -1;
    const long position = std::strtol(nameOrPosition.c_str(), nullptr, 10);
    return position < printers.Count() ? static_cast<int>(position) : -1;
}

std::string Shown(const std::string& ansi) {
    return AnsiToUtf8(ansi);
}

} // namespace papyra::admin
