#pragma once
// A window's design (ui/Design.h) built with Win32: a top-level window and every control of the
// table made with CreateWindowExA in tab order, placed in pixels at the screen's resolution,
// captioned, with its tooltip, font, colours and visibility. A frame is a container window that
// holds its controls (hiding it hides them) and draws a group box around them.
//
// Controls are made in code rather than from a dialog template: the table is the one place
// the layout lives, in twips, and a template would copy it in dialog units, which follow the
// font and not the design.
#include "platform/win32/Windows.h"
#include "ui/Design.h"

#include <span>
#include <string>
#include <vector>

namespace papyra {

int TwipsToPixels(int twips, int dpi);

// The screen's logical resolution, horizontally or vertically, in dots per inch.
int ScreenDpi(bool horizontal = true);

class DesignedWindow {
public:
    DesignedWindow(const design::Window& design, std::span<const design::Control> controls,
                   DWORD style, DWORD extendedStyle);
    virtual ~DesignedWindow();
    DesignedWindow(const DesignedWindow&) = delete;
    DesignedWindow& operator=(const DesignedWindow&) = delete;

    HWND Handle() const { return window; }
    bool Open() const { return window != nullptr; }
    // A control by its designed name ("Combo1", "Frame5"); nullptr for a name not in the table.
    HWND Control(const char* name) const;
    std::string Text(const char* name) const;
    std::string Tooltip(const char* name) const;

    // Shows and activates the window, the keyboard on its first control.
    void Show();
    // Closes the window for good, as the program ends: the window decides what closing means.
    virtual void Leave() = 0;

    // Every window made and not yet deleted, and whether handle is the frame of one of them.
    static const std::vector<DesignedWindow*>& All();
    static bool IsDesignedWindow(HWND handle);

protected:
    // A notification from a control: BN_CLICKED, CBN_SELCHANGE...
    virtual void Command(const design::Control& control, WORD code) = 0;
    // The frame's close command (the close box, Alt+F4).
    virtual void CloseCommand() = 0;
    // The window is being destroyed, however that came about.
    virtual void Destroyed() {}
    // A message of the window's own (WM_APP and above).
    virtual void OwnMessage(UINT, WPARAM, LPARAM) {}

    void SetText(const char* name, const std::string& text);
    void SetTooltip(const char* name, const std::string& text);
    void Destroy();

private:
    struct Made {
        const design::Control* design;
        HWND handle;
        HBRUSH background; // the designed background's, owned by brushes
    };

    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    const Made* Find(HWND handle) const;
    void Build(std::span<const design::Control> controls);
    HWND Create(const design::Control& c, HWND container, int id, bool startsGroup);
    HFONT Font(const design::Font& font);
    void AddTooltip(HWND control, const char* text);
    LRESULT Colour(UINT message, HDC dc, HWND control);
    void Scroll(HWND bar, WORD request, short position);

    const design::Window& layout;
    HWND window = nullptr;
    bool dying = false; // the derived window is gone: its handlers must not run
    HWND tooltips = nullptr;
    HWND lastFocus = nullptr;
    int dpiX, dpiY;
    std::vector<Made> made;
    std::vector<std::pair<design::Font, HFONT>> fonts;
    std::vector<HBRUSH> brushes;
};

} // namespace papyra
