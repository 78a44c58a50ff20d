#include "ui/win32/Win32Design.h"

#include "platform/win32/Win32Dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace papyra {

namespace {

const char* const WindowClass = "PapyraWindow";
const char* const FrameClass = "PapyraFrame";
const char* const OriginalProcedure = "PapyraOriginalProcedure";
const int FirstControlId = 100;

std::vector<DesignedWindow*>& Windows() {
    static std::vector<DesignedWindow*> windows;
    return windows;
}

COLORREF ToColor(const design::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

bool SameContainer(const design::Control& a, const design::Control& b) {
    if (!a.container || !b.container) return a.container == b.container;
    return std::strcmp(a.container, b.container) == 0;
}

bool IsOption(const design::Control& c) {
    return c.kind == design::Kind::Option || c.kind == design::Kind::PushOption;
}

LRESULT CallOriginal(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropA(handle, OriginalProcedure));
    if (message == WM_NCDESTROY) RemovePropA(handle, OriginalProcedure);
    return original ? CallWindowProcA(original, handle, message, wParam, lParam)
                    : DefWindowProcA(handle, message, wParam, lParam);
}

void Subclass(HWND handle, WNDPROC procedure) {
    SetPropA(handle, OriginalProcedure,
             reinterpret_cast<HANDLE>(
                 SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure))));
}

// A frame holds its controls and passes what they tell their parent on to the window.
LRESULT CALLBACK FrameProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSCROLLBAR:
        return SendMessageA(GetParent(handle), message, wParam, lParam);
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

// A scroll bar too small for a thumb has nothing of its own that shows the keyboard is on it.
LRESULT CALLBACK ScrollBarProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallOriginal(handle, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        if (GetFocus() == handle) {
            RECT area;
            GetClientRect(handle, &area);
            HDC dc = GetDC(handle);
            DrawFocusRect(dc, &area);
            ReleaseDC(handle, dc);
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
    case WM_KEYUP:
        // The arrows are redrawn straight away, not through WM_PAINT: the mark goes back on.
        InvalidateRect(handle, nullptr, TRUE);
        break;
    }
    return result;
}

// The pressed option of a pair drawn as push buttons must be plain at a glance; the system's
// sunken look is a shade apart from the raised one, so a pressed button is drawn in the
// selection colours.
LRESULT CALLBACK PushOptionProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool pressed = SendMessageA(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (message == WM_PAINT && pressed) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle, &paint);
        RECT area;
        GetClientRect(handle, &area);
        DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
        char caption[256] = "";
        GetWindowTextA(handle, caption, sizeof caption);
        auto font = reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        RECT text = area;
        OffsetRect(&text, 1, 1);
        DrawTextA(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, previous);
        if (GetFocus() == handle) {
            InflateRect(&area, -1, -1);
            DrawFocusRect(dc, &area);
        }
        EndPaint(handle, &paint);
        return 0;
    }
    const LRESULT result = CallOriginal(handle, message, wParam, lParam);
    switch (message) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
    case WM_KEYUP:
    case WM_ENABLE:
    case WM_SETTEXT:
        // The button paints some changes straight away, not through WM_PAINT.
        InvalidateRect(handle, nullptr, FALSE);
        break;
    }
    return result;
}

void RegisterClasses(WNDPROC windowProcedure) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = FrameClass;
    windowClass.lpfnWndProc = FrameProcedure;
    RegisterClassExA(&windowClass);
    windowClass.lpszClassName = WindowClass;
    windowClass.lpfnWndProc = windowProcedure;
    RegisterClassExA(&windowClass);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    registered = true;
}

} // namespace

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

int ScreenDpi(bool horizontal) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

const std::vector<DesignedWindow*>& DesignedWindow::All() {
    return Windows();
}

bool DesignedWindow::IsDesignedWindow(HWND handle) {
    for (DesignedWindow* designed : Windows())
        if (designed->window == handle) return true;
    return false;
}

DesignedWindow::DesignedWindow(const design::Window& design,
                               std::span<const design::Control> controls, DWORD style,
                               DWORD extendedStyle)
    : layout(design), dpiX(ScreenDpi(true)), dpiY(ScreenDpi(false)) {
    RegisterClasses(Procedure);
    RECT outer{0, 0, TwipsToPixels(design.width, dpiX), TwipsToPixels(design.height, dpiY)};
    AdjustWindowRectEx(&outer, style, FALSE, extendedStyle);
    // The designed position is the frame's, as the user sees the window.
    CreateWindowExA(extendedStyle | WS_EX_CONTROLPARENT, WindowClass, design.title,
                    style | WS_CLIPCHILDREN, TwipsToPixels(design.left, dpiX),
                    TwipsToPixels(design.top, dpiY), outer.right - outer.left,
                    outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    Windows().push_back(this);
    if (window) Build(controls);
}

DesignedWindow::~DesignedWindow() {
    // Destroying the window still sends it messages (focus lost, notifications of its controls),
    // which must not reach the handlers of a derived window already destroyed.
    dying = true;
    Destroy();
    for (auto& [font, handle] : fonts)
        DeleteObject(handle);
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

void DesignedWindow::Destroy() {
    if (tooltips) DestroyWindow(tooltips);
    tooltips = nullptr;
    if (window) DestroyWindow(window);
}

HWND DesignedWindow::Control(const char* name) const {
    if (!name) return nullptr;
    for (const Made& control : made)
        if (std::strcmp(control.design->name, name) == 0) return control.handle;
    return nullptr;
}

std::string DesignedWindow::Text(const char* name) const {
    HWND control = Control(name);
    if (!control) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), int(text.size()))));
    return text;
}

