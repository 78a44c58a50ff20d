#include "platform/win32/Win32Dialogs.h"

#include "platform/Printer.h"
#include "platform/win32/Windows.h"

namespace papyra {

MsgAnswer Win32Dialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                   const std::optional<std::string>& title) {
    const UINT style = (buttons == MsgButtons::OKCancel ? MB_OKCANCEL : MB_OK) |
                       (icon == MsgIcon::Critical ? MB_ICONERROR : 0) | MB_TASKMODAL;
    const int answer =
        MessageBoxA(nullptr, text.c_str(), title.value_or(ProgramTitle).c_str(), style);
    return answer == IDOK ? MsgAnswer::OK : MsgAnswer::Cancel;
}

PrinterDialogResult Win32Dialogs::PrinterDialog(Printer& printer, const std::string&) {
    return {printer.Orientation(), printer.Copies(), true};
}

} // namespace papyra
