#pragma once
// How a simulated siren is shaped: flash size, backing file and injected faults.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "job/FlashChips.h"
#include "spi/UsbTransport.h"

namespace zorvek {

struct SimulatorFaults {
    bool noDevice = false;                           // no adapter is ever reported
    bool openFails = false;                          // AdapterOpen fails
    int64_t unplugAfter = -1;                        // every adapter call after this many fails
    int64_t stuckBusyAfter = -1;                     // the program or erase after this many never ends
    std::vector<uint32_t> readErrorAt;               // a read frame covering the address fails
    std::vector<std::pair<uint32_t, int>> weakBits;  // (address, bit) that never programs to 0
    std::optional<uint8_t> signature;                // RES answers this instead
    // Sirens that come and go (0: one siren, always there). Each new one is erased and
    // answers until the first signature read after it was written; the socket then
    // stays empty (every answer 0xFF) for kEmptySocketReads signature reads.
    int64_t sirens = 0;
    int64_t weakSiren = 0;         // with sirens: only this one (1-based) has the weak bits
    int64_t slowMicroseconds = 0;  // each answer (also in a batch) takes this long in real time
    // The chip itself: a part of the chip table (its size then wins over the simulator
    // size), a JEDEC ID the table does not know (served with SFDP tables for the
    // simulated size), no SFDP tables, the status register at power-up, the WP pin low.
    std::string chip;                // empty: the table's part for the simulated size
    std::optional<uint32_t> jedecId;
    bool noSfdp = false;
    std::optional<uint8_t> protect;
    bool wpLow = false;
    // A siren that arrives holding every byte this value (a backing file still wins):
    // 0xFF is a factory-blank chip, anything else one that must be erased first.
    std::optional<uint8_t> fill;
    // The adapter's FTDI chip whose USB side the modelled time charges (and whose
    // clocks the SPI clock comes from), over the options' own.
    std::optional<MpsseChip> usbChip;

    bool operator==(const SimulatorFaults&) const = default;
};

inline constexpr int64_t kEmptySocketReads = 3;

// At most this slow (0.1 s per answer), so that no setting can freeze a run.
inline constexpr int64_t kMaxSlowMicroseconds = 100000;

// Parses a comma list such as "unplug-after=40,weak-bit=0x200:3,signature=0x10,slow=500"
// or "chip=W25Q16JV,protect=0x9C,wp=low" or "fill=0x00" or "usb=FT2232H".
// Empty items are skipped. On a bad item nothing is changed, `error` says which
// item and false is returned.
bool ParseSimulatorFaults(std::string_view text, SimulatorFaults& faults, std::string& error);

// "2M", "2MiB", "512K", "512KiB" or a byte count; only the sizes the simulated flash supports.
std::optional<uint32_t> ParseSimulatorSize(std::string_view text);

// The chip a simulated siren carries: `faults.chip`, else the table's part of
// `size`, with `faults.jedecId` (SFDP tables on) laid over it.
FlashChip SimulatedChip(uint32_t size, const SimulatorFaults& faults);

struct SimulatorOptions {
    int number = 1;  // which of the attached simulated adapters: serial SIM0001, SIM0002, ...
    uint32_t size = kDefaultFlashSize;
    std::string filePath;  // empty: content lives in memory only
    SimulatorFaults faults;
    // A program or erase also ends once its duration has passed in real time, as on
    // a real chip, so a run stopped mid-erase leaves no siren busy for good. Off
    // for tests, which run on modelled time alone.
    bool wallClock = false;
    // The FTDI chip whose USB side the modelled time charges: the full-speed FT2232D
    // by default, the slower case.
    MpsseChip usbChip = MpsseChip::Ft2232C;
};

// Simulated adapters that may be attached at once.
inline constexpr int kMaxSimulatorCount = 16;
// "3" attaches SIM0001 to SIM0003; only 1 to kMaxSimulatorCount.
std::optional<int> ParseSimulatorCount(std::string_view text);
// "SIM0002" for number 2.
std::string SimulatedSerial(int number);
// Each simulated adapter keeps its own flash: number 1 the given file, number N
// "<name>-SIM000N<extension>" beside it (empty stays empty: memory only).
std::string SimulatorFileFor(const std::string& firstFile, int number);

// The backing file by default: $XDG_DATA_HOME/Zorvek/simulated-siren.bin, else
// ~/.local/share/Zorvek/simulated-siren.bin; empty when neither variable is set.
std::string DefaultSimulatorFile();

}  // namespace zorvek
