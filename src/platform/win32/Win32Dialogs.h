#pragma once
// Message boxes through MessageBoxA; the printer dialog changes nothing and is discarded.
#include "platform/Dialogs.h"

namespace papyra {

class Win32Dialogs : public Dialogs {
public:
    MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::optional<std::string>& title = std::nullopt) override;
    PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) override;
};

} // namespace papyra
