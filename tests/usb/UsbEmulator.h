#pragma once
// FT2232 chips emulated at the libusb boundary. UsbEmulator.cpp defines the libusb
// functions libftdi 1.5 calls; the test executable exports them, so libftdi's
// own calls land here instead of in libusb, and the real libftdi and the real
// LibFtdiTransport run against an MPSSE engine driving a simulated flash.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "MpsseEngine.h"

namespace zorvek::test::usb {

struct EmulatedChip {
    uint16_t productId = 0x6010;  // 0x6011: FT4232H
    uint16_t bcdDevice = 0x0700;  // 0x0500 FT2232C/D, 0x0700 FT2232H, 0x0800 FT4232H
    std::string serial = "FTEMU1";
    std::string description = "Dual RS232-HS";
    uint8_t bus = 3;
    uint8_t address = 12;
    bool denyAccess = false;        // libusb_open fails with LIBUSB_ERROR_ACCESS
    int unplugAfterTransfers = -1;  // bulk transfers that succeed before the chip is gone
    uint32_t flashSize = SimulatedFlash::kDefaultSize;
};

// Replaces whatever was attached (and forgets any opened engine).
void Attach(const std::vector<EmulatedChip>& chips);
// The MPSSE engine behind the interface claimed last (before a claim, the first chip's).
MpsseEngine* Engine();
// The engine of the chip attached at `index`.
MpsseEngine* EngineOf(size_t index);
// Bulk transfers so far, both ways, and the OUT transfers among them.
int BulkTransfers();
int BulkOutTransfers();
// Called before every bulk transfer (a test's fault trigger); Attach clears it.
void BeforeEachTransfer(std::function<void(MpsseEngine&)> hook);
// Sets the unplug point of the attached chip at `count` more transfers.
void UnplugAfter(int count);

}  // namespace zorvek::test::usb
