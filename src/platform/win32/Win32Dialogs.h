#pragma once
// Message boxes and the printer dialog with Win32. Both are modal to the whole program: every
// other window of the calling thread is disabled until the user answers. Texts are ANSI.
#include "platform/Dialogs.h"
#include "platform/win32/Windows.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace papyra {

class Win32Dialogs : public Dialogs {
public:
    MsgAnswer MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::optional<std::string>& title = std::nullopt) override;
    // Not the system's print dialog: it would offer to print and to pick printers that the
    // program then ignores. Ours shows the printer's name, Portrait or Landscape (starting at the
    // printer's orientation) and the copies (disabled when the printer cannot print several);
    // Cancel, Escape or the close box discard the choice.
    PrinterDialogResult PrinterDialog(Printer& printer, const std::string& title) override;
};

namespace win32 {

// While it lives, every visible and enabled top-level window of this thread but keep is
// disabled; it enables them again when it goes, those that still exist. A window disabled
// before stays disabled, so modal displays nest.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND keep = nullptr);
    ~OtherWindowsDisabled() { Restore(); }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    // Enables them now: a modal window must do so before it goes, or the system activates
    // another program's window in place of the one below it.
    void Restore();

private:
    std::vector<HWND> disabled;
};

// The first of faces that is installed, else the first: asking GDI for a face it lacks gives
// whatever it likes best, often of other metrics than the one designed for.
std::string FirstInstalledFace(std::initializer_list<const char*> faces);

// The faces the program's windows are drawn in where the designed one is missing: Arial's
// metrics for the sans-serif faces, Courier New's for the fixed one.
std::string SansSerifFace(const char* designed);
std::string FixedFace(const char* designed);

} // namespace win32

} // namespace papyra
