#include "ui/WindowSet.h"

#include "ui/Design.h"
#include "ui/WindowHandler.h"

namespace papyra {

Program& WindowSet::Attached() {
    if (!program) throw RuntimeError(91, "Object variable or With block variable not set");
    return *program;
}

void WindowSet::EndWithoutDisplay(const char* what) {
    Program& attached = Attached();
    attached.platform.journal.Tell(std::string("Papyra: ") + what + " needs a display");
    attached.platform.process.End(ExitStatus::Failed);
    throw ProgramEnd{ExitStatus::Failed}; // End does not return; this tells the compiler so
}

void WindowSet::ShowSetupWindowModal() {
    Program& attached = Attached();
    if (!toolkit.HasDisplay()) EndWithoutDisplay("the printer setup window");
    if (form1) throw RuntimeError(400, "Form already displayed; can't show modally");

    struct Unload {
        WindowSet& set;
        ~Unload() {
            set.view1.reset();
            set.form1.reset();
        }
    } unload{*this};
    form1 = std::make_unique<Form1>(attached);
    view1 = toolkit.CreateSetupWindow(*form1);
    form1->Attach(*view1);
    form1->Load();
    RethrowPendingEnd(attached); // loading it failed and ended the program
    toolkit.RunModal(*view1);
    RethrowPendingEnd(attached);
}

void WindowSet::OpenReviewWindow() {
    Program& attached = Attached();
    if (!toolkit.HasDisplay()) EndWithoutDisplay("SETUP");
    if (form2 && form2->Unloaded()) {
        // Its events may still be on the call stack (a job its "OK" started, yielding): the old
        // window is set aside rather than destroyed under them.
        retiredViews.push_back(std::move(view2));
        retiredForms.push_back(std::move(form2));
    }
    if (!form2) {
        form2 = std::make_unique<Form2>(attached);
        view2 = toolkit.CreateReviewWindow(*form2);
        form2->Attach(*view2);
    }

    Printer& printer = attached.platform.printers.Current();
    const PrinterDialogResult chosen =
        attached.platform.dialogs.PrinterDialog(printer, design::PrinterDialogTitle);
    form2->WriteLines(1, 1);
    printer.SetOrientation(chosen.orientation);
    form2->WriteLines(2, 4);
    view2->Show();
}

} // namespace papyra
