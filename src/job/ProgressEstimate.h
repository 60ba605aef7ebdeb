#pragma once
// How long the step in progress has left, and how fast the run moves data.
// Fed with positions and times from any clock (seconds), so a front end uses
// the wall clock and a test the simulated siren's modelled one. Each step
// (erase, program, verify, read) has a rate of its own, so each is measured
// afresh; a figure is given only once the step's rate has settled.
#include <cstdint>
#include <optional>
#include <string>

namespace zorvek {

class ProgressEstimate {
public:
    // The run begins (elapsed time and moved bytes count from here).
    void StartRun(double now);
    // A new step begins: its own range, rate and position. `stepBytes` is what
    // one position stands for in data moved (0: the step moves no data, e.g. erasing).
    void StartStep(double now, int lower, int upper, int stepBytes);
    // The range changed within the step (same step, measured afresh).
    void SetRange(double now, int lower, int upper);
    void SetStepBytes(int stepBytes);
    void Update(double now, int position);

    // Seconds the step still needs, once its rate is steady; nothing before.
    std::optional<double> SecondsLeft() const;
    double RunSeconds(double now) const { return now - runStart_; }
    // Data moved per second by the step, in bytes (0 where unknown).
    double StepBytesPerSecond() const;
    // The largest amount of data one step moved (the image written, the flash read).
    int64_t RunBytes() const { return runBytes_; }

private:
    void Restart(double now, int position);

    double runStart_ = 0;
    int lower_ = 0, upper_ = 0, position_ = 0;
    int stepBytes_ = 0;
    int stepStart_ = 0;         // the position the step's data count starts from
    double anchorTime_ = 0;     // the start of the rate window
    int anchorPosition_ = 0;
    double rate_ = 0;           // smoothed positions per second
    double lastRate_ = 0;
    int windows_ = 0;           // rate windows measured in this step
    bool steady_ = false;
    bool started_ = false;
    int64_t runBytes_ = 0;
};

// "about 25 s left": whole seconds below 10, then to 5 s, from a minute to 10 s.
std::string FormatSecondsLeft(double seconds);
// "1:05" (minutes and seconds).
std::string FormatElapsed(double seconds);
// "54 KiB/s" (1 decimal below 10).
std::string FormatKiBPerSecond(double bytesPerSecond);

}  // namespace zorvek
