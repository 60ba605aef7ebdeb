#include "UsbEmulator.h"

#include <libusb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

// libusb's types are opaque to its users; these are the emulator's.
struct libusb_context {
    int unused;
};
struct libusb_device {
    size_t index;
};
struct libusb_device_handle {
    size_t index;
};

namespace zorvek::test::usb {
namespace {

struct State {
    std::vector<EmulatedChip> chips;
    std::vector<std::unique_ptr<libusb_device>> nodes;
    std::vector<std::unique_ptr<MpsseEngine>> engines;  // one per chip: its flash outlives a session
    MpsseEngine* engine = nullptr;                      // the one claimed last
    int transfers = 0;
    int outTransfers = 0;
    std::function<void(MpsseEngine&)> beforeTransfer;
    bool unplugged = false;
} g;

// Gang programming drives several adapters from worker threads: one call at a time.
std::recursive_mutex gMutex;

// One configuration per chip: the packet size libftdi reads from it is the chip's own.
struct Config {
    libusb_endpoint_descriptor endpoints[2];
    libusb_interface_descriptor altsetting;
    libusb_interface interfaces[2];
    libusb_config_descriptor config;
};
std::vector<std::unique_ptr<Config>> gConfigs;

const EmulatedChip& Chip(size_t index) {
    return g.chips.at(index);
}

void BuildConfigs() {
    gConfigs.clear();
    for (const auto& chip : g.chips) {
        auto c = std::make_unique<Config>();
        c->endpoints[0] = {};
        c->endpoints[0].bEndpointAddress = 0x81;
        c->endpoints[0].wMaxPacketSize =
            static_cast<uint16_t>(FtdiChipModelFor(ChipFromBcdDevice(chip.bcdDevice)).packetSize);
        c->endpoints[1] = c->endpoints[0];
        c->endpoints[1].bEndpointAddress = 0x02;
        c->altsetting = {};
        c->altsetting.bNumEndpoints = 2;
        c->altsetting.endpoint = c->endpoints;
        c->interfaces[0] = {&c->altsetting, 1};
        c->interfaces[1] = {&c->altsetting, 1};
        c->config = {};
        c->config.bNumInterfaces = 2;
        c->config.bConfigurationValue = 1;
        c->config.interface = c->interfaces;
        gConfigs.push_back(std::move(c));
    }
}

bool Gone() {
    return g.unplugged;
}

}  // namespace

void Attach(const std::vector<EmulatedChip>& chips) {
    g.chips = chips;
    g.nodes.clear();
    for (size_t i = 0; i < chips.size(); ++i) g.nodes.push_back(std::make_unique<libusb_device>(libusb_device{i}));
    g.engines.clear();
    for (const auto& chip : chips) g.engines.push_back(std::make_unique<MpsseEngine>(chip.bcdDevice, chip.flashSize));
    g.engine = nullptr;
    g.transfers = 0;
    g.outTransfers = 0;
    g.beforeTransfer = nullptr;
    g.unplugged = false;
    BuildConfigs();
}

MpsseEngine* EngineOf(size_t index) {
    return index < g.engines.size() ? g.engines[index].get() : nullptr;
}

MpsseEngine* Engine() {
    return g.engine ? g.engine : g.engines.empty() ? nullptr : g.engines.front().get();
}

int BulkTransfers() {
    return g.transfers;
}

int BulkOutTransfers() {
    return g.outTransfers;
}

void BeforeEachTransfer(std::function<void(MpsseEngine&)> hook) {
    g.beforeTransfer = std::move(hook);
}

void UnplugAfter(int count) {
    for (auto& chip : g.chips) chip.unplugAfterTransfers = g.transfers + count;
}

}  // namespace zorvek::test::usb

using namespace zorvek;
using zorvek::test::MpsseEngine;
using namespace zorvek::test::usb;

extern "C" {

int libusb_init(libusb_context** ctx) {
    std::lock_guard lock(gMutex);
    static libusb_context context{};
    if (ctx) *ctx = &context;
    return 0;
}

void libusb_exit(libusb_context*) {}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list) {
    std::lock_guard lock(gMutex);
    const size_t n = Gone() ? 0 : g.nodes.size();
    auto** out = static_cast<libusb_device**>(std::calloc(n + 1, sizeof(libusb_device*)));
    for (size_t i = 0; i < n; ++i) out[i] = g.nodes[i].get();
    *list = out;
    return static_cast<ssize_t>(n);
}

void libusb_free_device_list(libusb_device** list, int) {
    std::lock_guard lock(gMutex);
    std::free(list);
}

libusb_device* libusb_ref_device(libusb_device* dev) {
    std::lock_guard lock(gMutex);
    return dev;
}

void libusb_unref_device(libusb_device*) {}

uint8_t libusb_get_bus_number(libusb_device* dev) {
    std::lock_guard lock(gMutex);
    return Chip(dev->index).bus;
}

uint8_t libusb_get_device_address(libusb_device* dev) {
    std::lock_guard lock(gMutex);
    return Chip(dev->index).address;
}

int libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
    std::lock_guard lock(gMutex);
    *desc = {};
    desc->bLength = LIBUSB_DT_DEVICE_SIZE;
    desc->bDescriptorType = LIBUSB_DT_DEVICE;
    desc->bcdUSB = 0x0200;
    desc->bMaxPacketSize0 = 64;
    desc->idVendor = 0x0403;
    desc->idProduct = Chip(dev->index).productId;
    desc->bcdDevice = Chip(dev->index).bcdDevice;
    desc->iManufacturer = 1;
    desc->iProduct = 2;
    desc->iSerialNumber = 3;
    desc->bNumConfigurations = 1;
    return 0;
}

