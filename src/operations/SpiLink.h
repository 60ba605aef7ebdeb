#pragma once
// The connection to the siren's serial flash as the routines below the window
// keep it: which adapter, which handle, the latest adapter status and the
// running operation's popup. Opened and closed by UsbConnection.h.
#include <cstdint>
#include <string>

#include "job/ProgressPort.h"
#include "spi/AdapterLifecycle.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

struct SpiLink {
    SpiAdapter* adapter = nullptr;     // chosen at start, not owned
    uint32_t handle = 0;               // 0: no connection
    int32_t lastStatus = 0;            // status of the latest adapter call
    ProgressPort* progress = nullptr;  // popup of the running operation, not owned; may be null
    // Bytes per read frame of the read-back; compared and stepped per 256-byte block anyway.
    int32_t verifyFrameBytes = 0x10000;
    int32_t clockHz = 0;  // SPI clock reported at setup; 0 until then
    bool writeRefused = false;  // a routine stopped because the flash refused a write (protection)
    // The adapter last opened, as it names itself (description and serial number);
    // kept after closing, so a finished run can say where it ran.
    std::string deviceName;
};

}  // namespace zorvek
