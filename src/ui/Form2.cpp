#include "ui/Form2.h"

#include "platform/qt/QtText.h"
#include "printing/PrintReportFile.h"
#include "ui/Design.h"
#include "ui/WindowHandler.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace papyra {

Form2::Form2(Program& program, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program(program) {
    setObjectName("Form2");
    setWindowTitle(QString());
    setFont(DialogFont(8.25));
    const int dpi = logicalDpiX();
    setFixedSize(TwipsToPixels(5985, dpi), TwipsToPixels(2490, dpi));
    move(TwipsToPixels(5085, dpi), TwipsToPixels(3975, dpi));

    for (int i = 0; i < 4; ++i) {
        QLabel* line = new QLabel("Label1", this);
        line->setObjectName(QString("Label%1").arg(i + 1));
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        PlaceInTwips(line, 120, 120 + 360 * i, 4455, 255, dpi);
        lines[i] = line;
    }
    auto button = [&](const char* name, const char* caption, int left, int top) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        PlaceInTwips(b, left, top, 2055, 375, dpi);
        return b;
    };
    command1 = button("Command1", "Adjust Settings", 120, 2040);
    command2 = button("Command2", "OK", 2400, 2040);
    // Kept as designed but never shown: the test page is printed from the setup window.
    command3 = button("Command3", "Print Test Page", 120, 1560);
    command3->setToolTip("Click Here to Print a Test Page to Verify Printer Settings");
    command3->hide();
    setTabOrder(command1, command2);
    setTabOrder(command2, command3);

    connect(command1, &QPushButton::clicked, this,
            [this] { Handle([this] { AdjustSettings(); }); });
    connect(command2, &QPushButton::clicked, this, [this] { Handle([this] { Ok(); }); });
}

void Form2::WriteLines(int first, int last) {
    Printer& printer = program.platform.printers.Current();
    for (int line = first; line <= last; ++line) {
        QLabel* label = lines[line - 1];
        switch (line) {
        case 1:
            label->setText("Harvex Printer: " + FromAnsi(printer.DeviceName()));
            break;
        case 2: {
            const int16_t orientation = printer.Orientation();
            if (orientation == 1) label->setText("Orientation: Portrait");
            if (orientation == 2) label->setText("Orientation: Landscape");
            break;
        }
        case 3: {
            const int16_t copies = printer.Copies();
            label->setText(copies == 0 ? QString("Multiple Copies Not Supported by Printer")
                                       : QString("Copies: %1").arg(copies));
            break;
        }
        case 4:
            label->setText(QString("Paper Size: %1").arg(printer.PaperSize()));
            break;
        }
    }
}

void Form2::AdjustSettings() {
    Platform& platform = program.platform;
    Printer& printer = platform.printers.Current();
    const PrinterDialogResult chosen = platform.dialogs.PrinterDialog(printer, DialogTitle);
    // Stay on this printer even if the system's default changes while the window is open.
    printer.SetTrackDefault(false);
    if (chosen.discarded) {
        platform.dialogs.MessageBox("Settings Discarded", MsgButtons::OK, MsgIcon::None);
        return;
    }
    printer.SetOrientation(chosen.orientation);
    if (printer.Copies() > 0) printer.SetCopies(chosen.copies);
    WriteLines();
}

void Form2::Ok() {
    // The whole command line, blanks and all, names the report: the window hands it over as is.
    PrintReportFile(program, program.platform.process.CommandLine());
}

void Form2::Handle(const std::function<void()>& handler) {
    RunWindowHandler(program.platform, handler);
}

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    unloaded = true;
}

} // namespace papyra
