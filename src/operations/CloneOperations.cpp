#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "files/SirenImageFile.h"
#include "job/Translate.h"
#include "job/Paths.h"
#include "job/SafeFiles.h"
#include "job/TextFormat.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "operations/FlashRoutines.h"
#include "operations/UsbConnection.h"

namespace zorvek {
namespace {

constexpr uint32_t kWriterLength = kDefaultFlashSize;  // what a siren image file normally holds
// Pages fetched per read frame: one USB round trip instead of 256.
constexpr uint32_t kReadChunk = 0x10000;

FileDialogOptions ImageDialog(const JobState& job, bool save) {
    return save ? FileDialogOptions::ForSaving(kImageFilter, "zmg", job.imageFolder)
                : FileDialogOptions::ForOpening(kImageFilter, "zmg", job.imageFolder);
}

}  // namespace

std::optional<std::string> SirenOperations::ChooseImageFile(const std::optional<std::string>& given, bool save) {
    const auto path = given  ? given
                      : save ? port_.ChooseSaveFile(ImageDialog(job_, true))
                             : port_.ChooseOpenFile(ImageDialog(job_, false));
    if (!path) {
        port_.ShowMessage(save ? ZT("Save cancelled by user.") : ZT("Load cancelled by user."), ZT("Caution!"), MessageIcon::Stop);
        return std::nullopt;
    }
    job_.imageFolder = FolderOfChosenFile(*path);
    if (path->empty()) {
        port_.ShowMessage(ZT("No file selected!"), ZT("Caution!"), MessageIcon::Stop);
        return std::nullopt;
    }
    return path;
}

OperationOutcome SirenOperations::ReadSiren(const CloneRequest& request) {
    job_.abortFlag = 0;
    const OperationOutcome opened = OpenAndIdentify();
    if (opened != OperationOutcome::Success) return opened;
    UsbSession session(job_, link_, port_);

    const auto path = ChooseImageFile(request.imagePath, true);
    if (!path) return OperationOutcome::Cancelled;

    port_.exchangeToWindow();
    // The clone goes to a file beside the target and replaces it only at the
    // end, so a failed read never leaves a damaged clone in place of a good file.
    StagedFileWriter file;
    std::string error;
    if (!file.Open(*path, &error)) {
        port_.ShowMessage(std::string(ZT("Could not create the siren image file.")) + "\n" + error, kProgramTitle, MessageIcon::Stop);
        return OperationOutcome::Failed;
    }
    job_.flashStatusText = ZT("Reading");
    port_.exchangeToWindow();

    ProgressScope progress(link_, port_);
    progress->BeginModal(ZT("Progress"), false);
    progress->SetRange(0, static_cast<int>(job_.flashLastAddress / kFlashPageSize) + 1, 1);
    progress->SetText(ZT("Reading..."));
    progress->SetStepBytes(static_cast<int>(kFlashPageSize));

    std::vector<uint8_t> chunk(kReadChunk);
    uint64_t bytesRead = 0;
    bool readFailed = false;
    bool writeFailed = false;
    uint32_t failedAddress = 0;
    bool cancelled = false;
    for (uint32_t base = 0; base < job_.flashLastAddress && !cancelled && !readFailed && !writeFailed;
         base += kReadChunk) {
        const uint32_t want = std::min<uint32_t>(kReadChunk, job_.flashLastAddress + 1 - base);
        const uint32_t pages = (want + kFlashPageSize - 1) / kFlashPageSize;
        if (ReadFlash(job_, link_, port_, base, chunk.data(), static_cast<int32_t>(pages * kFlashPageSize)) != 0) {
            readFailed = true;
            failedAddress = base;
            break;
        }
        for (uint32_t p = 0; p < pages; ++p) {
            const uint32_t address = base + p * kFlashPageSize;
            if (address >= job_.flashLastAddress) break;
            if (!file.Write(chunk.data() + p * kFlashPageSize, kFlashPageSize, &error)) {
                writeFailed = true;
                break;
            }
            bytesRead += kFlashPageSize;
            progress->PumpMessages(true);
            progress->Step();
            if (progress->IsCancelled()) {
                cancelled = true;
                break;
            }
        }
    }

    CloseUsb(job_, link_, port_);
    progress->Hide();
    OperationOutcome outcome = OperationOutcome::Success;
    if (readFailed) {
        file.Abandon();
        port_.ShowMessage(Format(ZT("Could not read the siren's flash at address 0x%llX."),
                                 static_cast<unsigned long long>(failedAddress)) +
                              "\n" + ZT("The siren image file was NOT written; any earlier file is unchanged."),
                          kProgramTitle, MessageIcon::Stop);
        outcome = OperationOutcome::Failed;
    } else if (cancelled) {
        // The file chosen keeps what it held; the pages read so far go beside it.
        outcome = OperationOutcome::Cancelled;
        const std::string partial = PartialImagePath(*path);
        if (bytesRead == 0) {
            file.Abandon();
        } else if (file.CommitTo(partial, &error)) {
            port_.ShowMessage(Format(ZT("Reading cancelled. The first %llu bytes read were saved in"),
                                     static_cast<unsigned long long>(bytesRead)) +
                                  "\n" + partial + "\n" + Format(ZT("%s was not changed."), path->c_str()),
                              kProgramTitle, MessageIcon::Information);
        } else {
            file.Abandon();
            port_.ShowMessage(std::string(ZT("Reading cancelled. The bytes read so far could not be saved.")) + "\n" +
                                  error + "\n" + Format(ZT("%s was not changed."), path->c_str()),
                              kProgramTitle, MessageIcon::Information);
        }
    } else if (writeFailed || !file.Commit(&error)) {
        file.Abandon();
        port_.ShowMessage(std::string(ZT("Could not write the siren image file.")) + "\n" + error, kProgramTitle, MessageIcon::Stop);
        outcome = OperationOutcome::Failed;
    }
    job_.flashStatusText.clear();
    port_.exchangeToWindow();
    progress.Destroy();
    return outcome;
}

OperationOutcome SirenOperations::WriteSiren(const CloneRequest& request) {
    const WritePlan plan{request.verify.value_or(job_.verify != 0), request.erase.value_or(job_.eraseMode),
                         request.writeChanged.value_or(job_.writeChanged)};
    job_.verify = plan.verify ? 1 : 0;  // the window shows it
    const auto path = ChooseImageFile(request.imagePath, false);
    if (!path) return OperationOutcome::Cancelled;
    std::string problem;
    uint64_t fileSize = 0;
    const int fd = OpenRegularFile(*path, UINT64_MAX, &problem, &fileSize);  // no FIFO, no device
    if (fd < 0) {
        port_.ShowMessage(std::string(ZT("Error trying to open data.")) + "\n" + problem, kProgramTitle, MessageIcon::None);
        return OperationOutcome::Failed;
    }
    ::close(fd);
    // Writing nothing would still erase the whole siren.
    if (fileSize == 0) {
        port_.ShowMessage(kMsgEmptyImageFile, kProgramTitle, MessageIcon::Stop);
        return OperationOutcome::Failed;
    }

    job_.abortFlag = 0;
    const OperationOutcome opened = OpenAndIdentify();
    if (opened != OperationOutcome::Success) return opened;
    UsbSession session(job_, link_, port_);
    job_.abortFlag = 0;

    // Only what fits the identified flash is read and written; a file with data
    // beyond the flash is refused before anything is erased, and a short one is
    // padded with the erased value rather than whatever memory held.
    const uint64_t flashSize = static_cast<uint64_t>(job_.flashLastAddress) + 1;
    std::vector<uint8_t> data;
    std::string error;
    bool restErased = true;
    if (!ReadImageHead(*path, flashSize, data, restErased, &error)) {
        port_.ShowMessage(ZT("Error trying to open data."), kProgramTitle, MessageIcon::None);
        return OperationOutcome::Failed;
    }
    if (!restErased) {
        port_.ShowMessage(Format(ZT("The siren image file holds data beyond the end of this siren's flash "
                                    "(%llu bytes).\nNothing has been written to the siren."),
                                 static_cast<unsigned long long>(flashSize)),
                          kProgramTitle, MessageIcon::Stop);
        return OperationOutcome::Failed;
    }
    const uint64_t length = std::min<uint64_t>(std::max<uint64_t>(kWriterLength, data.size()), flashSize);
    data.resize(length, kErasedByte);

    ProgressScope progress(link_, port_);
    progress->BeginModal(ZT("Progress"), false);
    const FlashWriteResult written = EraseProgramVerify(job_, link_, port_, progress, data.data(), length, plan);
    data = {};
    progress.Destroy();
    session.Close();
    job_.flashStatusText.clear();
    port_.exchangeToWindow();

    return OutcomeOfWrite(written, port_, kMsgWritingIncomplete);
}

}  // namespace zorvek
