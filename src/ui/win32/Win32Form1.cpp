#include "ui/win32/Win32Form1.h"

#include "ui/Design.h"

#include <cstring>

namespace papyra {

namespace {

// Posted when the user picks an entry: a pick may be told twice (the list closing, the
// selection changing) and counts once.
const UINT PickMessage = WM_APP + 1;

const design::Control& Designed(const char* name) {
    for (const design::Control& c : design::Form1Controls)
        if (std::strcmp(c.name, name) == 0) return c;
    return design::Form1Controls[0];
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// text, or as much of its start and end as fits width around "...": a device URI names the
// server at its start and the queue at its end.
std::string ElideMiddle(HWND label, const std::string& text) {
    RECT area;
    GetClientRect(label, &area);
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    std::string shown = text;
    if (TextWidth(dc, text) > area.right) {
        size_t low = 0, high = text.size(); // kept characters: low fits, high does not
        auto cut = [&text](size_t kept) {
            return text.substr(0, kept - kept / 2) + "..." + text.substr(text.size() - kept / 2);
        };
        while (high - low > 1) {
            const size_t middle = (low + high) / 2;
            (TextWidth(dc, cut(middle)) <= area.right ? low : high) = middle;
        }
        shown = cut(low);
    }
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return shown;
}

} // namespace

Win32Form1::Win32Form1(Form1& form)
    : DesignedWindow(design::Form1, design::Form1Controls, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                     WS_EX_TOOLWINDOW),
      form(form) {
    // The port line is one line: SetPortLine shortens a long one.
    if (HWND label3 = Control("Label3"))
        SetWindowLongPtrA(label3, GWL_STYLE,
                          (GetWindowLongPtrA(label3, GWL_STYLE) & ~LONG_PTR(SS_TYPEMASK)) |
                              SS_LEFTNOWORDWRAP);
}

void Win32Form1::ListPrinters(const std::vector<std::string>& deviceNames) {
    HWND combo = Control("Combo1");
    if (!combo) return;
    settingText = true;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : deviceNames)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(combo, CB_SETCURSEL, WPARAM(-1), 0);
    SetWindowTextA(combo, Designed("Combo1").caption);
    settingText = false;
}

void Win32Form1::ShowHostWarning(bool visible) {
    if (HWND label7 = Control("Label7")) ShowWindow(label7, visible ? SW_SHOW : SW_HIDE);
}

void Win32Form1::SetBanner(const std::string& text) {
    SetText("Label1", text);
}

void Win32Form1::SetPortLine(const std::string& text) {
    HWND label3 = Control("Label3");
    if (!label3) return;
    SetWindowTextA(label3, ElideMiddle(label3, text).c_str());
    SetTooltip("Label3", std::string(Designed("Label3").tooltip) + "\r\n" + text);
}

void Win32Form1::SetDriverLine(const std::string& text) {
    SetText("Label4", text);
}

void Win32Form1::ShowCodeSetFrame(bool codeSet) {
    if (HWND frame6 = Control("Frame6")) ShowWindow(frame6, codeSet ? SW_SHOW : SW_HIDE);
    if (HWND frame5 = Control("Frame5")) ShowWindow(frame5, codeSet ? SW_HIDE : SW_SHOW);
}

void Win32Form1::SelectPaperFeed(bool tractor) {
    HWND chosen = Control(tractor ? "Option2" : "Option1");
    HWND other = Control(tractor ? "Option1" : "Option2");
    if (other) SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    if (chosen) SendMessageA(chosen, BM_SETCHECK, BST_CHECKED, 0);
}

bool Win32Form1::IbmSelected() {
    HWND option9 = Control("Option9");
    return option9 && SendMessageA(option9, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Form1::Unload() {
    unloaded = true;
    if (beforeUnload) {
        auto restore = std::move(beforeUnload);
        beforeUnload = nullptr;
        restore();
    }
    Destroy();
}

void Win32Form1::PickLater() {
    if (pickPending || !Handle()) return;
    pickPending = PostMessageA(Handle(), PickMessage, 0, 0);
}

void Win32Form1::OwnMessage(UINT message, WPARAM, LPARAM) {
    if (message != PickMessage) return;
    pickPending = false;
    HWND combo = Control("Combo1");
    const auto position = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    if (position >= 0) form.Picked(position);
}

void Win32Form1::Command(const design::Control& control, WORD code) {
    const std::string name = control.name;
    if (name == "Combo1") {
        HWND combo = Control("Combo1");
        switch (code) {
        case CBN_SELENDOK: // also a pick of the entry already selected
            PickLater();
            break;
        case CBN_SELCHANGE: // the arrow keys or the wheel on the closed list
            if (!SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) PickLater();
            break;
        case CBN_EDITCHANGE:
            if (!settingText) form.Typed();
            break;
        }
        return;
    }
    if (code != BN_CLICKED) return;
    if (name == "Command1") form.PrinterTestClicked();
    if (name == "Command2") form.CancelClicked();
    if (name == "Command3") form.OkClicked();
}

} // namespace papyra
