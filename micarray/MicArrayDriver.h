// The array-microphone driver: reads and writes its four filters' states, derives and switches the
// special recording mode from them, and announces every switch with the registered broadcast
// "AE_FILTERS". The driver is reached through its control endpoint (platform/MicArrayEndpoint.h),
// opened once at construction and kept to destruction; a driver that appears later is not seen.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "micarray/FilterState.h"
#include "platform/MicArrayEndpoint.h"

// SpecialRecordingMode values; the Advanced page uses 4 for "no driver".
constexpr int kModeNone = 0;
constexpr int kModeVoiceRecording = 1;
constexpr int kModeDirectionalArray = 2;
constexpr int kModeSpeakerPhone = 3;
constexpr int kModeNoDriver = 4;

// Posts the announcement (registered "AE_FILTERS" to every top-level window, both parameters 0).
using MicArrayAnnouncer = std::function<void()>;

class CMicArrayDriver {
public:
    // Opens the endpoint at `endpointPath` (absent when nothing serves it); `announce` posts the
    // announcement.
    CMicArrayDriver(const std::string& endpointPath, MicArrayAnnouncer announce);
    virtual ~CMicArrayDriver();
    CMicArrayDriver(const CMicArrayDriver&) = delete;
    CMicArrayDriver& operator=(const CMicArrayDriver&) = delete;

    // True when the device was opened.
    bool IsPresent() const;

    // Fills `state` for its filter number; true only when the read request succeeded and returned
    // bytes. False at once when the device is absent.
    bool QueryFilter(FilterState& state);
    // Writes `state`; posts the announcement afterwards when `announce` is set, whatever the
    // request's result. False at once, without announcing, when the device is absent.
    bool SetFilter(const FilterState& state, bool announce);

    // 0..3 from the filters: filter 1 on -> 1, else filter 3 -> 2, else filter 2 -> 3, else
    // filter 0 -> 1, else 0. A failed query counts as off.
    int GetSpecialRecordingMode();
    // Mode 1 asks filter 0, mode 2 filter 3, mode 3 filter 2; other modes are not available.
    bool IsSpecialRecordingModeAvailable(int mode);
    // Writes filters 0, 1, 3 and then 2 (announcing after the last) with the mode's on/off states;
    // modes outside 1..3 switch all four off.
    void SetSpecialRecordingMode(int mode);

private:
    platform::MicArrayEndpoint m_device;
    MicArrayAnnouncer m_announce;
};

// The registered message number of "AE_FILTERS" (registered once).
std::uint32_t AeFiltersMessage();

// The program-wide driver: constructed on the first call (the application makes that call during
// start-up, before its main window) on MicArrayEndpoint::DefaultPath(), announcing by the desktop
// broadcast; destroyed at exit, which closes the device.
CMicArrayDriver& TheMicArrayDriver();