std::string DesignedWindow::Tooltip(const char* name) const {
    HWND control = Control(name);
    if (!control || !tooltips) return {};
    // The ANSI message gives 80 characters at most on some systems; a port line is longer.
    std::wstring text(4096, L'\0');
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tooltips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    std::string ansi(text.size() * 2, '\0');
    ansi.resize(
        static_cast<size_t>(std::max(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(),
                                                         int(ansi.size()), nullptr, nullptr) -
                                         1,
                                     0)));
    return ansi;
}

void DesignedWindow::SetText(const char* name, const std::string& text) {
    if (HWND control = Control(name)) SetWindowTextA(control, text.c_str());
}

void DesignedWindow::SetTooltip(const char* name, const std::string& text) {
    HWND control = Control(name);
    if (!control || !tooltips) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tooltips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void DesignedWindow::Show() {
    if (!window) return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

HFONT DesignedWindow::Font(const design::Font& wanted) {
    const design::Font font = wanted.face ? wanted : layout.font;
    for (auto& [made, handle] : fonts)
        if (std::strcmp(made.face, font.face) == 0 && made.points == font.points &&
            made.bold == font.bold)
            return handle;
    const bool fixed = std::strcmp(font.face, "Courier New") == 0;
    const std::string face = fixed ? win32::FixedFace(font.face) : win32::SansSerifFace(font.face);
    LOGFONTA logical{};
    logical.lfHeight = -static_cast<LONG>(std::lround(font.points * dpiY / 72.0));
    logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfQuality = DEFAULT_QUALITY;
    logical.lfPitchAndFamily = fixed ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(logical.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&logical);
    fonts.emplace_back(font, handle);
    return handle;
}

HWND DesignedWindow::Create(const design::Control& c, HWND container, int id, bool startsGroup) {
    using design::Kind;
    const char* className = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.visible ? WS_VISIBLE : 0);
    DWORD extended = 0;
    int height = TwipsToPixels(c.height, dpiY);
    switch (c.kind) {
    case Kind::Label:
        style |= c.align == design::Align::Centre ? SS_CENTER : SS_LEFT;
        // A label's text comes from the program (device names, ports) and shows "&" as it is.
        if (!std::strchr(c.caption, '&')) style |= SS_NOPREFIX;
        if (c.tooltip) style |= SS_NOTIFY; // a static without it lets the mouse fall through
        break;
    case Kind::ComboBox:
        className = "COMBOBOX";
        style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
        height *= 9; // the list below the field: eight entries or so
        break;
    case Kind::Button:
        className = "BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
    case Kind::Frame:
        className = FrameClass;
        extended |= WS_EX_CONTROLPARENT;
        break;
    case Kind::ScrollBar:
        className = "SCROLLBAR";
        style |= SBS_VERT | WS_TABSTOP;
        break;
    case Kind::TextBox:
        className = "EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        extended |= WS_EX_CLIENTEDGE;
        break;
    case Kind::Option:
        className = "BUTTON";
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
        break;
    case Kind::PushOption:
        className = "BUTTON";
        style |= BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_TABSTOP;
        break;
    }
    if (startsGroup) style |= WS_GROUP;
    HWND control = CreateWindowExA(
        extended, className, c.caption, style, TwipsToPixels(c.left, dpiX),
        TwipsToPixels(c.top, dpiY), TwipsToPixels(c.width, dpiX), height, container,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!control) return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(c.font)), FALSE);

    switch (c.kind) {
    case Kind::Frame: {
        HWND box = CreateWindowExA(0, "BUTTON", c.caption,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX | WS_GROUP,
                                   0, 0, TwipsToPixels(c.width, dpiX), height, control, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(Font(c.font)), FALSE);
        break;
    }
    case Kind::ComboBox: {
        // The field itself takes the designed height; its font alone would decide otherwise.
        // Systems count the field's height with or without its padding: measured, not assumed.
        const int wanted = TwipsToPixels(c.height, dpiY);
        auto item = static_cast<int>(SendMessageA(control, CB_GETITEMHEIGHT, WPARAM(-1), 0));
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT field;
            GetWindowRect(control, &field);
            const int off = wanted - (field.bottom - field.top);
            if (off == 0 || item + off <= 0) break;
            item += off;
            SendMessageA(control, CB_SETITEMHEIGHT, WPARAM(-1), item);
        }
        break;
    }
    case Kind::ScrollBar:
        SetScrollRange(control, SB_CTL, design::ScrollMinimum, design::ScrollMaximum, FALSE);
        SetScrollPos(control, SB_CTL, 0, FALSE);
        Subclass(control, ScrollBarProcedure);
        break;
    case Kind::PushOption:
        Subclass(control, PushOptionProcedure);
        break;
    default:
        break;
    }
    return control;
}

