// UsbTransport over libftdi1 and libusb.
#include <ftdi.h>
#include <libusb.h>

#include "job/TextFormat.h"
#include "spi/SpiAdapter.h"
#include "spi/UsbTransport.h"

namespace zorvek {

MpsseChip ChipFromBcdDevice(uint16_t bcdDevice) {
    switch (bcdDevice & 0xFF00) {
        case 0x0500:
            return MpsseChip::Ft2232C;
        case 0x0700:
            return MpsseChip::Ft2232H;
        case 0x0800:
            return MpsseChip::Ft4232H;
        case 0x0900:
            return MpsseChip::Ft232H;
        default:
            return MpsseChip::Unknown;
    }
}

const char* ChipName(MpsseChip chip) {
    // In the order of MpsseChip.
    static constexpr const char* kNames[] = {"FT2232C/D", "FT2232H", "FT4232H", "FT232H"};
    return EnumLookup(chip, kNames, "FTDI MPSSE");
}

std::chrono::nanoseconds UsbTransport::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

namespace {

class LibFtdiTransport : public UsbTransport {
public:
    LibFtdiTransport() : ftdi_(ftdi_new()) {}
    ~LibFtdiTransport() override {
        Close();
        if (ftdi_) ftdi_free(ftdi_);
    }
    LibFtdiTransport(const LibFtdiTransport&) = delete;
    LibFtdiTransport& operator=(const LibFtdiTransport&) = delete;

    bool Enumerate(std::vector<UsbDeviceInfo>& devices) override {
        devices.clear();
        if (!ftdi_) return false;
        for (uint16_t product : {kFt2232ProductId, kFt4232hProductId, kFt232hProductId}) {
            ftdi_device_list* list = nullptr;
            int n = ftdi_usb_find_all(ftdi_, &list, kFtdiVendorId, product);
            if (n < 0) return false;
            for (ftdi_device_list* item = list; item; item = item->next) devices.push_back(Describe(item->dev));
            ftdi_list_free(&list);
        }
        return true;
    }

    int Open(const UsbDeviceInfo& device) override {
        libusbResult_ = 0;
        if (!ftdi_) return -11;
        Close();
        ftdi_set_interface(ftdi_, INTERFACE_A);
        const int result = ftdi_usb_open_bus_addr(ftdi_, device.bus, device.address);
        if (result == -4) libusbResult_ = ProbeOpen(device);
        if (result < 0) return result;
        open_ = true;
        // Short transfers: the adapter loops until its own deadline.
        ftdi_->usb_read_timeout = 100;
        ftdi_->usb_write_timeout = 1000;
        return 0;
    }

    void Close() override {
        if (open_) ftdi_usb_close(ftdi_);
        open_ = false;
    }

    bool Reset() override { return open_ && ftdi_usb_reset(ftdi_) == 0; }
    bool Purge() override { return open_ && ftdi_tcioflush(ftdi_) == 0; }
    bool SetLatencyTimer(uint8_t ms) override { return open_ && ftdi_set_latency_timer(ftdi_, ms) == 0; }
    bool SetBitMode(uint8_t mask, uint8_t mode) override { return open_ && ftdi_set_bitmode(ftdi_, mask, mode) == 0; }
    int Write(const uint8_t* data, int size) override { return open_ ? ftdi_write_data(ftdi_, data, size) : -1; }
    int Read(uint8_t* data, int size) override { return open_ ? ftdi_read_data(ftdi_, data, size) : -1; }
    std::string ErrorText() const override { return ftdi_ ? ftdi_get_error_string(ftdi_) : "out of memory"; }
    int LibusbResult() const override { return libusbResult_; }

private:
    // libftdi reports a failed libusb_open without libusb's reason; asking again
    // tells permissions from a device that went away.
    int ProbeOpen(const UsbDeviceInfo& device) {
        libusb_device** list = nullptr;
        const ssize_t n = libusb_get_device_list(ftdi_->usb_ctx, &list);
        if (n < 0) return 0;
        int result = LIBUSB_ERROR_NO_DEVICE;
        for (ssize_t i = 0; i < n; ++i) {
            if (libusb_get_bus_number(list[i]) != device.bus || libusb_get_device_address(list[i]) != device.address)
                continue;
            libusb_device_handle* handle = nullptr;
            result = libusb_open(list[i], &handle);
            if (result == 0) libusb_close(handle);
            break;
        }
        libusb_free_device_list(list, 1);
        return result;
    }

    UsbDeviceInfo Describe(libusb_device* dev) {
        UsbDeviceInfo info;
        info.bus = libusb_get_bus_number(dev);
        info.address = libusb_get_device_address(dev);
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(dev, &descriptor) != 0) return info;
        info.productId = descriptor.idProduct;
        info.bcdDevice = descriptor.bcdDevice;
        libusb_device_handle* handle = nullptr;
        int result = libusb_open(dev, &handle);
        if (result == LIBUSB_ERROR_ACCESS) {
            info.accessDenied = true;
            return info;
        }
        if (result != 0) return info;
        unsigned char text[128];
        if (descriptor.iProduct &&
            libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, text, sizeof text) > 0)
            info.description = reinterpret_cast<char*>(text);
        if (descriptor.iSerialNumber &&
            libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text, sizeof text) > 0)
            info.serial = reinterpret_cast<char*>(text);
        libusb_close(handle);
        return info;
    }

    ftdi_context* ftdi_;
    bool open_ = false;
    int libusbResult_ = 0;
};

}  // namespace

std::unique_ptr<UsbTransport> MakeLibFtdiTransport() {
    return std::make_unique<LibFtdiTransport>();
}

}  // namespace zorvek
