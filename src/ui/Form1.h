#pragma once
// The setup window "Harvex Printer Setup": what each of its events does, whatever toolkit draws
// it. The user picks one of the installed printers and, for a dot-matrix printer, its
// control-code set. "&OK" stores the choice for Harvex, starts Harvex when it is not running and
// unloads the window; the frame's close command unloads it without saving; "&Cancel" ends the
// program.
//
// Every event runs in the window-event failure style (WindowHandler.h): a failure shows the
// standard run-time error report and ends the program.
#include "startup/Program.h"

#include <string>
#include <vector>

namespace papyra {

// The drawn window as the logic sees it (ui/qt, ui/win32). Texts are ANSI.
class Form1View {
public:
    virtual ~Form1View() = default;
    // Combo1's entries, none selected, the edit field showing "Combo1".
    virtual void ListPrinters(const std::vector<std::string>& deviceNames) = 0;
    virtual void ShowHostWarning(bool visible) = 0;          // Label7
    virtual void SetBanner(const std::string& text) = 0;     // Label1
    virtual void SetPortLine(const std::string& text) = 0;   // Label3
    virtual void SetDriverLine(const std::string& text) = 0; // Label4
    virtual void ShowCodeSetFrame(bool codeSet) = 0;         // Frame6 shown, else Frame5
    virtual void SelectPaperFeed(bool tractor) = 0;          // Option2, else Option1
    virtual bool IbmSelected() = 0;                          // Option9
    virtual void Unload() = 0; // closes the window; its modal display returns
};

class Form1 {
public:
    explicit Form1(Program& program) : program(program) {}
    void Attach(Form1View& drawn) { view = &drawn; }

    // The events, as the toolkit forwards them.
    void Load();               // created, before it is first shown
    void Picked(int position); // an entry of Combo1 picked (also the one already selected)
    void Typed();              // the user typed into Combo1's edit field
    void PrinterTestClicked(); // Command1
    void CancelClicked();      // Command2
    void OkClicked();          // Command3

    // The list position of the entry picked in Combo1, counted from 0; -1 before the first pick
    // and once the edit field has been typed over.
    int SelectedPosition() const { return selectedPosition; }

private:
    void Pick(int position);
    void SavePrinterSettings();

    Program& program;
    Form1View* view = nullptr;
    int selectedPosition = -1;
};

} // namespace papyra
