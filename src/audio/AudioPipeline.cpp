#include "audio/AudioPipeline.h"
#include "job/TextFormat.h"
#include "job/Translate.h"

#include <unistd.h>

#include <cerrno>

#include "job/SafeFiles.h"
#include "job/SlotTable.h"
#include "job/UserPort.h"

namespace zorvek {

namespace {
bool IsUsed(const JobState& job, int slot) {
    return !job.slot(slot).wavPath.empty();
}

// The file-error text for the cause of a failed deletion.
std::string DeletionFailureText(int error, const std::string& name) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return Format(ZT("%s was not found."), name.c_str());
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return Format(ZT("Access to %s was denied."), name.c_str());
        case EBUSY:
        case ETXTBSY:
            return Format(ZT("A sharing violation occurred while accessing %s."), name.c_str());
        default:
            return Format(ZT("An unknown error occurred while accessing %s."), name.c_str());
    }
}

void DeleteTemporary(const JobState& job, UserPort& port, const std::string& path) {
    if (::unlink(path.c_str()) == 0) return;
    const int error = errno;
    if (job.verbose) port.ShowMessage(DeletionFailureText(error, path), kProgramTitle, MessageIcon::Warning);
}

void PrepareObjects(const JobState& job, std::array<CWaveFile, kSlotCount>& waves, UserPort& port) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CWaveFile& wave = waves[static_cast<size_t>(slot - 1)];
        wave.Release();
        wave.SetUserPort(&port);
        wave.SetMessageNumber(slotInfo(slot).messageNumber);
        wave.SetSourceFile(job.slot(slot).wavPath);
    }
}
}  // namespace

std::string BroadcastFreeName(int digit) {
    return "No BCast input" + std::to_string(digit) + ".wav";
}
std::string ResampledName(int digit) {
    return "output" + std::to_string(digit) + ".wav";
}
std::string TwelveBitOutputName(int digit) {
    return "12-bit output" + std::to_string(digit) + ".wav";
}

void PreparedAudio::Release() {
    for (auto& wave : waves) wave.Release();
    audioTotal = 0;
    workspace.reset();
}

void RemoveTemporaryFiles(const JobState& job, UserPort& port, const std::string& folder) {
    DeleteTemporary(job, port, folder + kLeftoverBatchName);
    for (int digit = 0; digit < kSlotCount; ++digit) {
        DeleteTemporary(job, port, folder + ResampledName(digit));
        DeleteTemporary(job, port, folder + TwelveBitOutputName(digit));
        DeleteTemporary(job, port, folder + BroadcastFreeName(digit));
    }
}

void RemoveTemporaryFiles(const JobState& job, UserPort& port) {
    if (auto shared = AudioWorkspace::TryShared(job)) RemoveTemporaryFiles(job, port, shared->Folder());
}

void RemoveTemporaryFiles(const JobState& job, UserPort& port, PreparedAudio& audio) {
    if (!audio.workspace) return;  // already given up: its files went with it
    RemoveTemporaryFiles(job, port, audio.workspace->Folder());
    audio.workspace.reset();
}

int EliminateBroadcastChunks(const JobState& job, UserPort& port, const std::string& folder) {
    bool allOpened = true;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!IsUsed(job, slot)) continue;
        CWaveFile wave(&port);
        wave.SetMessageNumber(slotInfo(slot).messageNumber);
        wave.SetSourceFile(job.slot(slot).wavPath);
        if (wave.Open(job.slot(slot).wavPath)) {
            // Samples cut short (a data chunk claiming more than the file holds) are
            // never programmed: no stage-1 file, so stage 3 finds it missing and stops.
            if (wave.Parse() && !wave.ReadData()) continue;
        } else {
            allOpened = false;
        }
        wave.ToMono();
        // Written even after a failure: then it holds no samples, and the
        // resampler makes nothing of it.
        CWaveFile::WriteWaveFile(folder + BroadcastFreeName(slotInfo(slot).tempDigit), wave.Samples(), wave.DataSize(),
                                 wave.Format().bytes.data(), WaveFormatRecord::kWrittenLength);
    }
    if (!allOpened) {
        port.ShowMessage(ZT("Broadcast WAV Eliminate NOT successful."), kProgramTitle, MessageIcon::Warning);
        return 0;
    }
    return 1;
}

int PrepareMessageAudio(JobState& job, UserPort& port, PreparedAudio& out, ResamplerFunction resampler) {
    out.Release();
    out.workspace = AudioWorkspace::Acquire(job);
    if (!out.workspace) {
        port.ShowMessage("No private folder for the audio work files could be made in " + TemporaryFolder() + ".\n" +
                             "Siren has NOT been programmed.",
                         kProgramTitle, MessageIcon::Stop);
        return 0;
    }
    const std::string folder = out.workspace->Folder();

    RemoveTemporaryFiles(job, port, folder);
    EliminateBroadcastChunks(job, port, folder);  // its result changes nothing

    // Without a resampler nothing can be programmed; the stage-1 files remain.
    if (resampler == nullptr) return 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int digit = slotInfo(slot).tempDigit;
        resampler(folder + BroadcastFreeName(digit), folder + ResampledName(digit), kSirenSampleRate,
                  kSirenBitsPerSample);
    }

    // Stage 3: read back, reduce to 12 bits.
    PrepareObjects(job, out.waves, port);
    bool anyMissing = false;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!IsUsed(job, slot)) continue;
        CWaveFile& wave = out.Wave(slot);
        if (wave.Open(folder + ResampledName(slotInfo(slot).tempDigit))) {
            // A message cut short (its samples could not all be read) is not programmed as it is.
            if (wave.Parse() && !wave.ReadData()) anyMissing = true;
        } else {
            anyMissing = true;
        }
        wave.ToMono();
        wave.ReduceTo12Bit();
    }
    if (anyMissing) {
        port.ShowMessage(ZT("Siren has NOT been programmed."), kProgramTitle, MessageIcon::Warning);
        for (auto& wave : out.waves) wave.Release();
        return 0;
    }

    // Stage 4: show each slot's resampled format, then pack.
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        MessageSlot& s = job.slot(slot);
        out.Wave(slot).DescribeFormat(s.channelsText, s.rateText, s.bitsText, s.samplesText);
    }
    port.exchangeToWindow();

    out.audioTotal = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CWaveFile& wave = out.Wave(slot);
        wave.MakeEvenLength();
        wave.Pack12Bit();
        if (IsDistinctSlot(job, slot)) out.audioTotal += wave.DataSize();
    }
    return 1;
}

}  // namespace zorvek
