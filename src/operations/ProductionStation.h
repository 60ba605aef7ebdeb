#pragma once
// One adapter of a production bench: wait until a siren answers, program and
// verify it with an image built beforehand, report, wait until it is taken out.
// Holds references only, so one station per adapter can run at once.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "job/FlashIdentity.h"
#include "job/JobState.h"
#include "job/Translate.h"
#include "job/UserPort.h"
#include "operations/SirenOperations.h"
#include "operations/SpiLink.h"

namespace zorvek {

// How one siren went.
struct SirenReport {
    OperationOutcome outcome = OperationOutcome::Failed;
    std::string failure;  // the reason, as the person was told; empty when it passed
    uint32_t signature = 0;
    double seconds = 0;
    bool Passed() const { return outcome == OperationOutcome::Success; }
};

enum class SocketWait {
    Done,           // what was waited for happened
    Stopped,        // `stop` said so
    AdapterFailed,  // the adapter stopped answering
};

inline constexpr const char* kMsgUnusableFlash =
    ZT("A flash answers in the socket but cannot be used (%s); waiting for a siren that can be.");

// Time between signature polls while waiting for a siren to come or go.
inline constexpr std::chrono::milliseconds kSocketPollInterval{100};

class ProductionStation {
public:
    ProductionStation(JobState& job, SpiLink& link, UserPort& port) : job_(job), link_(link), port_(port) {}
    // Closes the adapter when it is still open.
    ~ProductionStation();
    ProductionStation(const ProductionStation&) = delete;
    ProductionStation& operator=(const ProductionStation&) = delete;

    // Opens the adapter and sets up SPI; false (the person was told) when that fails.
    bool Open();
    // Identifies until a flash answers; then the job's identity and flashLastAddress are its own.
    SocketWait WaitForSiren(const std::function<bool()>& stop,
                            std::chrono::milliseconds interval = kSocketPollInterval);
    // Identifies until no flash answers any more.
    SocketWait WaitForRemoval(const std::function<bool()>& stop,
                              std::chrono::milliseconds interval = kSocketPollInterval);
    // Erases (by the job's erase mode), programs and always verifies `image`. Bytes
    // beyond the siren's flash must be erased ones and are left out; else it fails.
    SirenReport Program(const std::vector<uint8_t>& image);

private:
    SocketWait Wait(bool forSiren, const std::function<bool()>& stop, std::chrono::milliseconds interval);
    // One identification; true when a flash answered and is known. Sets flashIdValue.
    bool Identify(FlashIdentity& identity, bool& adapterFailed);

    JobState& job_;
    SpiLink& link_;
    UserPort& port_;
    std::string shownProblem_;  // why the flash in the socket cannot be used, as last said
};

}  // namespace zorvek
