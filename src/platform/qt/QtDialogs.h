#pragma once
#include "platform/Dialogs.h"

#include <functional>

namespace papyra {

// Message boxes and the printer dialog with Qt Widgets. On the offscreen platform (no display)
// nobody can answer: a message goes to stderr as "title: text" and a question is answered Cancel.
//
// The printer dialog is the program's own, titled as asked: the printer's name, Portrait or
// Landscape, the number of copies (not offered when the printer cannot print several), OK and
// Cancel, which discards the choice.
class QtDialogs : public Dialogs {
public:
    // headless decides whether anyone can answer (Headless() by default).
    explicit QtDialogs(std::function<bool()> headless = &Headless)
        : headless(std::move(headless)) {}
    MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::optional<std::string>& title) override;
    PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) override;

    static bool Headless();

private:
    std::function<bool()> headless;
};

} // namespace papyra
