#pragma once
// The windows and event loops with Qt Widgets. Needs a QApplication (SystemPlatform makes it).
#include "ui/Toolkit.h"

#include <functional>
#include <vector>

class QEventLoop;

namespace papyra {

class QtToolkit : public Toolkit {
public:
    QtToolkit();
    ~QtToolkit() override;

    bool HasDisplay() override;
    std::unique_ptr<Form1View> CreateSetupWindow(Form1& form) override;
    std::unique_ptr<Form2View> CreateReviewWindow(Form2& form) override;
    void RunModal(Form1View& window) override;
    void RunEventLoop() override;
    void LeaveAll() override;

    // Decides whether there is a display (QtDialogs::Headless by default); for tests.
    void SetHeadlessCheck(std::function<bool()> check) { headless = std::move(check); }

private:
    std::function<bool()> headless;
    std::vector<QEventLoop*> loops;
    bool mainLoopRunning = false;
};

} // namespace papyra