int libusb_get_config_descriptor(libusb_device* dev, uint8_t index, libusb_config_descriptor** config) {
    std::lock_guard lock(gMutex);
    if (index != 0) return LIBUSB_ERROR_NOT_FOUND;
    *config = &gConfigs.at(dev->index)->config;
    return 0;
}

void libusb_free_config_descriptor(libusb_config_descriptor*) {}

int libusb_open(libusb_device* dev, libusb_device_handle** handle) {
    std::lock_guard lock(gMutex);
    if (Gone()) return LIBUSB_ERROR_NO_DEVICE;
    if (Chip(dev->index).denyAccess) return LIBUSB_ERROR_ACCESS;
    *handle = new libusb_device_handle{dev->index};
    return 0;
}

void libusb_close(libusb_device_handle* handle) {
    std::lock_guard lock(gMutex);
    delete handle;
}

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index, unsigned char* data, int length) {
    std::lock_guard lock(gMutex);
    if (Gone()) return LIBUSB_ERROR_NO_DEVICE;
    const EmulatedChip& chip = Chip(handle->index);
    const std::string text = index == 1 ? "FTDI" : index == 2 ? chip.description : chip.serial;
    const int n = std::min(static_cast<int>(text.size()), length - 1);
    std::memcpy(data, text.data(), static_cast<size_t>(n));
    data[n] = 0;
    return n;
}

int libusb_detach_kernel_driver(libusb_device_handle*, int) {
    std::lock_guard lock(gMutex);
    return LIBUSB_ERROR_NOT_FOUND;  // no serial driver bound
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) {
    std::lock_guard lock(gMutex);
    return 0;
}

int libusb_get_configuration(libusb_device_handle*, int* config) {
    std::lock_guard lock(gMutex);
    *config = 1;
    return Gone() ? LIBUSB_ERROR_NO_DEVICE : 0;
}

int libusb_set_configuration(libusb_device_handle*, int) {
    std::lock_guard lock(gMutex);
    return 0;
}

int libusb_claim_interface(libusb_device_handle* handle, int) {
    std::lock_guard lock(gMutex);
    if (Gone()) return LIBUSB_ERROR_NO_DEVICE;
    g.engine = g.engines.at(handle->index).get();
    return 0;
}

int libusb_release_interface(libusb_device_handle*, int) {
    std::lock_guard lock(gMutex);
    return 0;
}

// The FTDI vendor requests: reset (0x00 with 0) and purges (1: what the host sent and
// the engine has not decoded, 2: answers waiting for the host), latency (0x09), bit
// mode (0x0B); baud rate, flow control and the rest are accepted and ignored.
int libusb_control_transfer(libusb_device_handle* handle, uint8_t, uint8_t request, uint16_t value, uint16_t,
                            unsigned char*, uint16_t length, unsigned int) {
    std::lock_guard lock(gMutex);
    if (Gone()) return LIBUSB_ERROR_NO_DEVICE;
    MpsseEngine& engine = *g.engines.at(handle->index);
    if (request == 0x00 && value == 0) engine.ResetSio();
    if (request == 0x00 && value == 1) engine.PurgeTx();
    if (request == 0x00 && value == 2) engine.PurgeRx();
    if (request == 0x09) engine.SetLatencyTimer(static_cast<uint8_t>(value));
    if (request == 0x0B) engine.SetBitMode(static_cast<uint8_t>(value >> 8));
    return length;
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data, int length,
                         int* transferred, unsigned int timeoutMs) {
    std::lock_guard lock(gMutex);
    *transferred = 0;
    // Each handle talks to its own chip, whichever was claimed last.
    MpsseEngine& engine = *g.engines.at(handle->index);
    if (g.beforeTransfer) g.beforeTransfer(engine);
    ++g.transfers;
    if (!g.chips.empty() && g.chips[0].unplugAfterTransfers >= 0 && g.transfers > g.chips[0].unplugAfterTransfers)
        g.unplugged = true;
    if (Gone()) return LIBUSB_ERROR_NO_DEVICE;
    // libusb waits without end for a timeout of 0; here that is a minute of emulated time.
    const std::chrono::milliseconds timeout(timeoutMs ? timeoutMs : 60000);
    bool timedOut = false;
    if (!(endpoint & 0x80)) {
        ++g.outTransfers;
        *transferred = engine.BulkOut(data, length, timeout, timedOut);
    } else {
        *transferred = engine.BulkIn(data, length, timeout, timedOut);
    }
    return timedOut ? LIBUSB_ERROR_TIMEOUT : 0;
}

// Asynchronous transfers: libftdi's streaming API, which nothing here uses.
libusb_transfer* libusb_alloc_transfer(int) {
    return nullptr;
}
void libusb_free_transfer(libusb_transfer*) {}
int libusb_submit_transfer(libusb_transfer*) {
    std::lock_guard lock(gMutex);
    return LIBUSB_ERROR_NOT_SUPPORTED;
}
int libusb_cancel_transfer(libusb_transfer*) {
    std::lock_guard lock(gMutex);
    return LIBUSB_ERROR_NOT_SUPPORTED;
}
int libusb_handle_events_timeout(libusb_context*, struct timeval*) {
    std::lock_guard lock(gMutex);
    return LIBUSB_ERROR_NOT_SUPPORTED;
}
int libusb_handle_events_timeout_completed(libusb_context*, struct timeval*, int*) {
    std::lock_guard lock(gMutex);
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

}  // extern "C"
