#include "platform/qt/QtDialogs.h"

#include "platform/Printer.h"
#include "platform/qt/QtText.h"
#include "platform/unix/AnsiText.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

namespace papyra {

bool QtDialogs::Headless() {
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

MsgAnswer QtDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                const std::optional<std::string>& title) {
    const std::string caption = title ? *title : ProgramTitle;
    if (Headless()) {
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
    if (Headless()) return result; // nobody to confirm: discarded

    // The dialog works on a QPrinter standing for the same queue; only its answers come back.
    QPrinter dialogPrinter;
    const QPrinterInfo info = QPrinterInfo::printerInfo(FromAnsi(printer.DeviceName()));
    if (!info.isNull())
        dialogPrinter.setPrinterName(info.printerName());
    else
        dialogPrinter.setOutputFormat(QPrinter::PdfFormat);
    dialogPrinter.setPageOrientation(result.orientation == 2 ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    dialogPrinter.setCopyCount(result.copies > 0 ? result.copies : 1);
    QPrintDialog dialog(&dialogPrinter);
    dialog.setWindowTitle(FromAnsi(title));
    result.discarded = dialog.exec() != QDialog::Accepted;
    if (!result.discarded) {
        result.orientation =
            dialogPrinter.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
        result.copies = static_cast<int16_t>(dialogPrinter.copyCount());
    }
    return result;
}

} // namespace papyra
