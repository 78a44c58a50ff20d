#include "platform/unix/CupsPpd.h"

// libcups marks the PPD functions deprecated in favour of the destination API, which leaves out
// exactly the InputSlot default this file exists for.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <memory>
#include <unistd.h>

namespace papyra::cups {
namespace {

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

std::string MarkedChoice(ppd_file_t* ppd, const char* option) {
    ppd_choice_t* choice = ppdFindMarkedChoice(ppd, option);
    return choice ? choice->choice : "";
}

} // namespace

std::optional<PpdDefaults> ReadPpdDefaults(http_t* http, const std::string& queue) {
    const char* fetched = cupsGetPPD2(http, queue.c_str());
    if (!fetched) return std::nullopt;
    const std::string path = fetched; // libcups reuses its buffer; the copy is ours to delete
    std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(path.c_str()));
    unlink(path.c_str());
    if (!ppd) return std::nullopt;

    ppdMarkDefaults(ppd.get());
    PpdDefaults defaults;
    defaults.inputSlot = MarkedChoice(ppd.get(), "InputSlot");
    defaults.resolution = MarkedChoice(ppd.get(), "Resolution");
    if (defaults.resolution.empty()) {
        if (ppd_attr_t* attr = ppdFindAttr(ppd.get(), "DefaultResolution", nullptr))
            defaults.resolution = attr->value ? attr->value : "";
    }
    defaults.colorModel = MarkedChoice(ppd.get(), "ColorModel");
    if (ppd_size_t* size = ppdPageSize(ppd.get(), nullptr);
        size && size->width > 0 && size->length > 0 && size->right > size->left &&
        size->top > size->bottom) {
        PageGeometry page;
        page.paperWidth = size->width;
        page.paperHeight = size->length;
        page.marginLeft = size->left;
        page.marginBottom = size->bottom;
        page.marginRight = size->width - size->right;
        page.marginTop = size->length - size->top;
        defaults.page = page;
    }
    return defaults;
}

} // namespace papyra::cups
