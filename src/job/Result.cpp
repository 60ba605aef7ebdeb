#include "job/Result.h"

#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek {

std::string Describe(const Result& r) {
    if (r.fault == Fault::File || r.fault == Fault::Format) return r.detail;
    // In the order of Fault.
    static constexpr const char* kWords[] = {
        ZT("ok"),           ZT("cancelled"), ZT("the adapter failed"), ZT("invalid argument"),
        ZT("a page program would cross a page boundary"), ZT("the flash was still busy"), ZT("flash not recognised"),
        ZT("read-back differs"), ZT("not supported"), "", "", ZT("the flash is write-protected"),
    };
    std::string text = Translated(EnumLookup(r.fault, kWords, ZT("failed")));
    if (r.fault == Fault::Adapter) text += Format(ZT(" (status %d)"), r.status);
    if (r.fault == Fault::StillBusy && r.value > 0)
        text += Format(ZT(" after %d seconds"), static_cast<int>(r.value / 1000));
    if (r.fault == Fault::NotRecognised) text += Format(": 0x%x", static_cast<unsigned>(r.value));
    if (r.fault == Fault::PageCrossing || r.fault == Fault::Mismatch) text += Format(ZT(" at 0x%06X"), r.address);
    if (!r.ok() && !r.detail.empty()) text += ": " + r.detail;
    return text;
}

}  // namespace zorvek
