#pragma once
// Message boxes and the printer dialog. Both are modal: they hold the caller until the user
// answers. Without a display a message box writes "title: text" to stderr and a question is
// answered Cancel.
#include <cstdint>
#include <optional>
#include <string>

namespace papyra {

class Printer;

enum class MsgButtons { OK, OKCancel };
enum class MsgIcon { None, Critical };
enum class MsgAnswer { OK, Cancel };

// What the printer dialog yields: the orientation (1 or 2) and copies the user chose, and
// whether the choice was discarded (the user cancelled).
struct PrinterDialogResult {
    int16_t orientation = 1;
    int16_t copies = 1;
    bool discarded = true;
};

class Dialogs {
public:
    static constexpr const char* ProgramTitle = "Papyra";

    virtual ~Dialogs() = default;
    // Escape counts as Cancel. Without a title the box carries ProgramTitle.
    virtual MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::optional<std::string>& title = std::nullopt) = 0;
    // The standard printer dialog on printer, titled title. It changes nothing by itself.
    virtual PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) = 0;
};

} // namespace papyra
