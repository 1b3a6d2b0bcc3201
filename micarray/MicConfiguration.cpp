#include "micarray/MicConfiguration.h"

#include "micarray/MicArrayDriver.h"

MicConfigurationChoice DecideMicConfiguration(CMicArrayDriver& driver, bool isTablet) {
    MicConfigurationChoice choice;
    if (!driver.IsPresent()) {
        choice.micConfiguration = kMicConfigExternalOnly;
        choice.driverAbsent = true;
    } else if (driver.IsSpecialRecordingModeAvailable(kModeSpeakerPhone)) {
        choice.micConfiguration = kMicConfigBuiltInAndExternal;
    } else {
        choice.micConfiguration = kMicConfigExternalOnly;
        choice.noSpeakerPhone = true;
    }
    if (isTablet) choice.micConfiguration = kMicConfigBuiltInOnly;
    return choice;
}
