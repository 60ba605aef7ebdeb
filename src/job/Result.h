#pragma once
// One result type for everything below the operations: a fault code with the
// address or detail that goes with it, and one function that words it.
#include <cstdint>
#include <string>

namespace zorvek {

enum class Fault : int32_t {
    None = 0,
    Cancelled,        // the person pressed Cancel
    Adapter,          // an adapter call failed; `status` holds its status
    InvalidArgument,  // a caller's mistake, nothing was sent
    PageCrossing,     // a page program that would wrap inside its page; `address`
    StillBusy,        // the flash stayed busy past its limit (`value` ms), or when it was to be identified
    NotRecognised,    // the flash answered an identification no table row knows
    Mismatch,         // what was read back differs; `address`
    Unsupported,      // a request this driver or build cannot carry out
    File,             // a file could not be read or written; `detail`
    Format,           // outside input that is not what it should be; `detail`
    WriteProtected,   // the flash refused a write: protection bits, SRWD with WP low; `address`, `detail`
};

struct Result {
    Fault fault = Fault::None;
    int32_t status = 0;    // adapter status for Fault::Adapter
    uint32_t address = 0;  // where, for Mismatch and PageCrossing
    int64_t value = 0;     // the limit in ms (StillBusy), the answer (NotRecognised), the byte count (PageCrossing)
    std::string detail;    // words from below that the person can act on

    bool ok() const { return fault == Fault::None; }
    explicit operator bool() const { return ok(); }

    static Result Ok() { return {}; }
    static Result Failure(Fault fault, std::string detail = {}) {
        Result r;
        r.fault = fault;
        r.detail = std::move(detail);
        return r;
    }
    static Result AdapterFailure(int32_t status, std::string detail = {}) {
        Result r = Failure(Fault::Adapter, std::move(detail));
        r.status = status;
        return r;
    }
};

// The result in words, for logs and for callers that have no message of their own.
std::string Describe(const Result& result);

}  // namespace zorvek
