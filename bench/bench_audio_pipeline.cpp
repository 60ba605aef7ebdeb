// The whole audio stage (temporary files included) on seven 60-second 44100
// samples/s 16-bit stereo messages, beside sox converting the same files to
// 22010 samples/s mono 16-bit. Each side runs in a child process so that its
// CPU time and peak memory are its own. Reports figures; asserts nothing.
//
//   bench_audio_pipeline [rounds]      (default 3; the best round counts)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "audio/AudioPipeline.h"
#include "audio/WaveFormat.h"
#include "job/SilentUserPort.h"

namespace fs = std::filesystem;
using namespace zorvek;

namespace {

constexpr int kMessages = 7;
constexpr uint32_t kRate = 44100;
constexpr uint32_t kSeconds = 60;

// A speech-like test signal: a gliding tone with harmonics and some noise,
// different on each channel and for each message.
void WriteMessage(const std::string& path, int index) {
    const uint32_t frames = kRate * kSeconds;
    std::vector<uint8_t> bytes;
    bytes.reserve(frames * 4);
    uint32_t seed = 1234567u + static_cast<uint32_t>(index);
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 150 + 100 * index + 80 * std::sin(2 * std::numbers::pi * 0.5 * t);
        const double phase = 2 * std::numbers::pi * f * t;
        const double voice = 0.5 * std::sin(phase) + 0.2 * std::sin(3 * phase) + 0.1 * std::sin(7 * phase);
        for (int ch = 0; ch < 2; ++ch) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = (static_cast<int32_t>(seed) / 2147483648.0) * 0.02;
            const auto s = static_cast<int16_t>(std::lround((voice * (ch ? 0.8 : 1.0) + noise) * 30000));
            bytes.push_back(static_cast<uint8_t>(s));
            bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
        }
    }
    const WaveFormatRecord format = WaveFormatRecord::Pcm(2, kRate, 16);
    CWaveFile::WriteWaveFile(path, bytes.data(), static_cast<uint32_t>(bytes.size()), format.bytes.data(), 16);
}

struct Measure {
    double cpu = 0;   // user + system seconds
    double wall = 0;  // seconds
    long peakKib = 0;
    bool ok = false;
};

template <typename Body>
Measure InChild(Body body) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    int status = 0;
    rusage usage{};
    Measure m;
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return m;
    m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    m.peakKib = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char pattern[] = "/tmp/zorvek-bench-audio-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path root = pattern;
    fs::create_directories(root / "program");
    fs::create_directories(root / "sox");

    JobState job;
    job.programFolder = (root / "program").string() + "/";
    for (int i = 0; i < kMessages; ++i) {
        const std::string path = (root / ("message" + std::to_string(i + 1) + ".wav")).string();
        WriteMessage(path, i);
        job.slot(i + 1).wavPath = path;
    }
    std::printf("input: %d messages, %u s each, %u samples/s, 16-bit stereo\n", kMessages, kSeconds, kRate);

    Measure bestPipeline, bestSox;
    uint64_t total = 0;
    for (int r = 0; r < rounds; ++r) {
        Measure p = InChild([&] {
            SilentUserPort port(stderr);
            PreparedAudio audio;
            if (!PrepareMessageAudio(job, port, audio)) return false;
            RemoveTemporaryFiles(job, port, audio);
            std::FILE* f = std::fopen((root / "total").c_str(), "w");
            if (f) std::fprintf(f, "%llu\n", static_cast<unsigned long long>(audio.audioTotal)), std::fclose(f);
            return true;
        });
        Measure s = InChild([&] {
            for (int i = 0; i < kMessages; ++i) {
                const std::string cmd = "sox -q '" + job.slot(i + 1).wavPath + "' -r 22010 -c 1 -b 16 '" +
                                        (root / "sox" / ("out" + std::to_string(i) + ".wav")).string() + "'";
                if (std::system(cmd.c_str()) != 0) return false;
            }
            return true;
        });
        if (!p.ok || !s.ok) {
            std::fprintf(stderr, "round %d failed (pipeline %d, sox %d)\n", r + 1, p.ok, s.ok);
            fs::remove_all(root);
            return 1;
        }
        std::printf(
            "round %d: pipeline %.3f s CPU (%.3f s wall, peak %ld KiB), sox %.3f s CPU (%.3f s wall, peak %ld KiB)\n",
            r + 1, p.cpu, p.wall, p.peakKib, s.cpu, s.wall, s.peakKib);
        if (r == 0 || p.cpu < bestPipeline.cpu) bestPipeline = p;
        if (r == 0 || s.cpu < bestSox.cpu) bestSox = s;
    }
    if (std::ifstream in(root / "total"); in) in >> total;
    std::printf("audio total: %llu bytes\n", static_cast<unsigned long long>(total));
    std::printf("best: pipeline %.3f s CPU, sox %.3f s CPU; ratio pipeline/sox = %.2f (target <= 1.5)\n",
                bestPipeline.cpu, bestSox.cpu, bestPipeline.cpu / bestSox.cpu);
    fs::remove_all(root);
    return 0;
}
