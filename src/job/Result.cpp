#include "job/Result.h"

#include "job/TextFormat.h"

namespace zorvek {

std::string Describe(const Result& r) {
    if (r.fault == Fault::File || r.fault == Fault::Format) return r.detail;
    // In the order of Fault.
    static constexpr const char* kWords[] = {
        "ok",           "cancelled", "the adapter failed", "invalid argument", "a page program would cross a page boundary",
        "the flash was still busy", "flash not recognised", "read-back differs", "not supported", "", "",
        "the flash is write-protected",
    };
    std::string text = EnumLookup(r.fault, kWords, "failed");
    if (r.fault == Fault::Adapter) text += Format(" (status %d)", r.status);
    if (r.fault == Fault::StillBusy) text += Format(" after %d seconds", static_cast<int>(r.value / 1000));
    if (r.fault == Fault::NotRecognised) text += Format(": 0x%x", static_cast<unsigned>(r.value));
    if (r.fault == Fault::PageCrossing || r.fault == Fault::Mismatch) text += Format(" at 0x%06X", r.address);
    if (!r.ok() && !r.detail.empty()) text += ": " + r.detail;
    return text;
}

}  // namespace zorvek
