#include "spi/OpenFailure.h"

#include <libusb.h>

#include "job/TextFormat.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

#ifndef ZORVEK_UDEV_RULE_PATH
#define ZORVEK_UDEV_RULE_PATH "/lib/udev/rules.d/70-zorvek-siren-programmer.rules"
#endif
const char* const kUdevRulePath = ZORVEK_UDEV_RULE_PATH;

namespace {

std::string Where(const OpenAttempt& a) {
    return Format("(USB bus %03u, device %03u)", a.bus, a.address);
}

OpenFailure NotFound(const OpenAttempt& a) {
    return {OpenFailureKind::NotFound,
            "The USB adapter " + Where(a) + " is no longer attached.\nCheck the cable, plug it in again and retry."};
}

OpenFailure AccessDenied(const OpenAttempt& a) {
    return {OpenFailureKind::AccessDenied,
            "Permission denied: this user may not use the USB adapter " + Where(a) + ".\nInstall the udev rule " +
                kUdevRulePath +
                " (udev reads rules only from its own folders: /etc/udev/rules.d or the one given by "
                "\"pkg-config --variable=udevdir udev\"/rules.d), then unplug the adapter and plug it in again."};
}

OpenFailure Busy(const OpenAttempt& a) {
    return {OpenFailureKind::Busy, "The USB adapter " + Where(a) +
                                       " is in use by another program.\nClose that program (or the other window of "
                                       "this one) and try again."};
}

}  // namespace

OpenFailure ClassifyOpenFailure(const OpenAttempt& a) {
    if (a.ftdiResult == 0) return {};
    switch (a.ftdiResult) {
        case -3:
            // libftdi also says -3 when it cannot select the configuration, which
            // another driver or program holding the device causes.
            if (a.libraryText.find("configuration") != std::string::npos) return Busy(a);
            return NotFound(a);
        case -4:
            // libusb_open failed; libftdi keeps no reason. Permissions are the usual one.
            if (a.libusbResult == LIBUSB_ERROR_NO_DEVICE) return NotFound(a);
            if (a.libusbResult == LIBUSB_ERROR_BUSY) return Busy(a);
            if (a.libusbResult == 0 || a.libusbResult == LIBUSB_ERROR_ACCESS || a.accessDeniedAtEnumeration)
                return AccessDenied(a);
            break;
        case -5:
            return a.accessDeniedAtEnumeration ? AccessDenied(a) : Busy(a);
        case -8:  // the serial driver could not be detached: EPERM
            return AccessDenied(a);
        default:
            break;
    }
    if (a.accessDeniedAtEnumeration) return AccessDenied(a);
    std::string text = "The USB adapter " + Where(a) + " could not be opened: " +
                       (a.libraryText.empty() ? std::string("unknown error") : a.libraryText) +
                       Format(" (libftdi %d", a.ftdiResult);
    if (a.libusbResult != 0) text += std::string(", libusb ") + libusb_error_name(a.libusbResult);
    return {OpenFailureKind::Other, text + ")."};
}

int32_t AdapterStatusFor(OpenFailureKind kind) {
    switch (kind) {
        case OpenFailureKind::None:
            return kAdapterOk;
        case OpenFailureKind::NotFound:
            return kAdapterNotFound;
        case OpenFailureKind::AccessDenied:
            return kAdapterAccessDenied;
        case OpenFailureKind::Busy:
        case OpenFailureKind::Other:
            break;
    }
    return kAdapterNotOpened;
}

}  // namespace zorvek
