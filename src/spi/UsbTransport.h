#pragma once
// The USB side of the FTDI adapter: enumeration, opening interface A and raw
// byte transfer. libftdi1 implements it; tests put an MPSSE emulator in its place.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zorvek {

inline constexpr uint16_t kFtdiVendorId = 0x0403;
inline constexpr uint16_t kFt2232ProductId = 0x6010;  // FT2232C/D and FT2232H
inline constexpr uint16_t kFt4232hProductId = 0x6011;
inline constexpr uint16_t kFt232hProductId = 0x6014;

// The MPSSE chip, told by the USB bcdDevice.
enum class MpsseChip { Ft2232C, Ft2232H, Ft4232H, Ft232H, Unknown };
MpsseChip ChipFromBcdDevice(uint16_t bcdDevice);
// Only the H series know the clock opcodes 0x8A-0x8D.
inline constexpr bool IsHighSpeedChip(MpsseChip chip) {
    return chip == MpsseChip::Ft2232H || chip == MpsseChip::Ft4232H || chip == MpsseChip::Ft232H;
}
const char* ChipName(MpsseChip chip);

struct UsbDeviceInfo {
    uint8_t bus = 0;
    uint8_t address = 0;
    uint16_t productId = 0;
    uint16_t bcdDevice = 0;
    std::string description;  // USB product string
    std::string serial;
    bool accessDenied = false;  // strings unreadable for lack of permission
};

class UsbTransport {
public:
    virtual ~UsbTransport() = default;
    // Adapters of the family attached now; false when USB cannot be enumerated.
    virtual bool Enumerate(std::vector<UsbDeviceInfo>& devices) = 0;
    // Opens interface A. Returns libftdi's result: 0, or its negative code (see ErrorText
    // and LibusbResult for the reason).
    virtual int Open(const UsbDeviceInfo& device) = 0;
    virtual void Close() = 0;
    // Each false on failure.
    virtual bool Reset() = 0;
    virtual bool Purge() = 0;
    virtual bool SetLatencyTimer(uint8_t milliseconds) = 0;
    virtual bool SetBitMode(uint8_t mask, uint8_t mode) = 0;
    // Bytes written (all of them on success) or negative.
    virtual int Write(const uint8_t* data, int size) = 0;
    // Bytes that have arrived, possibly none, or negative.
    virtual int Read(uint8_t* data, int size) = 0;
    virtual std::chrono::nanoseconds Now() const;
    virtual std::string ErrorText() const { return {}; }
    // libusb's own result of the latest failed open when it could be learnt, else 0.
    virtual int LibusbResult() const { return 0; }
};

std::unique_ptr<UsbTransport> MakeLibFtdiTransport();

}  // namespace zorvek
