#pragma once
// The window's control and menu identifiers, captions and tooltips. Only the
// window uses these; the core knows slots, message numbers and settings keys.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "job/JobState.h"

namespace zorvek {

// Menu and system commands.
enum CommandId : int {
    kCmdExit = 32771,
    kCmdAbout = 32773,
    kCmdHelp = 32775,
    kCmdUpdateFirmwareWithWavs = 32777,
    kCmdSirenReader = 32778,
    kCmdLoadConfiguration = 32779,
    kCmdSaveConfiguration = 32780,
    kCmdSirenWriter = 32781,
    kCmdUpdateFirmwareOnly = 32782,
    kCmdDip32Tone = 32783,
    kCmdSimulatedSiren = 32784,  // Tools > Advanced > "Simulated Siren"
    kCmdChooseAdapter = 32785,   // Tools > Advanced > "Adapter..."
    kCmdSelfTest = 32786,        // Tools > Advanced > "Self-Test..."
    kCmdFastErase = 32787,       // Tools > Advanced > "Fast erase"
    kCmdWriteChanged = 32788,    // Tools > Advanced > "Write only what differs"
    kCmdSpiClock6 = 32789,       // Tools > Advanced > SPI Clock > "6 MHz" (and the next three)
    kCmdSpiClock10 = 32790,
    kCmdSpiClock15 = 32791,
    kCmdSpiClock30 = 32792,
};

// Controls outside the message rows.
enum ControlId : int {
    kIdOk = 1,
    kIdQuit = 2,
    kIdSetupUsb = 1000,
    kIdVerify = 1002,
    kIdEraseFlash = 1003,
    kIdCloseUsb = 1004,
    kIdUsbStatus = 1005,
    kIdVerbose = 1006,
    kIdFlashStatus = 1007,
    kIdReadSignature = 1008,
    kIdTestWrite = 1009,
    kIdTestRead = 1010,
    kIdCompression = 1018,
    kIdProgramRun = 1019,
    kIdTestAddress = 1032,
    kIdProgram = 1033,
    kIdFlashId = 1040,
    kIdHelp = 1057,
    kIdHexTest = 1074,
    kIdFirmware = 1075,
    kIdLogo = 1076,
    kIdFirmwareBanner = 1077,
    kIdDip32ToneBanner = 1081,
    kIdStatusLine = 1082,
};

// The controls of one message row.
struct SlotControlIds {
    int slot;                // 1..7
    int rowCaptionId;        // group frame of the row
    const char* rowCaption;  // template caption of the row
    int pathBoxId;
    int openButtonId;
    const char* openButtonText;
    int toneListId;
    int beaconListId;
    int beaconCaptionId;
    int volumeListId;
    int channelsLabelId;
    int rateLabelId;
    int bitsLabelId;
    int samplesLabelId;
};

// Index 0 is slot 1.
extern const std::array<SlotControlIds, kSlotCount> kSlotControlTable;
// The controls of a slot, 1..7.
const SlotControlIds& slotControls(int slot);

// Rows are counted from the top of the window: row 1 holds slot 7, rows 2..7 hold slots 1..6.
// Group frame of a row (1..7).
constexpr int rowFrameId(int row) {
    return 1091 + row;
}

// Controls of the rows the IndustrialAc usage locks, in the order they are
// disabled (and enabled again by the other usages): path boxes, Open buttons,
// tone lists, volume lists, beacon lists. Report labels are never locked.
const std::vector<int>& lockableControls();
// Beacon lists and their "Beacon" captions in row order (slot 7 first), the
// order in which they are shown or hidden.
const std::vector<int>& beaconListIds();
const std::vector<int>& beaconCaptionIds();

// Siren usage buttons, in the group's order.
struct UsageButton {
    int value;
    const char* buttonText;
    int controlId;
};
extern const std::array<UsageButton, 4> kUsageButtons;

// Tooltip of a control, or nullptr when the control has none (identifier 0 included).
const char* tooltipFor(int controlId);

// The SPI clocks the window offers: what the FT2232H makes exactly from 60 MHz.
inline constexpr std::pair<const char*, int> kSpiClockCommands[] = {
    {"6 MHz", kCmdSpiClock6}, {"10 MHz", kCmdSpiClock10}, {"15 MHz", kCmdSpiClock15}, {"30 MHz", kCmdSpiClock30}};
inline constexpr int32_t SpiClockOfCommand(int id) {
    return id == kCmdSpiClock10   ? 10000000
           : id == kCmdSpiClock15 ? 15000000
           : id == kCmdSpiClock30 ? 30000000
                                  : 6000000;
}

}  // namespace zorvek
