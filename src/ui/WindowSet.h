#pragma once
// The program's windows on a toolkit: each created on first reference; the setup window is
// unloaded (destroyed) when its modal display ends, the review window when its frame closes, and
// a later reference creates a fresh one.
//
// Without a display nobody could answer a window, so both entries tell stderr and end the program
// instead of waiting on something invisible.
#include "ui/Forms.h"
#include "ui/Toolkit.h"

#include <memory>
#include <vector>

namespace papyra {

class WindowSet : public Forms {
public:
    explicit WindowSet(Toolkit& toolkit) : toolkit(toolkit) {}
    // Program holds its Forms by reference, so the program is attached afterwards.
    void Attach(Program& attached) { program = &attached; }

    // Shows Form1 modally and returns once it has been unloaded; a ProgramEnd raised by one of
    // its handlers ("&Cancel", a failure) comes out of this call. Run-time error 400 when the
    // window is already on screen.
    void ShowSetupWindowModal() override;
    // Creates Form2, shows the printer dialog, writes the four lines (setting the printer's
    // orientation from the dialog on the way) and shows Form2 without making it modal.
    void OpenReviewWindow() override;
    void CloseAll() override { toolkit.LeaveAll(); }

    // The windows' logic as it stands, null when not loaded; for tests.
    Form1* SetupWindow() const { return form1.get(); }
    Form2* ReviewWindow() const { return form2.get(); }

private:
    Program& Attached();
    [[noreturn]] void EndWithoutDisplay(const char* what);

    Toolkit& toolkit;
    Program* program = nullptr;
    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form1View> view1;
    std::unique_ptr<Form2> form2;
    std::unique_ptr<Form2View> view2;
    std::vector<std::unique_ptr<Form2>> retiredForms;
    std::vector<std::unique_ptr<Form2View>> retiredViews;
};

} // namespace papyra
