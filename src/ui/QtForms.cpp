#include "ui/QtForms.h"

#include "platform/RuntimeError.h"
#include "platform/qt/QtDialogs.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/WindowHandler.h"

#include <cstdio>

namespace papyra {

QtForms::QtForms(Program* program) : program(program), headless(&QtDialogs::Headless) {}

QtForms::~QtForms() = default;

void QtForms::Attach(Program& attached) {
    program = &attached;
}

Program& QtForms::Attached() {
    if (!program) throw RuntimeError(91, "Object variable or With block variable not set");
    return *program;
}

void QtForms::EndWithoutDisplay(const char* what) {
    std::fprintf(stderr, "Papyra: %s needs a display\n", what);
    std::fflush(stderr);
    Attached().platform.process.End();
    throw ProgramEnd{}; // End does not return; this keeps the promise visible to the compiler
}

void QtForms::ShowSetupWindowModal() {
    Program& attached = Attached();
    if (headless()) EndWithoutDisplay("the printer setup window");
    if (form1 && form1->isVisible())
        throw RuntimeError(400, "Form already displayed; can't show modally");
    if (!form1) {
        auto loaded = std::make_unique<Form1>(attached);
        RethrowPendingEnd(); // loading it failed and ended the program
        form1 = std::move(loaded);
    }

    struct Unload {
        std::unique_ptr<Form1>& form;
        ~Unload() { form.reset(); }
    } unload{form1};
    ModalLoop loop;
    QObject::connect(form1.get(), &Form1::Unloaded, [&loop] { loop.Quit(); });
    form1->show();
    form1->activateWindow();
    loop.Exec();
}

void QtForms::OpenReviewWindow() {
    Program& attached = Attached();
    if (headless()) EndWithoutDisplay("SETUP");
    if (form2 && form2->Unloaded()) form2.release()->deleteLater(); // may be on the call stack
    if (!form2) form2 = std::make_unique<Form2>(attached);

    Printer& printer = attached.platform.printers.Current();
    const PrinterDialogResult chosen =
        attached.platform.dialogs.PrinterDialog(printer, Form2::DialogTitle);
    form2->WriteLines(1, 1);
    printer.SetOrientation(chosen.orientation);
    form2->WriteLines(2, 4);
    form2->show();
}

} // namespace papyra
