#pragma once
// The ten adapter operations the flash routines use, with their records.
// Every operation returns a status: 0 is success, anything else failure.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvek {

// Failure statuses. Callers only tell 0 from non-zero; the values help diagnostics.
enum AdapterStatus : int32_t {
    kAdapterOk = 0, kAdapterInvalidHandle = 1, kAdapterNotFound = 2,         kAdapterNotOpened = 3,
    kAdapterIoError = 4, kAdapterInvalidParameter = 5, kAdapterAccessDenied = 7, kAdapterTimeout = 8
};

// Name buffer size of AdapterDeviceInfo, terminating zero included.
inline constexpr int kDeviceNameSize = 50;

// Deselected levels of chip select and the low general-purpose lines 1-4.
struct LowPinIdleStates {
    int32_t chipSelectHigh = 1;
    std::array<int32_t, 4> lineHigh{1, 0, 1, 0};
};

// Direction (1 = output) and level (1 = high) of the upper lines 1-4.
struct UpperPinSetup {
    struct Line {
        int32_t output = 1;
        int32_t high = 0;
    };
    std::array<Line, 4> lines{};
};

inline constexpr LowPinIdleStates kLowPinIdleStates{};
// Upper line 1 is high only while the programmer is connected.
inline constexpr UpperPinSetup kUpperPinsConnected{{{{1, 1}, {1, 1}, {1, 0}, {1, 1}}}};
inline constexpr UpperPinSetup kUpperPinsClosing{{{{1, 0}, {1, 1}, {1, 0}, {1, 1}}}};

// Levels read back from the upper lines 1-4 (1 = high).
struct UpperPinLevels {
    std::array<int32_t, 4> high{};
};

// SPI mode 0 with an active-low chip select on line 0 (ADBUS3).
struct StartCondition {
    int32_t clockIdleHigh = 0;
    int32_t dataOutIdleHigh = 0;
    int32_t chipSelectIdleHigh = 1;
    int32_t chipSelectLine = 0;
};

// The adapter never waits for the flash after a write.
struct WriteWait {
    int32_t waitForFlash = 0;
    int32_t unused1 = 0;
    int32_t unused2 = 0;
    int32_t timeoutMs = 1000;
};

// All 0: the upper lines keep their levels during a transfer.
struct UpperPinsDuringTransfer {
    std::array<int32_t, 8> flags{};
};

// One chip-select frame that only writes: control bytes, then optional data bytes.
struct WriteFrame {
    StartCondition start;
    int32_t msbFirst = 1;
    int32_t risingEdge = 0;
    int32_t controlBitCount = 0;
    const uint8_t* control = nullptr;
    int32_t controlByteCount = 0;
    int32_t dataFlag = 0;
    int32_t dataBitCount = 8;  // 8 and one byte when there is no data
    const uint8_t* data = nullptr;
    int32_t dataByteCount = 1;
    WriteWait wait;
    UpperPinsDuringTransfer upperPins;
};

// One chip-select frame that writes control bytes and then reads.
struct ReadFrame {
    StartCondition start;
    int32_t controlMsbFirst = 1;
    int32_t controlRisingEdge = 0;
    int32_t controlBitCount = 0;
    const uint8_t* control = nullptr;
    int32_t controlByteCount = 0;
    int32_t readMsbFirst = 1;
    int32_t readRisingEdge = 1;
    int32_t readBitCount = 0;
    uint8_t* receive = nullptr;  // readBitCount / 8 bytes land at its start
    UpperPinsDuringTransfer upperPins;
};

// One step of a batch: a chip-select frame that writes `control` (and `data`) and then
// reads `readCount` bytes, or, when `idleBytes` > 0, that many bytes clocked with chip
// select high (a pause, as AdapterIdleClocks).
struct BatchFrame {
    const uint8_t* control = nullptr;
    int32_t controlCount = 0;
    const uint8_t* data = nullptr;
    int32_t dataCount = 0;
    int32_t readCount = 0;
    int32_t idleBytes = 0;
};

// Frames this system sends: SPI mode 0, MSB first, whole bytes, chip select line 0.
bool IsSupportedWriteFrame(const WriteFrame& frame);
bool IsSupportedReadFrame(const ReadFrame& frame);
// A frame either writes data or reads, never both; a pause carries nothing else.
bool IsSupportedBatchFrame(const BatchFrame& frame);

