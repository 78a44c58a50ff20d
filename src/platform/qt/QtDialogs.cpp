#include "platform/qt/QtDialogs.h"

#include "platform/Printer.h"
#include "platform/ansi/AnsiText.h"
#include "platform/qt/QtText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdio>

namespace papyra {

bool QtDialogs::Headless() {
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

MsgAnswer QtDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                const std::optional<std::string>& title) {
    const std::string caption = title ? *title : ProgramTitle;
    if (headless()) {
        std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(text).c_str());
        std::fflush(stderr);
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
    QMessageBox box(icon == MsgIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    FromAnsi(caption), FromAnsi(text),
                    buttons == MsgButtons::OK ? QMessageBox::Ok
                                              : QMessageBox::Ok | QMessageBox::Cancel);
    box.setEscapeButton(buttons == MsgButtons::OK ? QMessageBox::Ok : QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? MsgAnswer::OK : MsgAnswer::Cancel;
}

PrinterDialogResult QtDialogs::PrinterDialog(Printer& printer, const std::string& title) {
    PrinterDialogResult result;
    result.orientation = printer.Orientation();
    result.copies = printer.Copies();
    if (headless()) return result; // nobody to confirm: discarded

    // All the program asks of a printer dialog is an orientation, a number of copies and a yes
    // or no; a system print dialog would offer to print, and to pick printers it then ignores.
    QDialog dialog;
    dialog.setObjectName("PrinterDialog");
    dialog.setWindowTitle(FromAnsi(title));
    auto* name = new QLineEdit(FromAnsi(printer.DeviceName()));
    name->setObjectName("Printer");
    name->setReadOnly(true);
    auto* portrait = new QRadioButton("&Portrait");
    portrait->setObjectName("Portrait");
    auto* landscape = new QRadioButton("&Landscape");
    landscape->setObjectName("Landscape");
    (result.orientation == 2 ? landscape : portrait)->setChecked(true);
    auto* copies = new QSpinBox;
    copies->setObjectName("Copies");
    copies->setRange(1, 999);
    copies->setValue(result.copies > 0 ? result.copies : 1);
    copies->setEnabled(result.copies > 0); // a printer that cannot print several copies
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* orientation = new QGroupBox("Orientation");
    auto* orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(portrait);
    orientationLayout->addWidget(landscape);
    auto* form = new QFormLayout;
    form->addRow("Printer:", name);
    form->addRow(orientation);
    form->addRow("&Copies:", copies);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    result.discarded = dialog.exec() != QDialog::Accepted;
    if (!result.discarded) {
        result.orientation = landscape->isChecked() ? 2 : 1;
        result.copies = static_cast<int16_t>(copies->value());
    }
    return result;
}

} // namespace papyra
