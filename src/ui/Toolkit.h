#pragma once
// What a window toolkit gives the program (ui/qt on Linux, ui/win32 on Windows): the two windows
// drawn from their designs, with their events forwarded to the logic, and the event loops.
#include "ui/Form1.h"
#include "ui/Form2.h"

#include <memory>

namespace papyra {

class Toolkit {
public:
    virtual ~Toolkit() = default;
    // Whether anyone can see and answer a window.
    virtual bool HasDisplay() = 0;
    // A new window, loaded and not shown, whose events go to form.
    virtual std::unique_ptr<Form1View> CreateSetupWindow(Form1& form) = 0;
    virtual std::unique_ptr<Form2View> CreateReviewWindow(Form2& form) = 0;
    // Shows window modally and returns when it has been unloaded, or when LeaveAll was called.
    virtual void RunModal(Form1View& window) = 0;
    // The main event loop: returns when no window is open any more, or when LeaveAll was called.
    virtual void RunEventLoop() = 0;
    // Closes every window and makes every running loop return.
    virtual void LeaveAll() = 0;
};

// This system's toolkit; the build picks the leaf that defines it (ui/qt or ui/win32).
std::unique_ptr<Toolkit> MakeSystemToolkit();

} // namespace papyra