// What only one driver knows, for reports and advice: every field is optional.
struct AdapterDiagnostics {
    std::string model;                                 // the adapter model its figures are for
    std::vector<std::string> seenSerials;              // serial numbers the latest enumeration saw
    std::optional<std::chrono::nanoseconds> modelled;  // modelled duration of everything so far
    std::optional<std::chrono::nanoseconds> floor;     // the physical floor of the same work
    std::string floorBasis;                            // what the floor counts
    // What the adapter keeps (a simulated siren's flash file) could not be saved:
    // the run's writes are lost whatever it reported.
    std::string saveError;
    // Whether the last close left every line of the flash bus an input.
    std::optional<bool> busReleased;
};

// The operations every driver overrides, declared once.
#define ZORVEK_SPI_ADAPTER_OPERATIONS                                                                    \
    int32_t AdapterCountDevices(int32_t& count) override;                                                \
    int32_t AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) override;           \
    int32_t AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) override;         \
    int32_t AdapterClose(uint32_t handle) override;                                                      \
    int32_t AdapterInitSpi(uint32_t handle, int32_t clockDivisor) override;                              \
    int32_t AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) override;                           \
    int32_t AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) override; \
    int32_t AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) override;                      \
    int32_t AdapterWrite(uint32_t handle, const WriteFrame& frame) override;                             \
    int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) override;       \
    int32_t AdapterIdleClocks(uint32_t handle, int32_t byteCount) override;                              \
    int32_t AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,      \
                         int32_t& received) override

class SpiAdapter {
public:
    virtual ~SpiAdapter() = default;

    virtual int32_t AdapterCountDevices(int32_t& count) = 0;
    // Device `index` (0-based): a name of at most kDeviceNameSize - 1 characters and a location id.
    virtual int32_t AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) = 0;
    virtual int32_t AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) = 0;
    virtual int32_t AdapterClose(uint32_t handle) = 0;
    virtual int32_t AdapterInitSpi(uint32_t handle, int32_t clockDivisor) = 0;
    // 12 MHz / ((1 + divisor) * 2).
    virtual int32_t AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) = 0;
    virtual int32_t AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) = 0;
    virtual int32_t AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) = 0;
    virtual int32_t AdapterWrite(uint32_t handle, const WriteFrame& frame) = 0;
    virtual int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) = 0;
    // Clocks `byteCount` bytes with chip select high, which the flash ignores: a pause
    // measured in SPI clock time that the adapter can queue without a USB round trip.
    // Adapters that cannot do this do nothing; callers must not rely on the pause.
    virtual int32_t AdapterIdleClocks(uint32_t /*handle*/, int32_t /*byteCount*/) { return kAdapterOk; }
    // Whether AdapterIdleClocks pauses without sending the idle bytes over USB (a
    // clock-only command), so that a pause costs neither bus time nor a round trip.
    virtual bool IdleClocksAreFree() const { return false; }
    // Sends `count` frames in order; what they read lands in `receive` one after the
    // other (`received` bytes in all). Adapters that queue writes send the whole batch
    // with one USB round trip. On failure the flash may have taken any prefix of the
    // frames, and `receive` is not to be trusted. This default sends frame by frame.
    virtual int32_t AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                                 int32_t& received);
    // On an open adapter: the fastest SPI clock it can make that is not above
    // `wantedHz` (the slowest it can make when all are). `hz` is the clock now running.
    // This default keeps the clock AdapterInitSpi set and says it cannot change it.
    virtual int32_t AdapterSetClock(uint32_t /*handle*/, int32_t /*wantedHz*/, int32_t& hz) {
        hz = 0;
        return kAdapterInvalidParameter;
    }

    // Time base for the bounded waits of the flash routines: real adapters use the
    // steady clock, the simulated siren its own virtual clock.
    virtual std::chrono::nanoseconds Elapsed() const;
    // Why the latest failing call failed, when the user can act on it (else empty).
    virtual std::string LastErrorDetail() const { return {}; }
    virtual AdapterDiagnostics Diagnostics() const { return {}; }
};

// 12 MHz / ((1 + divisor) * 2), or 0 for a negative divisor or one above 0xFFFF.
int32_t ClockFrequencyForDivisor(int32_t clockDivisor);
// The MPSSE divisor whose clock from `baseHz` ((base / 2) / (1 + divisor)) is the
// fastest not above `wantedHz`; 0xFFFF when even that is faster.
int32_t DivisorForClock(int64_t baseHz, int64_t wantedHz);

}  // namespace zorvek
