#include "ui/win32/Win32Form2.h"

#include "ui/Design.h"

namespace papyra {

// No icon: a dialog frame carries none, and the window has no title to go with one.
Win32Form2::Win32Form2(Form2& form)
    : DesignedWindow(design::Form2, design::Form2Controls, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                     WS_EX_DLGMODALFRAME),
      form(form) {}

void Win32Form2::SetLine(int line, const std::string& text) {
    SetText(("Label" + std::to_string(line)).c_str(), text);
}

void Win32Form2::Command(const design::Control& control, WORD code) {
    if (code != BN_CLICKED) return;
    const std::string name = control.name;
    if (name == "Command1") form.AdjustSettingsClicked();
    if (name == "Command2") form.OkClicked();
    // Command3, "Print Test Page", is never shown and does nothing.
}

} // namespace papyra
