#include "job/Result.h"

#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek {

std::string Describe(const Result& r) {
    std::string text;
    switch (r.fault) {
        case Fault::None:
            return "ok";
        case Fault::Cancelled:
            text = ZT("cancelled");
            break;
        case Fault::Adapter:
            text = Format(ZT("the adapter failed (status %d)"), r.status);
            break;
        case Fault::InvalidArgument:
            text = ZT("invalid argument");
            break;
        case Fault::PageCrossing:
            text = Format(ZT("a page program of %d bytes at 0x%06X would cross a page boundary"),
                          static_cast<int>(r.value), r.address);
            break;
        case Fault::StillBusy:
            text = Format(ZT("the flash was still busy after %d seconds"), static_cast<int>(r.value / 1000));
            break;
        case Fault::NotRecognised:
            text = Format(ZT("flash not recognised: 0x%x"), static_cast<unsigned>(r.value));
            break;
        case Fault::Mismatch:
            text = Format(ZT("read-back differs at 0x%06X"), r.address);
            break;
        case Fault::Unsupported:
            text = ZT("not supported");
            break;
        case Fault::File:
        case Fault::Format:
            return r.detail;
    }
    if (!r.detail.empty()) text += ": " + r.detail;
    return text;
}

}  // namespace zorvek
