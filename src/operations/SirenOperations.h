#pragma once
// The commands that touch a siren: program, clone (read and write), firmware.
// They talk to the person only through the UserPort and its progress popup,
// and close the adapter on every way out once they opened it.
#include <cstdint>
#include <optional>
#include <string>

#include "image/FlashImage.h"
#include "job/JobState.h"
#include "job/Translate.h"
#include "job/UserPort.h"
#include "operations/SpiLink.h"

namespace zorvek {

struct PreparedAudio;

// How a command ended; the window shows it in its status bar, the command-line
// tool maps it to its exit status.
enum class OperationOutcome {
    Success,
    Failed,        // stopped by an error; the user was told
    Cancelled,     // the user pressed Cancel (or answered to abort)
    VerifyFailed,  // read-back differed from what was written
    NoAdapter,     // the adapter could not be found or opened
};

inline constexpr const char* kMsgNotProgrammed = ZT("Siren has NOT been programmed.");
inline constexpr const char* kMsgTooBig = ZT("Chosen files too big for flash chip");
inline constexpr const char* kMsgTooBigDetail = ZT("Message %d: %.1f s too long");
inline constexpr const char* kMsgEnoughSpace = ZT("Flash has enough space for files.");
inline constexpr const char* kMsgFirmwareNotFound = ZT("Firmware file not found.\nUpdate not possible.");
inline constexpr const char* kMsgFirmwareWarning =
    ZT("Changing the firmware can \nhave undesired effects. \nOnly do so if you are \ncertain. The current version "
    "\nwill be overwritten.\nAbort?");
inline constexpr const char* kMsgNoFirmware = ZT("No firmware loaded!\nMirax firmware will NOT be updated!");
inline constexpr const char* kHexFilter = "HEX Files (*.hex)|*.hex|All Files (*.*)|*.*||";
// Said when a run stops for a fault rather than Cancel, so a half-written
// siren never looks programmed.
inline constexpr const char* kMsgProgrammingIncomplete =
    ZT("Programming stopped because the siren or the adapter stopped answering.\n"
    "The siren is NOT (completely) programmed. Check connections and program it again.");
inline constexpr const char* kMsgWritingIncomplete =
    ZT("Writing stopped because the siren or the adapter stopped answering.\n"
    "The siren is NOT (completely) written. Check connections and write it again.");
inline constexpr const char* kMsgFirmwareReadFailed =
    ZT("Could not read the siren's flash, so the firmware was NOT updated.\nThe siren is unchanged.");
inline constexpr const char* kMsgFirmwareIncomplete =
    ZT("Updating the firmware stopped because the siren or the adapter stopped answering.\n"
    "The first 64 KiB of the siren are NOT (completely) written. Check connections and update it again.");
// Said when the read-back after writing failed; the run counts as failed, not as a difference.
inline constexpr const char* kMsgNotVerified =
    ZT("What was written could not be verified: the siren or the adapter stopped answering.\n"
    "Check connections and try again.");
inline constexpr const char* kMsgFinishing = ZT("Finishing, please wait...");
// %s: the recovery file.
inline constexpr const char* kMsgRecoveryKept =
    ZT("What the first 64 KiB held is kept in\n%s\nThe next firmware update of this siren restores it from there.");
// Said when the run stopped and the sector could not be looked at.
inline constexpr const char* kMsgRecoveryKeptUnlessBlank =
    ZT("What the first 64 KiB held is kept in\n%s\nThe next firmware update of this siren restores it from there; "
       "if it finds them blank, it names that file, to be given with --restore-from.");
// The siren holds bits the update did not write, so no update takes the copy by itself.
inline constexpr const char* kMsgRecoveryKeptNotMatched =
    ZT("What the first 64 KiB held is kept in\n%s\nThe siren now holds bits this update did not write, so "
       "the next firmware update will NOT restore it from there by itself. Keep that file.");
inline constexpr const char* kMsgRecoveryUsed =
    ZT("Found the recovery file of an interrupted firmware update:\n%s\n"
    "The first 64 KiB are restored from it instead of from the siren.");
// %s: one path a line.
inline constexpr const char* kMsgRecoveryForeign =
    ZT("These recovery files of interrupted firmware updates do not belong to this siren's first 64 KiB,\n"
       "so they are not used (they are kept):\n%s");
// %s: one path a line.
inline constexpr const char* kMsgRecoveryBlankSiren =
    ZT("This siren's first 64 KiB are blank, so these recovery files of interrupted firmware updates could be\n"
       "any siren's; they are not used (they are kept):\n%s\n"
       "If one is this siren's, name it: zorvek-cli firmware --restore-from FILE FIRMWARE.hex");
inline constexpr const char* kMsgRecoveryNotSaved =
    ZT("Could not keep a copy of the first 64 KiB before erasing them, so the firmware was NOT updated.\n"
    "The siren is unchanged.\n%s");
inline constexpr const char* kMsgEmptyImageFile =
    ZT("The siren image file is empty.\nNothing has been written to the siren.");

// What a command is called with. An unset path is asked for through the
// UserPort's file dialog, as the window does; an unset choice keeps the job's.
struct ProgramRequest {
    std::optional<bool> verify;      // unset: the job's Verify; kept in the job
    std::optional<EraseMode> erase;  // unset: the job's erase mode
    std::optional<bool> writeChanged;  // unset: the job's choice
};
struct CloneRequest {
    std::optional<std::string> imagePath;  // the siren image file to read into or write from
    std::optional<bool> verify;            // Siren Writer only; unset: the job's Verify; kept in the job
    std::optional<EraseMode> erase;        // Siren Writer only; unset: the job's erase mode
    std::optional<bool> writeChanged;      // Siren Writer only; unset: the job's choice
};

// How a write pass erases and whether it reads back: chosen once per command.
struct WritePlan {
    bool verify = true;
    EraseMode erase = EraseMode::Sectors;
    bool changedOnly = false;  // read first, write only what differs
};
struct FirmwareRequest {
    std::optional<std::string> hexPath;
    bool confirmed = false;  // the firmware warning was answered to go ahead beforehand
    // A recovery file named by the user, used instead of the one the update keeps.
    std::optional<std::string> restoreFrom;
    // Where updates keep their recovery files; unset: DefaultFirmwareRecoveryFolder().
    std::optional<std::string> recoveryFolder;
};

class SirenOperations {
public:
    SirenOperations(JobState& job, SpiLink& link, UserPort& port) : job_(job), link_(link), port_(port) {}

