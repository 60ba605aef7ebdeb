#pragma once
// The state of one programming job, owned by the front end for the whole run.
#include <array>
#include <cstdint>
#include <string>

#include "job/FlashIdentity.h"
#include "job/Translate.h"

namespace zorvek {

enum SirenUsage : int32_t { Gas = 0, Fire = 1, IndustrialDc = 2, IndustrialAc = 3 };

struct MessageSlot {
    std::string wavPath;      // empty: the slot carries no message
    int32_t toneIndex = 0;    // Siren Tone list position (0 = no tone)
    int32_t beaconIndex = 0;  // Beacon list position
    int32_t volumeIndex = 0;  // Siren Vol list position (0 = level 10)
    // Format report of the converted audio; not persisted.
    std::string channelsText;
    std::string rateText;
    std::string bitsText;
    std::string samplesText;
};

constexpr int kSlotCount = 7;

// How a program or write run erases the flash before it programs.
enum class EraseMode : int32_t {
    Sectors = 0,  // the 64 KiB sectors the image covers, one by one
    Chip = 1,     // one bulk erase of the whole chip
    Auto = 2,     // bulk erase where the chip's typical times make it faster
};

// The SPI clock runs use unless told otherwise: every adapter and chip manage it.
inline constexpr int32_t kDefaultSpiClockHz = 6000000;

// What the latest program or write run did to the flash.
struct WriteCounts {
    int32_t sectorsErased = 0;
    int32_t pagesWritten = 0;
    int32_t pagesAlreadyRight = 0;  // left as they were: they already held the image
};

struct JobState {
    // slots[0] is slot 1, slots[6] is slot 7 (the top row, "Message 1").
    std::array<MessageSlot, kSlotCount> slots{};
    int32_t usage = Gas;
    int32_t verify = 0;
    int32_t verbose = 0;
    int32_t compression = 0;
    int32_t firmwareUpdate = 0;
    int32_t dip32Tone = 0;
    EraseMode eraseMode = EraseMode::Sectors;
    // Read first, then erase and program only what differs; off: every sector the image covers.
    bool writeChanged = true;
    int32_t spiClockHz = kDefaultSpiClockHz;  // asked for; the adapter and the chip may allow less
    WriteCounts lastWrite;
    std::string firmwarePath;
    std::string hexFolder;
    std::string wavFolder;
    std::string configFolder;
    std::string imageFolder;
    std::string programFolder;  // ends in a path separator
    std::string usbStatusText = "Idle";
    std::string flashStatusText;
    std::string flashIdText;
    std::string statusLineText;
    std::string messageText;
    int32_t testAddress = 0;
    int32_t abortFlag = 0;
    uint32_t flashIdValue = 0;
    uint32_t flashLastAddress = 0;
    FlashIdentity flashIdentity;  // from the latest full identification

    // Slot by its number 1..7.
    MessageSlot& slot(int number) { return slots.at(static_cast<size_t>(number - 1)); }
    const MessageSlot& slot(int number) const { return slots.at(static_cast<size_t>(number - 1)); }
};

// Caption of every message box that does not name another one.
inline constexpr const char* kProgramTitle = ZT("Zorvek USB Siren Programmer");
inline constexpr int kTestAddressMax = 5600000;

}  // namespace zorvek
