#pragma once
#include "platform/Dialogs.h"

namespace papyra {

// Message boxes and the printer dialog with Qt Widgets. On the offscreen platform (no display)
// nobody can answer: a message goes to stderr as "title: text" and a question is answered Cancel.
class QtDialogs : public Dialogs {
public:
    MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::optional<std::string>& title) override;
    PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) override;

    static bool Headless();
};

} // namespace papyra