void DesignedWindow::Build(std::span<const design::Control> controls) {
    tooltips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    // Wide enough for a device URI, and lines break where the text says.
    if (tooltips) SendMessageA(tooltips, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(8640, dpiX));

    // Made in tab order: the sibling order is the order Tab walks.
    for (size_t i = 0; i < controls.size(); ++i) {
        const design::Control& c = controls[i];
        HWND container = c.container ? Control(c.container) : window;
        if (!container) continue;
        // Option buttons of one kind in a row in one container are one group: picking one
        // clears the others.
        bool startsGroup = true;
        for (size_t j = i; j-- > 0;) {
            if (!SameContainer(controls[j], c)) continue;
            startsGroup = !(IsOption(c) && controls[j].kind == c.kind);
            break;
        }
        HWND control = Create(c, container, FirstControlId + static_cast<int>(i), startsGroup);
        if (!control) continue;
        HBRUSH background = nullptr;
        if (c.background) brushes.push_back(background = CreateSolidBrush(ToColor(*c.background)));
        made.push_back({&c, control, background});
        if (c.tooltip) AddTooltip(control, c.tooltip);
    }

    // A label lies beneath every control it overlaps, and a frame's box beneath all it holds.
    for (const Made& control : made)
        if (control.design->kind == design::Kind::Label)
            SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const Made& control : made)
        if (control.design->kind == design::Kind::Frame)
            if (HWND box = FindWindowExA(control.handle, nullptr, "BUTTON", nullptr))
                SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DesignedWindow::AddTooltip(HWND control, const char* text) {
    if (!tooltips) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // The mouse over a drop-down list's field is over the field's own edit window.
    if (HWND edit = FindWindowExA(control, nullptr, "EDIT", nullptr)) {
        tool.hwnd = control;
        tool.uId = reinterpret_cast<UINT_PTR>(edit);
        SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

const DesignedWindow::Made* DesignedWindow::Find(HWND handle) const {
    for (const Made& control : made)
        if (control.handle == handle) return &control;
    return nullptr;
}

LRESULT DesignedWindow::Colour(UINT message, HDC dc, HWND control) {
    const Made* found = Find(control);
    if (!found || (!found->design->text && !found->background))
        return DefWindowProcA(window, message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    if (found->design->text) SetTextColor(dc, ToColor(*found->design->text));
    SetBkColor(dc, found->background ? ToColor(*found->design->background)
                                     : GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(found->background ? found->background
                                                       : GetSysColorBrush(COLOR_BTNFACE));
}

void DesignedWindow::Scroll(HWND bar, WORD request, short position) {
    int value = GetScrollPos(bar, SB_CTL);
    switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
        --value; // one unit a click, wherever it lands
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        ++value;
        break;
    case SB_TOP:
        value = design::ScrollMinimum;
        break;
    case SB_BOTTOM:
        value = design::ScrollMaximum;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        value = position;
        break;
    default:
        return;
    }
    SetScrollPos(bar, SB_CTL, std::clamp(value, design::ScrollMinimum, design::ScrollMaximum),
                 TRUE);
}

LRESULT CALLBACK DesignedWindow::Procedure(HWND handle, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<DesignedWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window = handle;
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DesignedWindow*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
    if (!self) return DefWindowProcA(handle, message, wParam, lParam);
    // Nothing may unwind through the system's frames below; the events themselves run in the
    // logic's failure style and do not throw, so what could is only this code's own bookkeeping.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT DesignedWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = window;
    if (dying && message != WM_NCDESTROY) return DefWindowProcA(handle, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            if (const Made* control = Find(reinterpret_cast<HWND>(lParam)))
                Command(*control->design, HIWORD(wParam));
        }
        // IDOK and IDCANCEL that Enter and Escape make: the windows have no default button.
        return 0;
    case WM_VSCROLL:
        if (lParam)
            Scroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                   static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return Colour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        // As a dialog does: the keyboard goes back to the control that last had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(handle, focus)) lastFocus = focus;
        } else {
            if (!lastFocus || !IsWindow(lastFocus) || !IsWindowVisible(lastFocus) ||
                !IsWindowEnabled(lastFocus))
                lastFocus = GetNextDlgTabItem(handle, nullptr, FALSE);
            if (lastFocus) SetFocus(lastFocus);
        }
        return 0;
    case WM_CLOSE:
        CloseCommand();
        return 0;
    case WM_DESTROY:
        Destroyed();
        // Wakes a loop waiting for messages: it may have been waiting for this window to go.
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        break;
    case WM_NCDESTROY:
        window = nullptr;
        tooltips = nullptr; // owned: destroyed with the window
        made.clear();
        break;
    default:
        if (message >= WM_APP && message <= 0xBFFF) {
            OwnMessage(message, wParam, lParam);
            return 0;
        }
        break;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

} // namespace papyra
