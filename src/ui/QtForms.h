#pragma once
// The program's two windows with Qt Widgets. Each is created on first reference; the setup window
// is unloaded (destroyed) when its modal display ends, the review window when its frame closes,
// and a later reference creates a fresh one.
//
// Without a display nobody could answer a window, so both entries write a line to stderr and end
// the program (Process::End) instead of waiting on something invisible.
#include "ui/Forms.h"

#include "startup/Program.h"

#include <functional>
#include <memory>

namespace papyra {

class Form1;
class Form2;

class QtForms : public Forms {
public:
    // Program holds its Forms by reference, so the program is usually attached afterwards.
    explicit QtForms(Program* program = nullptr);
    ~QtForms() override;
    void Attach(Program& program);

    // Shows Form1 modally and returns once it has been unloaded; a ProgramEnd raised by one of
    // its handlers ("&Cancel", a failure) comes out of this call. Run-time error 400 when the
    // window is already on screen.
    void ShowSetupWindowModal() override;
    // Creates Form2, shows the printer dialog, writes the four lines (setting the printer's
    // orientation from the dialog on the way) and shows Form2 without making it modal.
    void OpenReviewWindow() override;

    // The windows as they stand, null when not loaded; for tests and screenshots.
    Form1* SetupWindow() const { return form1.get(); }
    Form2* ReviewWindow() const { return form2.get(); }
    // Decides whether there is a display to show windows on (QtDialogs::Headless by default).
    void SetHeadlessCheck(std::function<bool()> check) { headless = std::move(check); }

private:
    Program& Attached();
    [[noreturn]] void EndWithoutDisplay(const char* what);

    Program* program;
    std::function<bool()> headless;
    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form2> form2;
};

} // namespace papyra
