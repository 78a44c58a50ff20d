#pragma once
// The printer settings review window of SETUP mode: what its events do, whatever toolkit draws
// it. Four lines on the current printer (device name, orientation, copies, paper-size code),
// "Adjust Settings" to change orientation and copies through the printer dialog, and "OK" to
// print the file the whole command line names. Nothing it changes is stored. Its events run in the
// window-event failure style (WindowHandler.h).
#include "startup/Program.h"

#include <string>

namespace papyra {

// The drawn window as the logic sees it. Texts are ANSI.
class Form2View {
public:
    virtual ~Form2View() = default;
    // Line 1 printer, 2 orientation, 3 copies, 4 paper (Label1..Label4).
    virtual void SetLine(int line, const std::string& text) = 0;
    // Shows the window without making it modal.
    virtual void Show() = 0;
};

class Form2 {
public:
    explicit Form2(Program& program) : program(program) {}
    void Attach(Form2View& drawn) { view = &drawn; }

    // Rewrites lines first..last from the current printer, in that order. An orientation other
    // than 1 or 2 leaves its line as it was.
    void WriteLines(int first = 1, int last = 4);

    // The events, as the toolkit forwards them.
    void AdjustSettingsClicked(); // Command1
    void OkClicked();             // Command2
    void Closed() { unloaded = true; }

    bool Unloaded() const { return unloaded; }

private:
    Program& program;
    Form2View* view = nullptr;
    bool unloaded = false;
};

} // namespace papyra
