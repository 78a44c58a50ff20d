#include "platform/win32/Win32Dialogs.h"

#include "platform/Printer.h"

#include <algorithm>
#include <cstdio>

namespace papyra {

namespace win32 {

namespace {

BOOL CALLBACK DisableOne(HWND window, LPARAM list) {
    auto& self = *reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(list);
    if (window != self.first && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        self.second->push_back(window);
    }
    return TRUE;
}

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

} // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND keep) {
    std::pair<HWND, std::vector<HWND>*> self{keep, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&self));
}

void OtherWindowsDisabled::Restore() {
    for (HWND window : disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    disabled.clear();
}

std::string FirstInstalledFace(std::initializer_list<const char*> faces) {
    HDC screen = GetDC(nullptr);
    std::string chosen;
    for (const char* face : faces) {
        LOGFONTA wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExA(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen.empty() ? *faces.begin() : chosen;
}

std::string SansSerifFace(const char* designed) {
    return FirstInstalledFace({designed, "Microsoft Sans Serif", "Arial", "Liberation Sans"});
}

std::string FixedFace(const char* designed) {
    return FirstInstalledFace({designed, "Courier New", "Liberation Mono", "Courier"});
}

} // namespace win32

MsgAnswer Win32Dialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                   const std::optional<std::string>& title) {
    const std::string caption = title ? *title : ProgramTitle;
    // No owner and task-modal: every window of the program waits for the answer, whichever of
    // them happens to be active.
    UINT style =
        (buttons == MsgButtons::OK ? MB_OK : MB_OKCANCEL) | MB_TASKMODAL | MB_SETFOREGROUND;
    if (icon == MsgIcon::Critical) style |= MB_ICONSTOP;
    const int answer = MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
    if (answer == 0) {
        // No desktop to show it on: the words go where someone may still read them, and a
        // question nobody saw is not agreed to.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
    // A box with OK alone has one answer, whatever Escape or the close box report on a system.
    return answer == IDOK || buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
}

namespace {

enum : WORD {
    PrinterNameId = 100,
    PortraitId,
    LandscapeId,
    CopiesLabelId,
    CopiesId,
    CopiesArrowsId,
};
constexpr int MaximumCopies = 999;

// A dialog template in memory, as the resource compiler would lay it out: the header, then each
// control on a DWORD boundary. Strings are UTF-16 there; the ANSI texts are set once it is made.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const std::string& face, WORD points) {
        Dword(style | DS_SETFONT);
        Dword(0);
        countAt = words.size();
        words.push_back(0);
        for (short measure : {short(0), short(0), width, height})
            words.push_back(static_cast<WORD>(measure));
        words.push_back(0); // no menu
        words.push_back(0); // the dialog class
        Text("");
        words.push_back(points);
        Text(face);
    }

    // kind: 0x80 button, 0x81 edit, 0x82 static; else className names the class.
    void Add(WORD id, WORD kind, DWORD style, short x, short y, short width, short height,
             const char* caption, const char* className = nullptr) {
        if (words.size() % 2) words.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short measure : {x, y, width, height})
            words.push_back(static_cast<WORD>(measure));
        words.push_back(id);
        if (className) {
            Text(className);
        } else {
            words.push_back(0xFFFF);
            words.push_back(kind);
        }
        Text(caption);
        words.push_back(0); // no creation data
        ++words[countAt];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void Dword(DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    }
    void Text(const std::string& text) {
        const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
        for (wchar_t c : wide)
            words.push_back(static_cast<WORD>(c));
    }

    std::vector<WORD> words; // DWORD-aligned: vector storage comes from operator new
    size_t countAt = 0;
};

struct DialogState {
    std::string title, deviceName;
    int16_t orientation;
    int16_t copies; // 0: the printer prints one copy only
    PrinterDialogResult result;
};

INT_PTR CALLBACK PrinterDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetWindowTextA(dialog, state->title.c_str());
        SetDlgItemTextA(dialog, PrinterNameId, state->deviceName.c_str());
        CheckRadioButton(dialog, PortraitId, LandscapeId,
                         state->orientation == 2 ? LandscapeId : PortraitId);
        SendDlgItemMessageA(dialog, CopiesArrowsId, UDM_SETRANGE32, 1, MaximumCopies);
        SendDlgItemMessageA(dialog, CopiesArrowsId, UDM_SETPOS32, 0,
                            state->copies > 0 ? state->copies : 1);
        for (int id : {CopiesLabelId, CopiesId, CopiesArrowsId})
            EnableWindow(GetDlgItem(dialog, id), state->copies > 0);
        // The keyboard starts on the orientation, the one choice always open.
        SetFocus(GetDlgItem(dialog, state->orientation == 2 ? LandscapeId : PortraitId));
        return FALSE;
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL) return FALSE;
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (id == IDOK) {
            state->result.orientation = IsDlgButtonChecked(dialog, LandscapeId) ? 2 : 1;
            BOOL typed = FALSE;
            UINT copies = GetDlgItemInt(dialog, CopiesId, &typed, FALSE);
            if (!typed) // an empty field: the arrows' value
                copies = static_cast<UINT>(
                    SendDlgItemMessageA(dialog, CopiesArrowsId, UDM_GETPOS32, 0, 0));
            state->result.copies = static_cast<int16_t>(std::clamp<UINT>(copies, 1, MaximumCopies));
            state->result.discarded = false;
        }
        EndDialog(dialog, id); // IDCANCEL also stands for Escape and the close box
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

PrinterDialogResult Win32Dialogs::PrinterDialog(Printer& printer, const std::string& title) {
    // Everything the dialog shows is read first: a printer that fails does so here, to the
    // caller, and never inside the dialog's procedure.
    DialogState state{title, printer.DeviceName(), printer.Orientation(), printer.Copies(), {}};
    state.result.orientation = state.orientation;
    state.result.copies = state.copies;

    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);

    // Dialog units, so the layout follows the font.
    DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 200, 109,
                          win32::SansSerifFace("MS Sans Serif"), 8);
    layout.Add(0, 0x82, SS_LEFT, 7, 9, 36, 8, "Printer:");
    layout.Add(PrinterNameId, 0x81, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 45, 7,
               148, 13, "");
    layout.Add(0, 0x80, BS_GROUPBOX, 7, 26, 186, 30, "Orientation");
    layout.Add(PortraitId, 0x80, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 16, 38, 70, 10,
               "&Portrait");
    layout.Add(LandscapeId, 0x80, BS_AUTORADIOBUTTON, 100, 38, 80, 10, "&Landscape");
    layout.Add(CopiesLabelId, 0x82, SS_LEFT | WS_GROUP, 7, 66, 36, 8, "&Copies:");
    layout.Add(CopiesId, 0x81, ES_NUMBER | WS_BORDER | WS_TABSTOP, 45, 64, 40, 13, "");
    // The arrows join the field laid out just before them.
    layout.Add(CopiesArrowsId, 0,
               UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
               0, 0, 0, 0, "", UPDOWN_CLASSA);
    layout.Add(IDOK, 0x80, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 89, 88, 50, 14, "OK");
    layout.Add(IDCANCEL, 0x80, BS_PUSHBUTTON | WS_TABSTOP, 143, 88, 50, 14, "Cancel");

    win32::OtherWindowsDisabled modal;
    const INT_PTR answer =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), nullptr,
                                PrinterDialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (answer == -1) {
        std::fprintf(stderr, "%s: the printer dialog could not be shown\n", title.c_str());
        std::fflush(stderr);
    }
    return state.result;
}

} // namespace papyra
