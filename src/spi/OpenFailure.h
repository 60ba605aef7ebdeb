#pragma once
// What a failed open of an FTDI adapter means to the person at the bench. libftdi
// folds several causes into one code and loses libusb's, so the code, libftdi's
// text, the libusb code where known and what enumeration saw are read together.
#include <cstdint>
#include <string>

namespace zorvek {

// Where the udev rule that grants access to the adapters is installed (set by the build).
extern const char* const kUdevRulePath;

enum class OpenFailureKind { None, NotFound, AccessDenied, Busy, Other };

struct OpenAttempt {
    int ftdiResult = 0;    // ftdi_usb_open_bus_addr's result
    int libusbResult = 0;  // libusb_open's own result when known, else 0
    bool accessDeniedAtEnumeration = false;
    std::string libraryText;  // ftdi_get_error_string
    uint8_t bus = 0;
    uint8_t address = 0;
};

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::None;
    std::string message;  // for the person; empty for None
};

OpenFailure ClassifyOpenFailure(const OpenAttempt& attempt);

// The AdapterStatus a failure kind is reported with.
int32_t AdapterStatusFor(OpenFailureKind kind);

}  // namespace zorvek
