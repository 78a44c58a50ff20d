#include "platform/unix/PrinterPage.h"

#include "platform/RuntimeError.h"
#include "platform/pdf/PdfFilePrinter.h"
#include "platform/unix/CupsPrinter.h"

namespace papyra {

PageGeometry PageOf(Printer& printer) {
    if (auto* queue = dynamic_cast<CupsPrinter*>(&printer)) return queue->DefaultPage();
    if (auto* file = dynamic_cast<PdfFilePrinter*>(&printer)) return file->Page();
    throw RuntimeError(5);
}

} // namespace papyra
