#pragma once
// The windows and event loops with Win32. Every loop passes keyboard messages through
// IsDialogMessage, so Tab, the arrow keys and the access keys move about the windows as in a
// dialog.
#include "ui/Toolkit.h"

namespace papyra {

class Win32Toolkit : public Toolkit {
public:
    // A Windows session always has a desktop to show windows on.
    bool HasDisplay() override { return true; }
    std::unique_ptr<Form1View> CreateSetupWindow(Form1& form) override;
    std::unique_ptr<Form2View> CreateReviewWindow(Form2& form) override;
    // Disables every other window of the program, shows window and runs the messages until it
    // is unloaded, LeaveAll is called or the queue says quit (passed on to the loop outside).
    void RunModal(Form1View& window) override;
    // Runs the messages while one of the program's windows is on screen.
    void RunEventLoop() override;
    // Closes every window, which makes each running loop return once its current message is
    // done.
    void LeaveAll() override;
};

} // namespace papyra
