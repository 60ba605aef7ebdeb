#pragma once
// The audio stage of programming: every chosen WAV file becomes the siren's
// form (22010 samples/s, mono, 12-bit, two samples in three bytes) through
// temporary files in the run's working folder.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioWorkspace.h"
#include "audio/Resampler.h"
#include "audio/WaveFile.h"
#include "job/JobState.h"
#include "job/SlotTable.h"

namespace zorvek {

class UserPort;

// Temporary file names; `digit` is the slot number minus 1.
std::string BroadcastFreeName(int digit);    // "No BCast input%d.wav"
std::string ResampledName(int digit);        // "output%d.wav"
std::string TwelveBitOutputName(int digit);  // "12-bit output%d.wav"
inline constexpr const char* kLeftoverBatchName = "tarn.bat";

// Same arguments and meaning as ResampleWaveFile; result ignored.
using ResamplerFunction = int (*)(const std::string& input, const std::string& output, uint32_t rate, uint32_t bits);

// What the audio stage hands to the programming operation. It owns the seven
// converted messages and, until RemoveTemporaryFiles(job, port, audio), the
// run's working folder (and its lock).
struct PreparedAudio {
    std::array<CWaveFile, kSlotCount> waves;  // waves[0] is slot 1
    // Packed bytes of the distinct slots: a slot counts unless its wavPath
    // equals that of a lower-numbered slot.
    uint64_t audioTotal = 0;
    std::unique_ptr<AudioWorkspace> workspace;

    // Per slot number 1..7, valid after a successful PrepareMessageAudio.
    CWaveFile& Wave(int slot) { return waves.at(static_cast<size_t>(slot - 1)); }
    const CWaveFile& Wave(int slot) const { return waves.at(static_cast<size_t>(slot - 1)); }
    // Packed 12-bit bytes (a multiple of 3, at least 3).
    const uint8_t* PackedBytes(int slot) const { return Wave(slot).Samples(); }
    uint32_t PackedSize(int slot) const { return Wave(slot).DataSize(); }
    // Number of 12-bit samples held: 2 * PackedSize / 3 (2 for the silence pair).
    uint32_t SampleCount(int slot) const { return Wave(slot).PackedSampleCount(); }
    // 22010 for a slot with a file, 0 for one without.
    uint32_t SampleRate(int slot) const { return Wave(slot).SampleRate(); }
    // Working folder of this run ("" once released).
    std::string Folder() const { return workspace ? workspace->Folder() : std::string(); }

    // Frees the samples and gives up the working folder.
    void Release();
};


// The whole audio stage. Returns 1 when the seven messages and the total are
// handed on in `out`, 0 when programming must end (any message is already
// shown). Writes each slot's four format texts and refreshes the window.
int PrepareMessageAudio(JobState& job, UserPort& port, PreparedAudio& out,
                        ResamplerFunction resampler = &ResampleWaveFile);

// Stage 1: rewrites each chosen file, mono, as "No BCast input%d.wav" in
// `folder` (ending in '/'). 1 when every chosen file could be opened.
int EliminateBroadcastChunks(const JobState& job, UserPort& port, const std::string& folder);

// Deletes "tarn.bat" and the 21 temporary WAV names in `folder`; failures are
// shown only when verbose is set.
void RemoveTemporaryFiles(const JobState& job, UserPort& port, const std::string& folder);
// Clean-up outside a run: deletes the names in the shared working folder,
// unless another run holds it (its files are not ours to delete).
void RemoveTemporaryFiles(const JobState& job, UserPort& port);
// End of programming: deletes the run's temporary files and gives up its
// working folder (unlocks it; a private folder is removed). Samples stay.
void RemoveTemporaryFiles(const JobState& job, UserPort& port, PreparedAudio& audio);

}  // namespace zorvek
