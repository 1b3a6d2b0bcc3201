// A recording mixer the tests fill with the source lines and controls they need, behind the same
// interface as the system's. It keeps what is written and counts opens and closes.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mixer/MixerAccess.h"
#include "platform/MixerDevice.h"

struct TestLine {
    std::string name;
    std::uint32_t type = platform::MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
    std::uint32_t channels = 2;
    bool volume = true;
    bool mux = false;
};

// Control ids: 100 + 10 * line + 1 for the volume, + 2 for the multiplexer.
inline std::uint32_t VolumeId(std::uint32_t line) { return 100 + 10 * line + 1; }
inline std::uint32_t MuxId(std::uint32_t line) { return 100 + 10 * line + 2; }

struct TestMixerState {
    bool exists = true;          // false: opening fails
    bool destination = true;     // false: no recording destination
    std::vector<TestLine> lines;
    std::map<std::uint32_t, std::uint32_t> values;  // control id -> last value written
    std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;
    int opens = 0;
    int closes = 0;
    int openNow = 0;
    int maxOpenAtOnce = 0;
};

class TestMixer final : public platform::MixerDevice {
public:
    explicit TestMixer(TestMixerState& s) : s_(s) {
        ++s_.opens;
        s_.maxOpenAtOnce = std::max(s_.maxOpenAtOnce, ++s_.openNow);
    }
    ~TestMixer() override {
        ++s_.closes;
        --s_.openNow;
    }
    bool HasRecordingDestination() override { return s_.destination; }
    std::optional<platform::MixerLineInfo> RecordingSource(std::uint32_t index) override {
        if (index >= s_.lines.size()) return std::nullopt;
        const TestLine& l = s_.lines[index];
        return platform::MixerLineInfo{l.type, l.channels, l.name};
    }
    std::optional<std::uint32_t> LineControl(std::uint32_t index, std::uint32_t type) override {
        if (index >= s_.lines.size()) return std::nullopt;
        if (type == platform::MIXERCONTROL_CONTROLTYPE_VOLUME && s_.lines[index].volume) return VolumeId(index);
        if (type == platform::MIXERCONTROL_CONTROLTYPE_MUX && s_.lines[index].mux) return MuxId(index);
        return std::nullopt;
    }
    bool SetControlValue(std::uint32_t id, std::uint32_t value) override {
        s_.writes.emplace_back(id, value);
        s_.values[id] = value;
        return true;
    }
    std::optional<std::uint32_t> GetControlValue(std::uint32_t id) override {
        auto it = s_.values.find(id);
        if (it == s_.values.end()) return std::nullopt;
        return it->second;
    }

private:
    TestMixerState& s_;
};

// Makes the mixer code open a TestMixer on `state` for its scope.
class UseTestMixer {
public:
    explicit UseTestMixer(TestMixerState& state)
        : scope_([&state]() -> std::unique_ptr<platform::MixerDevice> {
              if (!state.exists) return nullptr;
              return std::make_unique<TestMixer>(state);
          }) {}

private:
    ScopedMixerOpener scope_;
};
