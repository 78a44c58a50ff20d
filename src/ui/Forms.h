#pragma once
// The program's two windows as the engine and start-up reach them. Each window exists at most
// once per process and is created on first reference.
namespace papyra {

class Forms {
public:
    virtual ~Forms() = default;
    // Shows the setup window Form1 modally; returns when it has been unloaded (by "&OK" or by its
    // frame's close command). "&Cancel" ends the program instead of returning.
    virtual void ShowSetupWindowModal() = 0;
    // SETUP mode's review set-up from the creation of Form2 on: the printer dialog, the four
    // lines, then Form2 shown without making it modal. Returns at once.
    virtual void OpenReviewWindow() = 0;
    // The program is ending: every window closes and every event loop returns.
    virtual void CloseAll() = 0;
};

} // namespace papyra
