#pragma once
// The setup window drawn with Win32 from its design; its events go to the Form1 logic.
#include "ui/Form1.h"
#include "ui/win32/Win32Design.h"

#include <functional>

namespace papyra {

class Win32Form1 : public DesignedWindow, public Form1View {
public:
    explicit Win32Form1(Form1& form);

    void ListPrinters(const std::vector<std::string>& deviceNames) override;
    void ShowHostWarning(bool visible) override;
    void SetBanner(const std::string& text) override;
    void SetPortLine(const std::string& text) override;
    void SetDriverLine(const std::string& text) override;
    void ShowCodeSetFrame(bool codeSet) override;
    void SelectPaperFeed(bool tractor) override;
    bool IbmSelected() override;
    void Unload() override;
    void Leave() override { Unload(); }

    bool Unloaded() const { return unloaded; }
    // Runs once, just before the window goes: the modal display gives the other windows back
    // while this one is still there to hand the activation on.
    void BeforeUnload(std::function<void()> restore) { beforeUnload = std::move(restore); }

private:
    void Command(const design::Control& control, WORD code) override;
    void CloseCommand() override { Unload(); }
    void OwnMessage(UINT message, WPARAM, LPARAM) override;
    void PickLater();

    Form1& form;
    bool unloaded = false;
    bool settingText = false; // the field's text is being set by the program, not typed
    bool pickPending = false;
    std::function<void()> beforeUnload;
};

} // namespace papyra
