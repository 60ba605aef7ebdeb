#pragma once
// Passes every adapter call on to another adapter and records the frames.
#include <cstdint>
#include <vector>

#include "spi/SpiAdapter.h"

namespace zorvek::test {

struct SpiFrame {
    bool reads = false;
    std::vector<uint8_t> control;
    int32_t dataCount = 0;  // bytes written after the control bytes
    int32_t readCount = 0;
    uint8_t Opcode() const { return control.empty() ? 0 : control[0]; }
    uint32_t Address() const {
        return control.size() >= 4 ? (uint32_t{control[1]} << 16) | (uint32_t{control[2]} << 8) | control[3] : 0;
    }
};

class SpyAdapter : public SpiAdapter {
public:
    explicit SpyAdapter(SpiAdapter& inner) : inner_(inner) {}

    int32_t AdapterCountDevices(int32_t& count) override {
        ++countCalls;
        return inner_.AdapterCountDevices(count);
    }
    int32_t AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) override {
        return inner_.AdapterDeviceInfo(index, name, locationId);
    }
    int32_t AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) override {
        return inner_.AdapterOpen(name, locationId, handle);
    }
    int32_t AdapterClose(uint32_t handle) override {
        ++closeCalls;
        return inner_.AdapterClose(handle);
    }
    int32_t AdapterInitSpi(uint32_t handle, int32_t divisor) override { return inner_.AdapterInitSpi(handle, divisor); }
    int32_t AdapterClockFrequency(int32_t divisor, int32_t& hz) override {
        return inner_.AdapterClockFrequency(divisor, hz);
    }
    int32_t AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) override {
        pinSetups.push_back(upper);
        return inner_.AdapterSetPins(handle, low, upper);
    }
    int32_t AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) override {
        return inner_.AdapterReadUpperPins(handle, levels);
    }
    int32_t AdapterWrite(uint32_t handle, const WriteFrame& frame) override {
        SpiFrame f;
        f.control.assign(frame.control, frame.control + frame.controlByteCount);
        f.dataCount = frame.dataFlag ? frame.dataByteCount : 0;
        frames.push_back(f);
        return inner_.AdapterWrite(handle, frame);
    }
    int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& returned) override {
        SpiFrame f;
        f.reads = true;
        f.control.assign(frame.control, frame.control + frame.controlByteCount);
        f.readCount = frame.readBitCount / 8;
        frames.push_back(f);
        return inner_.AdapterRead(handle, frame, returned);
    }
    int32_t AdapterIdleClocks(uint32_t handle, int32_t byteCount) override {
        idleClocks.push_back({frames.size(), byteCount});
        return inner_.AdapterIdleClocks(handle, byteCount);
    }
    bool IdleClocksAreFree() const override { return inner_.IdleClocksAreFree(); }
    std::chrono::nanoseconds Elapsed() const override { return inner_.Elapsed(); }
    std::string LastErrorDetail() const override { return inner_.LastErrorDetail(); }

    int Count(uint8_t opcode) const {
        int n = 0;
        for (const auto& f : frames) n += f.Opcode() == opcode;
        return n;
    }

    std::vector<SpiFrame> frames;
    std::vector<UpperPinSetup> pinSetups;
    struct IdleClocks {
        size_t afterFrames;  // frames recorded before the call
        int32_t byteCount;
    };
    std::vector<IdleClocks> idleClocks;
    int countCalls = 0;
    int closeCalls = 0;

private:
    SpiAdapter& inner_;
};

}  // namespace zorvek::test
