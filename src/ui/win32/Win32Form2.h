#pragma once
// The review window drawn with Win32 from its design; its events go to the Form2 logic.
#include "ui/Form2.h"
#include "ui/win32/Win32Design.h"

namespace papyra {

class Win32Form2 : public DesignedWindow, public Form2View {
public:
    explicit Win32Form2(Form2& form);

    void SetLine(int line, const std::string& text) override;
    void Show() override { DesignedWindow::Show(); }
    void Leave() override { Destroy(); }

private:
    void Command(const design::Control& control, WORD code) override;
    void CloseCommand() override { Destroy(); }
    void Destroyed() override { form.Closed(); }

    Form2& form;
};

} // namespace papyra