    // "&Program": opens the adapter, identifies the flash, programs, closes.
    OperationOutcome ProgramCommand(const ProgramRequest& request = {});
    // The programming operation on an adapter that is already open and identified.
    OperationOutcome ProgramSiren(const ProgramRequest& request = {});
    // Audio stage, size check against flashLastAddress, image and firmware:
    // everything Program does before it erases. On Success `image` holds
    // exactly what would be written; temporary files are removed.
    OperationOutcome BuildImage(FlashImage& image);

    // "Siren &Reader" and "Siren &Writer".
    OperationOutcome ReadSiren(const CloneRequest& request = {});
    OperationOutcome WriteSiren(const CloneRequest& request = {});

    // Tools > Advanced firmware commands.
    void ToggleFirmwareUpdate();
    OperationOutcome UpdateFirmwareOnly(const FirmwareRequest& request = {});
    void ToggleDip32Tone();

private:
    OperationOutcome PrepareImage(PreparedAudio& audio, FlashImage& image);
    OperationOutcome OpenAndIdentify();
    // The HEX file given, or asked for; on OK sets firmwarePath and hexFolder. Nothing on Cancel.
    std::optional<std::string> ChooseFirmwareFile(const std::optional<std::string>& given = std::nullopt);
    // The image file given, or asked for; sets imageFolder. Nothing on Cancel (said).
    std::optional<std::string> ChooseImageFile(const std::optional<std::string>& given, bool save);

    JobState& job_;
    SpiLink& link_;
    UserPort& port_;
};

}  // namespace zorvek
