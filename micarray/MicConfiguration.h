// Which microphones the General page offers, decided once at start-up from the array-microphone
// driver and the machine's form.
#pragma once

class CMicArrayDriver;

// MicConfiguration values.
constexpr int kMicConfigNone = 0;
constexpr int kMicConfigBuiltInAndExternal = 1;
constexpr int kMicConfigBuiltInOnly = 2;
constexpr int kMicConfigExternalOnly = 3;

struct MicConfigurationChoice {
    int micConfiguration = kMicConfigNone;
    bool driverAbsent = false;    // the Advanced page's special mode becomes 4, the mode button is disabled
    bool noSpeakerPhone = false;  // a driver without the speaker-phone filter
};

// Driver absent: external only. Present: built-in and external when speaker phone is available,
// else external only with the no-speaker-phone flag. A tablet: built-in only, whatever the driver.
MicConfigurationChoice DecideMicConfiguration(CMicArrayDriver& driver, bool isTablet);
