// Time left and speed measured against the simulated siren's modelled clock:
// each step's estimate must foretell when that step really ended.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "job/ProgressEstimate.h"
#include "operations/SirenOperations.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Sample {
    std::string step;
    double time;
    std::optional<double> left;
};

// A popup that feeds the estimate as the front ends do, on the modelled clock.
class TimedProgress : public ProgressPort {
public:
    TimedProgress(const SimulatedSiren& siren, std::vector<Sample>& samples, ProgressEstimate& estimate)
        : siren_(siren), samples_(samples), estimate_(estimate) {
        estimate_.StartRun(Now());
    }
    bool BeginModal(const std::string&, bool) override { return true; }
    void SetRange(int lower, int upper, int) override {
        lower_ = lower;
        upper_ = upper;
        estimate_.SetRange(Now(), lower, upper);
    }
    int SetPosition(int position) override {
        const int previous = position_;
        position_ = position;
        estimate_.Update(Now(), position);
        samples_.push_back({step_, Now(), estimate_.SecondsLeft()});
        return previous;
    }
    int Step() override { return SetPosition(position_ + 1); }
    void SetText(const std::string& text) override {
        step_ = text;
        estimate_.StartStep(Now(), lower_, upper_, 0);
    }
    void SetStepBytes(int bytes) override { estimate_.SetStepBytes(bytes); }
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool IsCancelled() const override { return false; }
    void Destroy() override {}

private:
    double Now() const { return std::chrono::duration<double>(siren_.Elapsed()).count(); }
    const SimulatedSiren& siren_;
    std::vector<Sample>& samples_;
    ProgressEstimate& estimate_;
    std::string step_;
    int lower_ = 0, upper_ = 100, position_ = 0;
};

class TimedPort : public ScriptedUserPort {
public:
    TimedPort(const SimulatedSiren& siren) : siren_(siren) {}
    std::unique_ptr<ProgressPort> MakeProgress(const std::string&, bool) override {
        return std::make_unique<TimedProgress>(siren_, samples, estimate);
    }
    std::vector<Sample> samples;
    ProgressEstimate estimate;

private:
    const SimulatedSiren& siren_;
};

}  // namespace

TEST(ProgressEstimate, EachStepForetellsItsOwnEndOnTheModelledClock) {
    ScratchFolder dir;
    SimulatorOptions options;
    options.size = 2u << 20;
    SimulatedSiren siren(options);
    TimedPort port(siren);
    JobState job;
    job.programFolder = dir.folder();
    job.verify = 1;
    SpiLink link;
    link.adapter = &siren;
    // 40 s of sound: about 1.3 MB to program, long enough for the rate to settle.
    const size_t samples = 22010 * 40;
    std::vector<int16_t> s(samples);
    for (size_t i = 0; i < samples; ++i) s[i] = static_cast<int16_t>(9000 * std::sin(i * 0.125));
    WriteBytes(dir.file("long.wav"), PcmWave(1, 22010, 16, Samples16(s)));
    job.slot(7).wavPath = dir.file("long.wav");

    // The described procedure, so erase, program and verify each take their time.
    ASSERT_EQ(SirenOperations(job, link, port).ProgramCommand({.writeChanged = false}), OperationOutcome::Success);

    std::map<std::string, std::pair<double, double>> span;  // step: first and last sample time
    for (const Sample& x : port.samples) {
        auto [it, fresh] = span.try_emplace(x.step, x.time, x.time);
        it->second.second = x.time;
    }
    for (const std::string step : {"Programming...", "Verifying..."}) {
        ASSERT_TRUE(span.count(step)) << step;
        const auto [begin, end] = span[step];
        const double length = end - begin;
        int judged = 0;
        for (const Sample& x : port.samples) {
            if (x.step != step) continue;
            // Nothing is promised while the rate is still unknown.
            if (x.time - begin < 1.0) {
                EXPECT_FALSE(x.left) << step << " at " << x.time - begin << " s";
            }
            if (!x.left || x.time - begin < 0.25 * length) continue;
            EXPECT_NEAR(*x.left, end - x.time, 0.15 * length) << step << " at " << x.time - begin << " s";
            ++judged;
        }
        EXPECT_GT(judged, 10) << step << " lasted " << length << " modelled s";
    }
    // The speed at the end counts the image written, not the sectors erased.
    const int64_t imageBytes = static_cast<int64_t>(0x2100 + samples * 3 / 2);
    EXPECT_NEAR(static_cast<double>(port.estimate.RunBytes()), static_cast<double>(imageBytes), 0.01 * imageBytes);
}

TEST(ProgressEstimate, FiguresAsShown) {
    EXPECT_EQ(FormatSecondsLeft(3.2), "about 4 s left");
    EXPECT_EQ(FormatSecondsLeft(0), "about 1 s left");
    EXPECT_EQ(FormatSecondsLeft(23), "about 25 s left");
    EXPECT_EQ(FormatSecondsLeft(124), "about 120 s left");
    EXPECT_EQ(FormatElapsed(65.4), "1:05");
    EXPECT_EQ(FormatKiBPerSecond(55 * 1024), "55 KiB/s");
    EXPECT_EQ(FormatKiBPerSecond(2.3 * 1024), "2.3 KiB/s");
}
