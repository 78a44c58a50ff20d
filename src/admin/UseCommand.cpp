// papyra-admin use: writes the registry value papyra chooses its printer by.
#include "admin/Commands.h"
#include "admin/Configured.h"

#include "platform/RuntimeError.h"
#include "platform/ansi/AnsiText.h"
#include "platform/unix/CupsPrinters.h"
#include "platform/unix/RegistryFile.h"
#include "platform/unix/RegistryFileEditor.h"
#include "printer/ConfiguredDevice.h"
#include "profile/SettingsNames.h"

#include <ctime>
#include <iostream>

namespace papyra::admin {

namespace {

// The printer papyra would choose for value, or why it would choose none.
std::string Check(Printers& printers, const std::string& value, int wanted) {
    try {
        const PrinterChoice choice = ChooseConfiguredPrinter(printers, Utf8ToAnsi(value));
        if (choice.index == wanted) return "";
        return "papyra would take \"" + value + "\" as the name of " +
               std::to_string(choice.index) + " " +
               Shown(printers.Item(choice.index).DeviceName()) + ", not position " +
               std::to_string(wanted) + ": give the printer's name instead";
    } catch (const RuntimeError&) {
        return "\"" + value + "\" starts with the number " +
               std::to_string(LeadingPosition(Utf8ToAnsi(value))) +
               ", which papyra takes as a position, and there is no printer there: papyra "
               "would end without printing";
    }
}

std::string KeyPath() {
    std::string key = names::PrinterRegistryKey;
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

} // namespace

int UsePrinter(const std::string& nameOrPosition) {
    CupsPrinters printers;
    const int index = FindPrinter(printers, nameOrPosition);
    if (index < 0) {
        std::cerr << "papyra-admin use: "
                  << (IsPosition(nameOrPosition) ? "there is no printer at position " +
                                                       nameOrPosition + " (the printers are 0 to " +
                                                       std::to_string(printers.Count() - 1) + ")"
                                                 : "no printer is named \"" + nameOrPosition + "\"")
                  << "; papyra-admin printers lists them\n";
        return Problem;
    }
    // A name is written as given, a position as its number.
    const bool byName = Utf8ToAnsi(nameOrPosition) == printers.Item(index).DeviceName();
    const std::string value = byName ? nameOrPosition : std::to_string(index);
    if (const std::string refusal = Check(printers, value, index); !refusal.empty()) {
        std::cerr << "papyra-admin use: " << refusal << "; nothing was written\n";
        return Problem;
    }

    const std::string file = RegistryFile::DefaultPath();
    const RegistryEdit edit =
        SetRegistryString(file, KeyPath(), names::PrinterRegistryValue, value, std::time(nullptr));
    if (!edit.done) {
        std::cerr << "papyra-admin use: " << edit.failure << "\n";
        return Problem;
    }
    // What papyra will read, read as papyra reads it.
    RegistryFile registry(file);
    const std::string readBack = GetConfiguredDevice(registry);
    if (readBack != Utf8ToAnsi(value) || !Check(printers, Shown(readBack), index).empty()) {
        std::cerr << "papyra-admin use: " << file << " was written, but papyra reads DeviceName "
                  << "as \"" << Shown(readBack) << "\"\n";
        return Problem;
    }
    std::cout << "DeviceName \"" << value << "\" written to " << file << " (" << edit.format
              << (edit.created ? ", new file" : "") << ").\npapyra now prints to " << index << " "
              << Shown(printers.Item(index).DeviceName()) << " ("
              << (byName ? "by name" : "by position " + std::to_string(index)) << ").\n";
    return Fine;
}

} // namespace papyra::admin
