// Figures for the image build, the HEX reader and the configuration format.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "files/ConfigFile.h"
#include "image/ImageBuilder.h"
#include "image/IntelHex.h"

namespace {

// Seven distinct messages filling a 2 MiB flash.
void BM_BuildFullImage(benchmark::State& state) {
    zorvek::JobState job;
    std::vector<std::vector<uint8_t>> packed;
    zorvek::SlotAudioSet audio{};
    for (int slot = 1; slot <= zorvek::kSlotCount; ++slot) {
        job.slot(slot).wavPath = "/m" + std::to_string(slot) + ".wav";
        job.slot(slot).toneIndex = 49;
        packed.emplace_back(2088702 / 7 / 3 * 3, static_cast<uint8_t>(slot));
    }
    for (size_t i = 0; i < packed.size(); ++i) audio[i] = {packed[i], 22010};
    for (auto _ : state) {
        zorvek::FlashImage image;
        zorvek::BuildFlashImage(job, audio, image);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2088702);
}
BENCHMARK(BM_BuildFullImage)->Unit(benchmark::kMillisecond);

// A whole 8 KiB firmware in 16-byte records, as srec_cat writes it.
void BM_ReadFirmwareHex(benchmark::State& state) {
    std::string text;
    char line[64];
    for (unsigned address = 0xE000; address <= 0xFFF0; address += 16) {
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        int n = std::snprintf(line, sizeof line, ":10%04X00", address);
        std::string record(line, static_cast<size_t>(n));
        for (unsigned i = 0; i < 16; ++i) {
            unsigned byte = (address + i * 7) & 0xFF;
            sum += byte;
            std::snprintf(line, sizeof line, "%02X", byte);
            record += line;
        }
        std::snprintf(line, sizeof line, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += record + line;
    }
    text += ":00000001FF\r\n";
    for (auto _ : state) {
        zorvek::HexReadResult r = zorvek::ReadIntelHex(text);
        if (!r.valid) state.SkipWithError(r.reason.c_str());
        benchmark::DoNotOptimize(r.firmware.bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadFirmwareHex)->Unit(benchmark::kMicrosecond);

void BM_ConfigRoundTrip(benchmark::State& state) {
    zorvek::JobState job;
    for (auto& s : job.slots) s.wavPath = "/home/engineer/jobs/site/message.wav";
    for (auto _ : state) {
        std::string text = zorvek::FormatConfig(job);
        zorvek::JobState back;
        zorvek::ParseConfig(text, back);
        benchmark::DoNotOptimize(back.slots[0].wavPath.data());
    }
}
BENCHMARK(BM_ConfigRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
